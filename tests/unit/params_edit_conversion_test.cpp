// Turning a parameter edit's text into its field, the key filters, and Diskr shown as text.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <set>

#include "params/edit_conversion.h"
#include "params_scripted_link.h"
#include "support/fake_window.h"

namespace qd718 {
namespace {

// The field's value as a double, whatever its width.
double FieldValue(const TScanParams& params, ParamField field) {
  switch (field) {
    case ParamField::BeginPos:
      return params.BeginPos;
    case ParamField::EndPos:
      return params.EndPos;
    case ParamField::TimeM:
      return params.TimeM;
    case ParamField::TimeM1:
      return params.TimeM1;
    case ParamField::Diskr:
      return params.Diskr;
    case ParamField::Angle:
      return params.Angle;
    case ParamField::XBeg:
      return params.XBeg;
    case ParamField::YBeg:
      return params.YBeg;
    case ParamField::Cycl:
      return params.Cycl;
  }
  return 0;
}

// Every field starts at 77 so that an empty or failing text shows.
TScanParams Seventies() {
  TScanParams params;
  params.BeginPos = params.EndPos = params.TimeM = params.TimeM1 = params.Cycl = 77;
  params.Angle = params.XBeg = params.YBeg = 77;
  params.Diskr = 77;
  return params;
}

struct StoreCase {
  ParamField field;
  std::string text;
  double stored;        // the field afterwards
  std::string message;  // the conversion message, empty when the text converts
};

class StoreParamTextTest : public ::testing::TestWithParam<StoreCase> {};

TEST_P(StoreParamTextTest, StoresOrRefuses) {
  const StoreCase& c = GetParam();
  TScanParams params = Seventies();
  if (c.message.empty()) {
    StoreParamText(params, c.field, c.text);
  } else {
    try {
      StoreParamText(params, c.field, c.text);
      ADD_FAILURE() << "no conversion error for '" << c.text << "'";
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.what(), c.message);
    }
  }
  EXPECT_EQ(FieldValue(params, c.field), c.stored);
}

const std::string Int = " is not a valid integer value";
const std::string Float = " is not a valid floating point value";

INSTANTIATE_TEST_SUITE_P(
    Edits, StoreParamTextTest,
    ::testing::Values(
        // Typing into BeginPosEdit, and deleting everything again.
        StoreCase{ParamField::BeginPos, "1", 1, ""}, StoreCase{ParamField::BeginPos, "12", 12, ""},
        StoreCase{ParamField::BeginPos, "123", 123, ""}, StoreCase{ParamField::BeginPos, "", 0, ""},
        // A lone minus is an error where the edit has no 16-bit field behind it.
        StoreCase{ParamField::BeginPos, "-", 77, "'-'" + Int},
        StoreCase{ParamField::BeginPos, "-5", -5, ""}, StoreCase{ParamField::EndPos, "+5", 5, ""},
        StoreCase{ParamField::Cycl, "-", 77, "'-'" + Int}, StoreCase{ParamField::TimeM1, "", 0, ""},
        StoreCase{ParamField::TimeM1, "12", 12, ""},
        // ... and 0 where it has.
        StoreCase{ParamField::XBeg, "-", 0, ""}, StoreCase{ParamField::YBeg, "-", 0, ""},
        StoreCase{ParamField::Angle, "-", 0, ""}, StoreCase{ParamField::XBeg, "-40", -40, ""},
        StoreCase{ParamField::XBeg, "", 0, ""},
        // 32-bit fields take the whole number; 16-bit fields its low 16 bits.
        StoreCase{ParamField::BeginPos, "70000", 70000, ""},
        StoreCase{ParamField::XBeg, "70000", 4464, ""},
        StoreCase{ParamField::Angle, "65533", -3, ""},
        StoreCase{ParamField::YBeg, "-70000", -4464, ""},
        StoreCase{ParamField::TimeM, "2147483647", 2147483647, ""},
        StoreCase{ParamField::TimeM, "-2147483648", -2147483648.0, ""},
        StoreCase{ParamField::TimeM, "2147483648", 77, "'2147483648'" + Int},
        StoreCase{ParamField::TimeM, "-2147483649", 77, "'-2147483649'" + Int},
        StoreCase{ParamField::XBeg, "99999999999", 77, "'99999999999'" + Int},
        // Strict: no spaces, no hexadecimal, no fraction, no second sign.
        StoreCase{ParamField::EndPos, " 5", 77, "' 5'" + Int},
        StoreCase{ParamField::EndPos, "5 ", 77, "'5 '" + Int},
        StoreCase{ParamField::EndPos, "$1F", 77, "'$1F'" + Int},
        StoreCase{ParamField::EndPos, "0x1F", 77, "'0x1F'" + Int},
        StoreCase{ParamField::EndPos, "1.5", 77, "'1.5'" + Int},
        StoreCase{ParamField::EndPos, "--5", 77, "'--5'" + Int},
        StoreCase{ParamField::EndPos, "5-", 77, "'5-'" + Int},
        StoreCase{ParamField::Cycl, "abc", 77, "'abc'" + Int},
        // Diskr: a float, rounded to single precision; "-" alone is an error.
        StoreCase{ParamField::Diskr, "", 0, ""}, StoreCase{ParamField::Diskr, "500", 500, ""},
        StoreCase{ParamField::Diskr, "12.9", 12.9f, ""},
        StoreCase{ParamField::Diskr, "-2.5", -2.5, ""}, StoreCase{ParamField::Diskr, ".5", 0.5, ""},
        StoreCase{ParamField::Diskr, "5.", 5, ""}, StoreCase{ParamField::Diskr, "1.5E3", 1500, ""},
        StoreCase{ParamField::Diskr, "25e-1", 2.5, ""},
        StoreCase{ParamField::Diskr, "1e-50", 0, ""},
        StoreCase{ParamField::Diskr, "1e-40", 1e-40f, ""},
        StoreCase{ParamField::Diskr, "3.4028234e38", FLT_MAX, ""},
        StoreCase{ParamField::Diskr, "-", 77, "'-'" + Float},
        StoreCase{ParamField::Diskr, "5a", 77, "'5a'" + Float},
        StoreCase{ParamField::Diskr, ".", 77, "'.'" + Float},
        StoreCase{ParamField::Diskr, "1e", 77, "'1e'" + Float},
        StoreCase{ParamField::Diskr, "1,5", 77, "'1,5'" + Float},
        StoreCase{ParamField::Diskr, "inf", 77, "'inf'" + Float},
        StoreCase{ParamField::Diskr, "nan", 77, "'nan'" + Float},
        // Beyond the float range: refused, the step keeps its value.
        StoreCase{ParamField::Diskr, "1e39", 77, "'1e39'" + Float},
        StoreCase{ParamField::Diskr, "-1e400", 77, "'-1e400'" + Float},
        StoreCase{ParamField::Diskr, "3.5e38", 77, "'3.5e38'" + Float}));

TEST(ParamEditChange, StoresIntoTheEditsChannelAndField) {
  test::ScriptedLink link;
  ScannerState state(link);
  ParamEditChange(state, Ctl::XBegEdit2, "-40");
  ParamEditChange(state, Ctl::TimeMEdit21, "12");
  ParamEditChange(state, Ctl::DiskrEdit, "7.5");
  ParamEditChange(state, Ctl::TimeMEdit1, "3");
  EXPECT_EQ(state.ParamsOf(2).XBeg, -40);
  EXPECT_EQ(state.ParamsOf(1).XBeg, 0);
  EXPECT_EQ(state.ParamsOf(2).TimeM1, 12);
  EXPECT_EQ(state.ParamsOf(2).TimeM, 0);
  EXPECT_EQ(state.ParamsOf(1).TimeM1, 3);
  EXPECT_EQ(state.ParamsOf(1).Diskr, 7.5f);
  EXPECT_EQ(state.ParamsOf(2).Diskr, 0.0f);
}

TEST(ParamEditChange, EveryParameterEditHasItsOwnField) {
  std::set<std::pair<int, ParamField>> seen;
  for (int i = 0; i < ControlCount; ++i) {
    if (auto target = ParamEditFor(static_cast<Ctl>(i))) {
      EXPECT_TRUE(seen.insert({target->channel, target->field}).second);
    }
  }
  EXPECT_EQ(seen.size(), 18u);
  EXPECT_FALSE(ParamEditFor(Ctl::dxEdit1).has_value());
}

TEST(KeyFilter, LetsDigitsMinusAndBackspaceThroughAndBeepsAtTheRest) {
  test::FakeWindow window;
  for (char32_t typed : {U'0', U'5', U'9', U'-', char32_t{8}}) {
    char32_t key = typed;
    XBegEditKeyPress(window, key);
    EXPECT_EQ(key, typed);
  }
  EXPECT_EQ(window.beeps, 0);
  for (char32_t typed : {U'a', U'.', U',', U'+', U' ', U'e', U'\u0661'}) {
    char32_t key = typed;
    AngleEditKeyPress(window, key);
    EXPECT_EQ(key, char32_t{0});
  }
  EXPECT_EQ(window.beeps, 7);
}

TEST(KeyFilter, SitsOnDiskrEditButNotOnDiskrEdit2) {
  for (Ctl filtered : {Ctl::DiskrEdit, Ctl::XBegEdit, Ctl::XBegEdit2, Ctl::YBegEdit, Ctl::YBegEdit2,
                       Ctl::AngleEdit})
    EXPECT_TRUE(HasKeyFilter(filtered));
  for (Ctl unfiltered : {Ctl::DiskrEdit2, Ctl::AngleEdit2, Ctl::BeginPosEdit, Ctl::CyclEdit})
    EXPECT_FALSE(HasKeyFilter(unfiltered));
}

struct TextCase {
  float value;
  std::string text;
};

class FloatToTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(FloatToTextTest, WritesTheGeneralForm) {
  EXPECT_EQ(FloatToText(GetParam().value), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Diskr, FloatToTextTest,
    ::testing::Values(TextCase{0, "0"}, TextCase{500, "500"}, TextCase{65535, "65535"},
                      TextCase{-5555, "-5555"}, TextCase{2.5f, "2.5"}, TextCase{-0.75f, "-0.75"},
                      // A float shows all 15 digits of its double value.
                      TextCase{12.9f, "12.8999996185303"}, TextCase{0.1f, "0.100000001490116"},
                      // Fixed notation from 1E-5 on, scientific below and beyond 15 digits.
                      TextCase{1e-5f, "9.99999974737875E-6"},
                      TextCase{2e-5f, "0.0000199999994947575"},
                      TextCase{0.0001f, "0.0000999999974737875"},
                      TextCase{1e15f, "999999986991104"}, TextCase{1e20f, "1.00000002004088E20"},
                      TextCase{16777216.0f, "16777216"}, TextCase{3e38f, "3.00000000549776E38"}));

TEST(FloatToText, ReadsBackAsTheSameFloat) {
  for (float value : {12.9f, 0.1f, 1e-5f, 3e38f, -1234.5678f, 1e-40f, FLT_MAX, 65535.0f}) {
    EXPECT_EQ(TextToFloat(FloatToText(value)), value) << FloatToText(value);
  }
}

}  // namespace
}  // namespace qd718
