// The fixed-layout list line of a history entry: every part at its byte
// position, whatever the stored values hold.
#include <gtest/gtest.h>

#include <string>

#include "common/list_line.h"
#include "framework/core/strings.h"

namespace common {
namespace {

using namespace fw::literals;
using A = AttributeField;

AttributeValues sample() {
  AttributeValues a;
  a[A::ExamNo] = "12a";
  a[A::ChartNo] = "0000000123";
  a[A::Name] = "山田　太郎"_sj;
  a[A::SexCode] = "2";
  a[A::BirthYear] = "昭和45"_sj;
  a[A::BirthMonth] = "3";
  a[A::BirthDay] = "15";
  a[A::Age] = "54";
  a[A::ExamYear] = "2024";
  a[A::ExamMonth] = "5";
  a[A::ExamDay] = "7";
  return a;
}

// Bytes first..first+width-1 (1-based) of a line.
fw::Str part(const fw::Str& line, int first, int width) { return line.substr(first - 1, width); }

TEST(ListLine, EveryPartAtItsBytes) {
  const fw::Str line = historyListLine(7, sample(), ListColumn::Number, 1234, 15);
  const fw::Str expected = "   7" "   " "12a         " "    " + fitBytes("山田　太郎"_sj, 24) +
                           "   " + "女"_sj + "   " + fitBytes("昭和45年3月15日生"_sj, 20) + " " +
                           " 54才"_sj + "    " + fitBytes("2024年5月7日"_sj, 20) + "    " +
                           "1234" + std::string(15, ' ');
  EXPECT_EQ(line, expected);
  EXPECT_EQ(entryNumberOfListLine(line), 1234);

  const fw::Str chart = historyListLine(1, sample(), ListColumn::ChartNumber, 5);
  EXPECT_EQ(part(chart, 8, 12), "0000000123  ");
  EXPECT_EQ(chart.substr(109), "5");  // the history window's line ends at the number
}

TEST(ListLine, LongAndSplitValuesKeepTheColumns) {
  AttributeValues a = sample();
  a[A::Name] = "山田山田山田山田山田山田山田山"_sj;  // 30 bytes
  fw::Str line = historyListLine(1, a, ListColumn::Number, 1);
  EXPECT_EQ(part(line, 24, 24), "山田山田山田山田山田山田"_sj);
  EXPECT_EQ(part(line, 48, 5), "   "_sj + "女"_sj);

  // A double-byte character across byte 47 is left out whole, not halved.
  a[A::Name] = "a"_sj + "山田山田山田山田山田山田"_sj;  // 25 bytes
  line = historyListLine(1, a, ListColumn::Number, 1);
  EXPECT_EQ(part(line, 24, 24), "a山田山田山田山田山田山 "_sj);
  EXPECT_EQ(part(line, 51, 2), "女"_sj);
  EXPECT_EQ(entryNumberOfListLine(line), 1);

  a[A::Age] = "５４"_sj;  // the last 3 bytes would start inside ５: narrowed
  line = historyListLine(1, a, ListColumn::Number, 1);
  EXPECT_EQ(part(line, 77, 5), " 54才"_sj);
  a[A::Age] = "1234";
  line = historyListLine(1, a, ListColumn::Number, 1);
  EXPECT_EQ(part(line, 77, 5), "234才"_sj);
}

TEST(ListLine, EmptyValuesLeaveTheirBlanks) {
  AttributeValues a;
  const fw::Str line = historyListLine(2000, a, ListColumn::Number, 2000);
  EXPECT_EQ(part(line, 1, 4), "2000");
  EXPECT_EQ(part(line, 51, 2), "  ");                     // no sex code
  EXPECT_EQ(part(line, 56, 20), std::string(20, ' '));    // no birth date
  EXPECT_EQ(part(line, 77, 5), std::string(5, ' '));      // no age
  EXPECT_EQ(part(line, 86, 20), fitBytes("    年  月  日"_sj, 20));
  EXPECT_EQ(line.substr(105, 4), "    ");
  EXPECT_EQ(entryNumberOfListLine(line), 2000);

  a[A::BirthYear] = "昭和45"_sj;  // one part is enough for the date
  a[A::SexCode] = "3";
  const fw::Str partial = historyListLine(1, a, ListColumn::Number, 1);
  EXPECT_EQ(part(partial, 56, 20), fitBytes("昭和45年月日生"_sj, 20));
  EXPECT_EQ(part(partial, 51, 2), "  ");
}

TEST(ListLine, EntryNumberOfLinesThatHoldNone) {
  EXPECT_EQ(entryNumberOfListLine(""), 0);
  EXPECT_EQ(entryNumberOfListLine(std::string(109, ' ')), 0);
  EXPECT_EQ(entryNumberOfListLine(std::string(109, ' ') + "  42  "), 42);
  EXPECT_EQ(entryNumberOfListLine(std::string(109, ' ') + "x"), 0);
}

}  // namespace
}  // namespace common
