// The normalisation rules of committed boxes, without a window.
#include "entry/rules.h"

#include <gtest/gtest.h>

using namespace fw::literals;
namespace rules = entry::rules;
using rules::NumberFault;

namespace {

TEST(CommitRule, NothingHappensBeforeEnter) {
  EXPECT_FALSE(rules::takeCommit("5").has_value());
  EXPECT_FALSE(rules::takeCommit("").has_value());
  EXPECT_FALSE(rules::takeCommit("5\n").has_value());  // a lone LF is not Enter
}

TEST(CommitRule, RemovesTheFirstLineBreakAndTrims) {
  EXPECT_EQ(rules::takeCommit("5\r\n"), "5");
  EXPECT_EQ(rules::takeCommit("\r\n"), "");
  EXPECT_EQ(rules::takeCommit("　山田 \r\n"_sj), "山田"_sj);
  EXPECT_EQ(rules::takeCommit("1\r\n2"), "12");
  // Only the first break goes; a second one stays in the value.
  EXPECT_EQ(rules::takeCommit("a\r\nb\r\nc"), "ab\r\nc");
}

TEST(MonthRule, BoundaryValues) {
  EXPECT_EQ(rules::month("5"), "５"_sj);
  EXPECT_EQ(rules::month("0"), "０"_sj);
  EXPECT_EQ(rules::month("05"), "５"_sj);
  EXPECT_EQ(rules::month("12"), "12");
  EXPECT_EQ(rules::month("５"_sj), "５"_sj);
  EXPECT_EQ(rules::month("123"), "123");
  EXPECT_EQ(rules::month(""), "");
}

// A leading 0 takes the last character, never half of one.
TEST(MonthRule, LeadingZeroBeforeFullWidthDigitKeepsTheCharacter) {
  EXPECT_EQ(rules::month("0５"_sj), "５"_sj);
  EXPECT_EQ(rules::month("0あ"_sj), "あ"_sj);
}

TEST(MinuteRule, OneByteGetsLeadingZero) {
  EXPECT_EQ(rules::minute("5"), "05");
  EXPECT_EQ(rules::minute("05"), "05");
  EXPECT_EQ(rules::minute("45"), "45");
  EXPECT_EQ(rules::minute(""), "");
  EXPECT_EQ(rules::minute("５"_sj), "５"_sj);  // two bytes
}

TEST(YearRule, EraYearsBelowTenAreFullWidthOthersHalfWidth) {
  EXPECT_EQ(rules::year("令和3"_sj), "令和３"_sj);
  EXPECT_EQ(rules::year("令和３"_sj), "令和３"_sj);
  EXPECT_EQ(rules::year("令和１２"_sj), "令和12"_sj);
  EXPECT_EQ(rules::year("昭和45"_sj), "昭和45"_sj);
  EXPECT_EQ(rules::year("平成 9"_sj), "平成９"_sj);
  EXPECT_EQ(rules::year("令和10"_sj), "令和10"_sj);
}

TEST(YearRule, WesternYearsAndEmptyStay) {
  EXPECT_EQ(rules::year("2024"), "2024");
  EXPECT_EQ(rules::year("19"), "19");
  EXPECT_EQ(rules::year(""), "");
}

TEST(YearRule, ValuesWithoutAnyNumberAreRejected) {
  EXPECT_FALSE(rules::year("令和"_sj).has_value());
  EXPECT_FALSE(rules::year("abc").has_value());
  EXPECT_FALSE(rules::year("0").has_value());
  EXPECT_FALSE(rules::year("令和0"_sj).has_value());
  EXPECT_FALSE(rules::year("令和abc"_sj).has_value());
}

TEST(NumberRule, AcceptsValuesWithALeadingNumberOfAtLeastOne) {
  EXPECT_EQ(rules::checkNumber("12a"), NumberFault::None);
  EXPECT_EQ(rules::checkNumber("1"), NumberFault::None);
  EXPECT_EQ(rules::checkNumber(""), NumberFault::None);
  EXPECT_EQ(rules::checkNumber("1234567890"), NumberFault::None);  // 10 bytes
}

TEST(NumberRule, RefusalsInCheckOrder) {
  EXPECT_EQ(rules::checkNumber("12345678901"), NumberFault::TooLong);
  // Six full-width digits are 12 bytes: the length is checked first.
  EXPECT_EQ(rules::checkNumber("１２３４５６"_sj), NumberFault::TooLong);
  EXPECT_EQ(rules::checkNumber("１２"_sj), NumberFault::FullWidth);
  EXPECT_EQ(rules::checkNumber("1あ"_sj), NumberFault::FullWidth);
  EXPECT_EQ(rules::checkNumber("0"), NumberFault::BelowOne);
  EXPECT_EQ(rules::checkNumber("abc"), NumberFault::BelowOne);
  EXPECT_EQ(rules::checkNumber("-5"), NumberFault::BelowOne);
  // Half-width katakana is single-byte, so only the value check refuses it.
  EXPECT_EQ(rules::checkNumber("\xB1"), NumberFault::BelowOne);
}

// Numbers that do not fit a double are numbers all the same: no error 6.
TEST(NumberRule, NumberTooLargeToHoldIsJudgedByItsSign) {
  EXPECT_EQ(rules::checkNumber("1e999"), NumberFault::None);
  EXPECT_EQ(rules::checkNumber("9D9999"), NumberFault::None);
  EXPECT_EQ(rules::checkNumber("-1e999"), NumberFault::BelowOne);
  EXPECT_EQ(rules::checkNumber(" -1e999"), NumberFault::BelowOne);
  EXPECT_EQ(rules::checkNumber("1e-999"), NumberFault::BelowOne);  // tiny, not huge
}

TEST(YearRule, EraYearTooLargeToHoldIsKeptHalfWidth) {
  EXPECT_EQ(rules::year("令和9e999"_sj), "令和9e999"_sj);
  EXPECT_EQ(rules::year("令和&H100000000"_sj), "令和&H100000000"_sj);
  EXPECT_EQ(rules::year("令和－１ｅ９９９"_sj), "令和－１ｅ９９９"_sj);  // negative: below 10
}

TEST(ChartNumberFilling, PadsToTenDigits) {
  EXPECT_EQ(rules::fillChartNumber("123"), "0000000123");
  EXPECT_EQ(rules::fillChartNumber("1234567890"), "1234567890");
  EXPECT_EQ(rules::fillChartNumber("12a"), "000000012a");
  EXPECT_EQ(rules::fillChartNumber(""), "");
}

}  // namespace
