// The parameter edits in a user's number format with a decimal comma: Diskr is typed and shown
// with the comma, and the C format's point is then no decimal separator.
#include <gtest/gtest.h>

#include <cstdlib>

#include "params/edit_conversion.h"

namespace qd718 {
namespace {

// The user's format is read once, at its first use: choose it before any test runs.
const bool GermanUser = [] {
  setenv("LC_ALL", "de_DE.UTF-8", 1);
  return true;
}();

TEST(UserNumberFormat, DiskrTakesAndShowsTheDecimalComma) {
  ASSERT_TRUE(GermanUser);
  EXPECT_EQ(TextToFloat("12,5"), 12.5f);
  EXPECT_EQ(TextToFloat("-0,25"), -0.25f);
  EXPECT_EQ(FloatToText(2.5f), "2,5");
  EXPECT_EQ(FloatToText(500.0f), "500");
  EXPECT_EQ(TextToFloat(FloatToText(12.9f)), 12.9f);
}

TEST(UserNumberFormat, APointOrAGroupSeparatorIsRefused) {
  for (const std::string text : {"12.5", "1.000,5"}) {
    try {
      TextToFloat(text);
      ADD_FAILURE() << text;
    } catch (const ConversionError& error) {
      EXPECT_EQ(error.what(), "'" + text + "' is not a valid floating point value");
    }
  }
}

TEST(UserNumberFormat, IntegersStayPlainDecimal) {
  EXPECT_EQ(TextToInt("-1234"), -1234);
  EXPECT_THROW(TextToInt("1.234"), ConversionError);
}

}  // namespace
}  // namespace qd718
