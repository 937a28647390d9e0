#include "framework/core/numbers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <limits>

#include "framework/core/error.h"
#include "tests/support/error_of.h"

namespace fw {
namespace {

using tessivo::test::errorOf;

TEST(NumberToText, IntegersCarryABlankOrMinus) {
  EXPECT_EQ(str(0), " 0");
  EXPECT_EQ(str(-1), "-1");
  EXPECT_EQ(str(1234), " 1234");
  EXPECT_EQ(str(300L), " 300");
  EXPECT_EQ(str(-9223372036854775807LL - 1), "-9223372036854775808");
}

TEST(NumberToText, DoublesPlainForm) {
  EXPECT_EQ(str(32.5), " 32.5");
  EXPECT_EQ(str(165.0), " 165");
  EXPECT_EQ(str(0.0), " 0");
  EXPECT_EQ(str(-0.0), " 0");
  EXPECT_EQ(str(-1.5), "-1.5");
  EXPECT_EQ(str(0.5), " .5");
  EXPECT_EQ(str(0.1 + 0.2), " .3");  // 15 significant digits hide the binary error
  EXPECT_EQ(str(1.0 / 3), " .333333333333333");
  EXPECT_EQ(str(999999999999999.0), " 999999999999999");
  EXPECT_EQ(str(0.00001), " .00001");
}

TEST(NumberToText, ExponentFormsAtTheThresholds) {
  EXPECT_EQ(str(1e15), " 1D+15");
  EXPECT_EQ(str(-1.25e20), "-1.25D+20");
  EXPECT_EQ(str(1.5e-6), " 1.5D-06");
  EXPECT_EQ(str(1e300), " 1D+300");
  EXPECT_EQ(strSingle(32.5f), " 32.5");
  EXPECT_EQ(strSingle(0.1f), " .1");
  EXPECT_EQ(strSingle(9999999.0f), " 9999999");
  EXPECT_EQ(strSingle(1e7f), " 1E+07");
  EXPECT_EQ(errorOf([] { str(std::numeric_limits<double>::infinity()); }), err::Overflow);
}

#ifndef _WIN32  // the locale is compiled for glibc
TEST(NumberToText, IgnoresTheProcessLocale) {
  // The form layer sets the locale from the environment; a decimal comma must
  // never reach the files.
  const char* old = std::setlocale(LC_NUMERIC, nullptr);
  std::string saved = old ? old : "C";
  // The build compiles a German locale into its own folder; glibc looks
  // there while LOCPATH names it.
  setenv("LOCPATH", TESSIVO_TEST_LOCALE_DIR, 1);
  const bool german = std::setlocale(LC_NUMERIC, "de_DE.UTF-8") != nullptr;
  unsetenv("LOCPATH");
  if (!german) GTEST_SKIP() << "no de_DE locale";
  EXPECT_EQ(str(32.5), " 32.5");
  EXPECT_EQ(val("1.5"), 1.5);
  std::setlocale(LC_NUMERIC, saved.c_str());
}

#endif

TEST(TextToNumber, LeadingNumberOnly) {
  EXPECT_EQ(val("  12"), 12);
  EXPECT_EQ(val("1 2"), 1);
  EXPECT_EQ(val(""), 0);
  EXPECT_EQ(val("abc"), 0);
  EXPECT_EQ(val("１２"_sj), 0);  // full-width digits are not digits
  EXPECT_EQ(val("　12"_sj), 0);  // nor is a full-width space a blank
  EXPECT_EQ(val("12a"), 12);
  EXPECT_EQ(val("-3.5x"), -3.5);
  EXPECT_EQ(val("+7"), 7);
  EXPECT_EQ(val(".5"), 0.5);
  EXPECT_EQ(val("5."), 5);
  EXPECT_EQ(val("-"), 0);
  EXPECT_EQ(val("."), 0);
  EXPECT_EQ(val("- 1"), 0);
  EXPECT_EQ(val("\t 8"), 8);
  EXPECT_EQ(val(Str("\0\0\0", 3)), 0);
  EXPECT_EQ(val(Str("1\0" "2", 3)), 1);
}

TEST(TextToNumber, ExponentsAndRadixPrefixes) {
  EXPECT_EQ(val("1E3"), 1000);
  EXPECT_EQ(val("1D2"), 100);
  EXPECT_EQ(val("2e-1"), 0.2);
  EXPECT_EQ(val("12e"), 12);
  EXPECT_EQ(val("12e+"), 12);
  EXPECT_EQ(val("1e-999"), 0);
  // Reading never fails: too large is the largest value with its sign.
  EXPECT_EQ(val("1e999"), std::numeric_limits<double>::max());
  EXPECT_EQ(val("-1e999"), -std::numeric_limits<double>::max());
  EXPECT_EQ(val("&H1A"), 26);
  EXPECT_EQ(val("&hff"), 255);
  EXPECT_EQ(val("&HFFFF"), -1);
  EXPECT_EQ(val("&H10000"), 65536);
  EXPECT_EQ(val("&O17"), 15);
  EXPECT_EQ(val("&H"), 0);
  EXPECT_EQ(val("&X1"), 0);
  EXPECT_EQ(val("&H100000000"), 2147483647);
}

TEST(TextToNumber, OutOfRangeGoesTheWayOfTheLeadingDigit) {
  const double largest = std::numeric_limits<double>::max();
  // Too small without any exponent: a long run of zeros after the point.
  EXPECT_EQ(val("0." + Str(400, '0') + "1"), 0);
  EXPECT_EQ(val("-." + Str(400, '0') + "1"), 0);
  // Too large despite a negative exponent: many digits before the point.
  EXPECT_EQ(val("1" + Str(400, '0') + "e-1"), largest);
  EXPECT_EQ(val("-1" + Str(400, '0') + "D-2"), -largest);
  // Exponents with more digits than any integer holds.
  EXPECT_EQ(val("1e" + Str(30, '9')), largest);
  EXPECT_EQ(val("1e-" + Str(30, '9')), 0);
  EXPECT_EQ(val("0e" + Str(30, '9')), 0);
  // Digits and exponent that balance out are read as the value they make.
  EXPECT_EQ(val("." + Str(330, '0') + "5e400"), 5e69);
}

TEST(Rounding, HalvesToEvenAndRangeIsError6) {
  EXPECT_EQ(toInt16(0.5), 0);
  EXPECT_EQ(toInt16(1.5), 2);
  EXPECT_EQ(toInt16(2.5), 2);
  EXPECT_EQ(toInt16(-2.5), -2);
  EXPECT_EQ(toInt16(2.4999), 2);
  EXPECT_EQ(toInt16(32767.4), 32767);
  EXPECT_EQ(toInt16(-32768.5), -32768);
  EXPECT_EQ(errorOf([] { toInt16(32767.5); }), err::Overflow);
  EXPECT_EQ(errorOf([] { toInt16(-32769); }), err::Overflow);
  EXPECT_EQ(toInt32(2147483647.0), 2147483647);
  EXPECT_EQ(errorOf([] { toInt32(2147483647.5); }), err::Overflow);
  EXPECT_EQ(errorOf([] { toInt32(std::numeric_limits<double>::quiet_NaN()); }), err::Overflow);
}

}  // namespace
}  // namespace fw
