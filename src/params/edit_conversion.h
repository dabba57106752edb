#pragma once

// Turning a parameter edit's text into its field, the way the window's edits do it: used by
// the window's change handlers and by `qd718 params write`.

#include <cstdint>
#include <optional>
#include <string>

#include "params/scanner_state.h"
#include "station/app_error.h"
#include "station/controls.h"
#include "station/window.h"

namespace qd718 {

enum class ParamField { BeginPos, EndPos, TimeM, TimeM1, Diskr, Angle, XBeg, YBeg, Cycl };

struct ParamEdit {
  Ctl edit;
  int channel;
  ParamField field;
};

// The parameter that an edit holds, if it is one of the 18 parameter edits.
std::optional<ParamEdit> ParamEditFor(Ctl edit);
// The field of a name as qd718 spells it ("BeginPos", ...), and back.
std::optional<ParamField> ParamFieldNamed(const std::string& name);
const char* ParamFieldName(ParamField field);

// The toolkit's integer conversion, kept strict: an optional sign ("+" or "-") followed by
// decimal digits, nothing else (no spaces, no hexadecimal form), within the 32-bit range.
// Throws ConversionError "'<text>' is not a valid integer value".
std::int32_t TextToInt(const std::string& text);
// The toolkit's floating-point conversion in the user's number format (QLocale::system()):
// an optional sign, digits with at most one decimal separator, an optional exponent
// ("e" or "E", optionally signed). Values too small for a float become zero; a value beyond
// the float range is refused. Throws ConversionError
// "'<text>' is not a valid floating point value".
float TextToFloat(const std::string& text);

// Converts text as the edit's change handler does and stores it into the field: empty gives
// 0; "-" alone gives 0 for XBeg, YBeg and Angle; the 16-bit fields keep the low 16 bits of
// the integer; Diskr takes the number rounded to the nearest float. A text that does not
// convert throws ConversionError and leaves the field unchanged.
void StoreParamText(TScanParams& params, ParamField field, const std::string& text);

// The change handler of a parameter edit (BeginPosEditChange and its 17 twins). Any other
// control is ignored.
void ParamEditChange(ScannerState& state, Ctl edit, const std::string& text);

// The edits with a key filter: DiskrEdit, XBegEdit, XBegEdit2, YBegEdit, YBegEdit2
// (XBegEditKeyPress) and AngleEdit (AngleEditKeyPress).
bool HasKeyFilter(Ctl edit);
// Digits, "-" and backspace pass; the filter looks at single typed characters only.
bool KeyFilterPasses(char32_t typed);
// The key filters themselves: a key that does not pass beeps and becomes 0 (discarded).
void XBegEditKeyPress(Window& window, char32_t& key);
void AngleEditKeyPress(Window& window, char32_t& key);

// A float in the toolkit's general form: up to 15 significant digits, trailing zeros dropped,
// an integral value without decimals, fixed notation from 1E-5 up to 15 integer digits and
// scientific notation ("1.5E20", "1E-6") beyond, with the user's decimal separator.
std::string FloatToText(float value);

}  // namespace qd718
