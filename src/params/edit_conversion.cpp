#include "params/edit_conversion.h"

#include <QLocale>
#include <QString>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

namespace qd718 {

namespace {

constexpr char32_t Backspace = 8;
// Digits that the toolkit's general float format keeps, and where it turns to scientific.
constexpr int GeneralPrecision = 15;
constexpr int SmallestFixedExponent = -5;
// An exponent this large already lies far beyond any float; longer ones need not be summed.
constexpr long ExponentClamp = 100000;

struct FieldNaming {
  ParamField field;
  const char* name;
};

constexpr std::array<FieldNaming, 9> FieldNames{{
    {ParamField::BeginPos, "BeginPos"},
    {ParamField::EndPos, "EndPos"},
    {ParamField::TimeM, "TimeM"},
    {ParamField::TimeM1, "TimeM1"},
    {ParamField::Diskr, "Diskr"},
    {ParamField::Angle, "Angle"},
    {ParamField::XBeg, "XBeg"},
    {ParamField::YBeg, "YBeg"},
    {ParamField::Cycl, "Cycl"},
}};

constexpr std::array<ParamEdit, 18> ParamEdits{{
    {Ctl::BeginPosEdit, 1, ParamField::BeginPos},
    {Ctl::BeginPosEdit2, 2, ParamField::BeginPos},
    {Ctl::EndPosEdit, 1, ParamField::EndPos},
    {Ctl::EndPosEdit2, 2, ParamField::EndPos},
    {Ctl::TimeMEdit, 1, ParamField::TimeM},
    {Ctl::TimeMEdit2, 2, ParamField::TimeM},
    {Ctl::TimeMEdit1, 1, ParamField::TimeM1},
    {Ctl::TimeMEdit21, 2, ParamField::TimeM1},
    {Ctl::DiskrEdit, 1, ParamField::Diskr},
    {Ctl::DiskrEdit2, 2, ParamField::Diskr},
    {Ctl::AngleEdit, 1, ParamField::Angle},
    {Ctl::AngleEdit2, 2, ParamField::Angle},
    {Ctl::XBegEdit, 1, ParamField::XBeg},
    {Ctl::XBegEdit2, 2, ParamField::XBeg},
    {Ctl::YBegEdit, 1, ParamField::YBeg},
    {Ctl::YBegEdit2, 2, ParamField::YBeg},
    {Ctl::CyclEdit, 1, ParamField::Cycl},
    {Ctl::CyclEdit2, 2, ParamField::Cycl},
}};

constexpr std::array<Ctl, 6> FilteredEdits{Ctl::DiskrEdit, Ctl::XBegEdit,  Ctl::XBegEdit2,
                                           Ctl::YBegEdit,  Ctl::YBegEdit2, Ctl::AngleEdit};

[[noreturn]] void ThrowNotInteger(const std::string& text) {
  throw ConversionError("'" + text + "' is not a valid integer value");
}

[[noreturn]] void ThrowNotFloat(const std::string& text) {
  throw ConversionError("'" + text + "' is not a valid floating point value");
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The 16-bit fields, which also take a lone "-" (left while a negative number is typed) as 0.
bool IsShortField(ParamField field) {
  return field == ParamField::XBeg || field == ParamField::YBeg || field == ParamField::Angle;
}

// The user's number format, as UTF-8 strings.
struct NumberFormat {
  std::string decimalPoint;
  std::string negativeSign;
  std::string positiveSign;
};

NumberFormat UserNumberFormat() {
  const QLocale locale = QLocale::system();
  return {locale.decimalPoint().toStdString(), locale.negativeSign().toStdString(),
          locale.positiveSign().toStdString()};
}

bool TakePrefix(std::string_view& rest, std::string_view prefix) {
  if (prefix.empty() || !rest.starts_with(prefix)) return false;
  rest.remove_prefix(prefix.size());
  return true;
}

// A sign in ASCII or in the user's format; true when it is a minus.
bool TakeSign(std::string_view& rest, const NumberFormat& format) {
  if (TakePrefix(rest, "-") || TakePrefix(rest, format.negativeSign)) return true;
  if (!TakePrefix(rest, "+")) TakePrefix(rest, format.positiveSign);
  return false;
}

// A decimal number split into its parts, checked against the float grammar.
struct DecimalText {
  bool negative = false;
  std::string integerDigits;
  std::string fractionDigits;
  long exponent = 0;
};

std::optional<DecimalText> ParseDecimal(const std::string& text, const NumberFormat& format) {
  DecimalText number;
  std::string_view rest = text;
  number.negative = TakeSign(rest, format);
  while (!rest.empty() && IsDigit(rest.front())) {
    number.integerDigits += rest.front();
    rest.remove_prefix(1);
  }
  if (TakePrefix(rest, format.decimalPoint)) {
    while (!rest.empty() && IsDigit(rest.front())) {
      number.fractionDigits += rest.front();
      rest.remove_prefix(1);
    }
  }
  if (number.integerDigits.empty() && number.fractionDigits.empty()) return std::nullopt;
  if (!rest.empty() && (rest.front() == 'e' || rest.front() == 'E')) {
    rest.remove_prefix(1);
    const bool negativeExponent = TakeSign(rest, format);
    if (rest.empty() || !IsDigit(rest.front())) return std::nullopt;
    long exponent = 0;
    while (!rest.empty() && IsDigit(rest.front())) {
      if (exponent < ExponentClamp) exponent = exponent * 10 + (rest.front() - '0');
      rest.remove_prefix(1);
    }
    number.exponent = negativeExponent ? -exponent : exponent;
  }
  if (!rest.empty()) return std::nullopt;
  return number;
}

// Whether a number that no float or double can hold is large (as opposed to tiny).
bool IsBeyondRange(const DecimalText& number) {
  const std::string digits = number.integerDigits + number.fractionDigits;
  const auto first = digits.find_first_not_of('0');
  if (first == std::string::npos) return false;
  const long magnitude = static_cast<long>(number.integerDigits.size()) - static_cast<long>(first);
  return magnitude + number.exponent > 0;
}

template <typename T>
std::from_chars_result ParseC(const std::string& ascii, T& value) {
  return std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
}

}  // namespace

std::optional<ParamEdit> ParamEditFor(Ctl edit) {
  for (const ParamEdit& entry : ParamEdits) {
    if (entry.edit == edit) return entry;
  }
  return std::nullopt;
}

std::optional<ParamField> ParamFieldNamed(const std::string& name) {
  for (const FieldNaming& entry : FieldNames) {
    if (name == entry.name) return entry.field;
  }
  return std::nullopt;
}

const char* ParamFieldName(ParamField field) {
  for (const FieldNaming& entry : FieldNames) {
    if (entry.field == field) return entry.name;
  }
  return "";
}

std::int32_t TextToInt(const std::string& text) {
  std::string_view digits = text;
  bool negative = false;
  if (!digits.empty() && (digits.front() == '-' || digits.front() == '+')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  if (digits.empty()) ThrowNotInteger(text);
  std::int64_t value = 0;
  constexpr std::int64_t Limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  for (char c : digits) {
    if (!IsDigit(c)) ThrowNotInteger(text);
    value = value * 10 + (c - '0');
    if (value > Limit) ThrowNotInteger(text);
  }
  if (negative) value = -value;
  if (value > std::numeric_limits<std::int32_t>::max()) ThrowNotInteger(text);
  return static_cast<std::int32_t>(value);
}

float TextToFloat(const std::string& text) {
  const auto number = ParseDecimal(text, UserNumberFormat());
  if (!number) ThrowNotFloat(text);
  // Rewritten in the C format, which from_chars reads whatever the user's format is.
  std::string ascii = number->integerDigits.empty() ? "0" : number->integerDigits;
  if (!number->fractionDigits.empty()) ascii += "." + number->fractionDigits;
  ascii += "e" + std::to_string(number->exponent);

  float value = 0;
  const auto parsed = ParseC(ascii, value);
  if (parsed.ec == std::errc::result_out_of_range) {
    if (IsBeyondRange(*number)) ThrowNotFloat(text);
    // Too small for a float's normal range: the double, rounded, keeps what a float can hold.
    double tiny = 0;
    if (ParseC(ascii, tiny).ec != std::errc{}) tiny = 0;
    value = static_cast<float>(tiny);
  } else if (parsed.ec != std::errc{} || !std::isfinite(value)) {
    ThrowNotFloat(text);
  }
  return number->negative ? -value : value;
}

void StoreParamText(TScanParams& params, ParamField field, const std::string& text) {
  const bool empty = text.empty() || (IsShortField(field) && text == "-");
  if (field == ParamField::Diskr) {
    params.Diskr = empty ? 0.0f : TextToFloat(text);
    return;
  }
  const std::int32_t value = empty ? 0 : TextToInt(text);
  // The 16-bit fields keep the low 16 bits of the number.
  const auto low16 = static_cast<std::int16_t>(value);
  switch (field) {
    case ParamField::BeginPos:
      params.BeginPos = value;
      break;
    case ParamField::EndPos:
      params.EndPos = value;
      break;
    case ParamField::TimeM:
      params.TimeM = value;
      break;
    case ParamField::TimeM1:
      params.TimeM1 = value;
      break;
    case ParamField::Cycl:
      params.Cycl = value;
      break;
    case ParamField::Angle:
      params.Angle = low16;
      break;
    case ParamField::XBeg:
      params.XBeg = low16;
      break;
    case ParamField::YBeg:
      params.YBeg = low16;
      break;
    case ParamField::Diskr:
      break;
  }
}

void ParamEditChange(ScannerState& state, Ctl edit, const std::string& text) {
  const auto target = ParamEditFor(edit);
  if (!target) return;
  StoreParamText(state.ParamsOf(target->channel), target->field, text);
}

bool HasKeyFilter(Ctl edit) {
  for (Ctl filtered : FilteredEdits) {
    if (filtered == edit) return true;
  }
  return false;
}

bool KeyFilterPasses(char32_t typed) {
  return (typed >= U'0' && typed <= U'9') || typed == U'-' || typed == Backspace;
}

void XBegEditKeyPress(Window& window, char32_t& key) {
  if (KeyFilterPasses(key)) return;
  window.Beep();
  key = 0;
}

void AngleEditKeyPress(Window& window, char32_t& key) {
  XBegEditKeyPress(window, key);
}

std::string FloatToText(float value) {
  const double number = value;
  if (std::isnan(number)) return "NAN";
  if (std::isinf(number)) return number < 0 ? "-INF" : "INF";
  if (number == 0) return "0";

  // 15 significant digits in the C format: "d.ddddddddddddddde+XX".
  char buffer[64];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(number),
                                     std::chars_format::scientific, GeneralPrecision - 1);
  const std::string_view scientific(buffer, static_cast<std::size_t>(written.ptr - buffer));
  const auto e = scientific.find('e');
  std::string digits;
  for (char c : scientific.substr(0, e)) {
    if (IsDigit(c)) digits += c;
  }
  int exponent = 0;
  std::string_view exponentText = scientific.substr(e + 1);
  if (!exponentText.empty() && exponentText.front() == '+') exponentText.remove_prefix(1);
  std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

  const std::string point = UserNumberFormat().decimalPoint;
  std::string text = number < 0 ? "-" : "";
  if (exponent >= SmallestFixedExponent && exponent < GeneralPrecision) {
    if (exponent >= 0) {
      const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
      if (digits.size() <= integerDigits) {
        text += digits + std::string(integerDigits - digits.size(), '0');
      } else {
        text += digits.substr(0, integerDigits) + point + digits.substr(integerDigits);
      }
    } else {
      text += "0" + point + std::string(static_cast<std::size_t>(-exponent - 1), '0') + digits;
    }
  } else {
    text += digits.substr(0, 1);
    if (digits.size() > 1) text += point + digits.substr(1);
    text += "E" + std::to_string(exponent);
  }
  return text;
}

}  // namespace qd718
