#pragma once

// Turning a parameter edit's text into its field, without any toolkit: used by the
// window's edits and by `qd718 params write`.

#include <optional>
#include <string>

#include "params/scanner_state.h"
#include "station/app_error.h"
#include "station/controls.h"

namespace qd718 {

enum class ParamField { BeginPos, EndPos, TimeM, TimeM1, Diskr, Angle, XBeg, YBeg, Cycl };

struct ParamEdit {
  Ctl edit;
  int channel;
  ParamField field;
};

// The parameter that an edit holds, if it is one of the 18 parameter edits.
std::optional<ParamEdit> ParamEditFor(Ctl edit);
// The field of a name as qd718 spells it ("BeginPos", ...).
std::optional<ParamField> ParamFieldNamed(const std::string& name);

// Converts text as the edit's change handler does and stores it into the field: empty gives
// 0; "-" alone gives 0 for the 16-bit fields; integers whole within 32 bits, the 16-bit
// fields keep the low 16 bits; Diskr is a float in the user's number format. Throws
// ConversionError ("'%s' is not a valid integer value" / "... floating point value") and
// leaves the field unchanged when the text does not convert.
void StoreParamText(TScanParams& params, ParamField field, const std::string& text);

// The change handler of a parameter edit (BeginPosEditChange and its 17 twins).
void ParamEditChange(ScannerState& state, Ctl edit, const std::string& text);

// The key filter of DiskrEdit, XBegEdit, XBegEdit2, YBegEdit, YBegEdit2 (XBegEditKeyPress)
// and AngleEdit (AngleEditKeyPress): digits, "-" and backspace pass; anything else is
// discarded with a beep.
bool HasKeyFilter(Ctl edit);
bool KeyFilterPasses(char32_t typed);

// Diskr in the toolkit's general float-to-text form (an integral value without decimals),
// in the user's number format.
std::string FloatToText(float value);

}  // namespace qd718
