// The history list line, byte for byte, and what opening and deleting take
// back from it (one layout for the history window and the multiple print).
#include "history/store/list_lines.h"

#include <gtest/gtest.h>

#include "common/history_format.h"
#include "common/list_line.h"
#include "framework/core/str.h"

namespace {

using common::AttributeField;
using common::AttributeValues;
using fw::Str;
using history::Column;
using history::listLine;
using namespace fw::literals;

Str blanks(int n) { return Str(n, ' '); }

// The line of an entry with the given attributes.
struct Line {
  AttributeValues a;
  Str bytes;  // the record the line is built from

  Line() {
    a[AttributeField::ExamNo] = "12a";
    a[AttributeField::ExamYear] = "2024";
    a[AttributeField::ExamMonth] = "５"_sj;
    a[AttributeField::ExamDay] = "１２"_sj;
    a[AttributeField::ChartNo] = "0000000123";
    a[AttributeField::Name] = "山田　太郎"_sj;
    a[AttributeField::BirthYear] = "昭和45"_sj;
    a[AttributeField::BirthMonth] = "５"_sj;
    a[AttributeField::BirthDay] = "１２"_sj;
    a[AttributeField::Age] = "54";
    a[AttributeField::SexCode] = "1";
  }
  Str make(int k = 1, Column column = Column::Number, long entry = 120) {
    bytes = common::encode(a);
    return listLine(k, history::RecordView(bytes), column, entry);
  }
};

TEST(ListLine, EveryColumnAtItsBytes) {
  Line l;
  const Str line = l.make(1, Column::Number, 120);
  const Str expected = "   1" + blanks(3) + "12a" + blanks(9) + blanks(4) +
                       "山田　太郎"_sj + blanks(14) + blanks(3) + "男"_sj + blanks(3) +
                       "昭和45年５月１２日生"_sj + " " + " 54才"_sj + blanks(4) +
                       "2024年５月１２日"_sj + blanks(4) + blanks(4) + "120";
  EXPECT_EQ(line, expected);
  EXPECT_EQ(line.size(), 109u + 3u);

  // The chart-number list shows CHART_NO in the same 12 bytes; the line
  // number is right-aligned in 4.
  const Str chart = l.make(2000, Column::ChartNumber, 7);
  EXPECT_EQ(chart.substr(0, 19), "2000" + blanks(3) + "0000000123" + blanks(2));
  EXPECT_EQ(chart.substr(19), line.substr(19, 90) + "7");

  // The multiple print's lines end in blanks after the number.
  const Str padded = common::historyListLine(7, l.a, Column::Number, 1234, 15);
  EXPECT_EQ(padded.substr(109), "1234" + blanks(15));
  EXPECT_EQ(common::entryNumberOfListLine(padded), 1234);
}

TEST(ListLine, LongNamesAreCutToWholeCharacters) {
  Line l;
  // 30 bytes: the first 24 are shown.
  l.a[AttributeField::Name] = "あいうえおかきくけこさしすせそ"_sj;
  Str line = l.make();
  EXPECT_EQ(line.substr(23, 24), "あいうえおかきくけこさし"_sj);
  EXPECT_EQ(line.substr(47, 5), blanks(3) + "男"_sj);

  // The 24th byte would be the first half of ら: the column ends before it
  // and is filled with a blank, so the sex column stays at bytes 51-52.
  l.a[AttributeField::Name] = "Aあいうえおかきくけこさらりるれ"_sj;
  line = l.make();
  EXPECT_EQ(line.substr(23, 24), "Aあいうえおかきくけこさ"_sj + " ");
  EXPECT_EQ(line.substr(47, 5), blanks(3) + "男"_sj);
  EXPECT_EQ(line.size(), 112u);

  // A number column too long for its 12 bytes (a hand-edited chart number).
  l.a[AttributeField::ChartNo] = "12345678901234";
  EXPECT_EQ(l.make(1, Column::ChartNumber).substr(7, 16), "123456789012" + blanks(4));
}

TEST(ListLine, BlankAndOddValues) {
  Line l;
  // Sex: blank and unknown codes show two blanks; 2 is female.
  for (const char* code : {"", "3", "x"}) {
    l.a[AttributeField::SexCode] = code;
    EXPECT_EQ(l.make().substr(50, 2), blanks(2)) << code;
  }
  l.a[AttributeField::SexCode] = "2";
  EXPECT_EQ(l.make().substr(50, 2), "女"_sj);

  // Birth date: 20 blanks when all three parts are blank; a part alone
  // keeps the marks of the others.
  l.a[AttributeField::BirthYear] = "";
  l.a[AttributeField::BirthMonth] = "";
  l.a[AttributeField::BirthDay] = "";
  EXPECT_EQ(l.make().substr(55, 20), blanks(20));
  l.a[AttributeField::BirthYear] = "昭和45"_sj;
  EXPECT_EQ(l.make().substr(55, 20), "昭和45年月日生"_sj + blanks(6));

  // Age: right-aligned in 3 bytes; three digits fill them; blank is 5
  // blanks; a full-width age whose last 3 bytes would begin inside a
  // character is shown narrowed instead of as a broken character.
  l.a[AttributeField::Age] = "123";
  EXPECT_EQ(l.make().substr(76, 5), "123才"_sj);
  l.a[AttributeField::Age] = "５"_sj;
  EXPECT_EQ(l.make().substr(76, 5), " ５才"_sj);
  l.a[AttributeField::Age] = "５４"_sj;
  EXPECT_EQ(l.make().substr(76, 5), " 54才"_sj);
  l.a[AttributeField::Age] = "1234";
  EXPECT_EQ(l.make().substr(76, 5), "234才"_sj);
  l.a[AttributeField::Age] = "";
  EXPECT_EQ(l.make().substr(76, 5), blanks(5));

  // Examination date: a blank year, month or day keeps its width in blanks.
  l.a[AttributeField::ExamYear] = "";
  EXPECT_EQ(l.make().substr(85, 20), "    年５月１２日"_sj + blanks(4));
  l.a[AttributeField::ExamMonth] = "";
  l.a[AttributeField::ExamDay] = "";
  EXPECT_EQ(l.make().substr(85, 20), "    年  月  日"_sj + blanks(6));
  l.a[AttributeField::ExamYear] = "令和１２"_sj;
  l.a[AttributeField::ExamMonth] = "１２"_sj;
  l.a[AttributeField::ExamDay] = "３１"_sj;
  // 22 bytes: the last character that does not fit whole goes.
  EXPECT_EQ(l.make().substr(85, 20), "令和１２年１２月３１"_sj);

  // Whatever the values, the entry number starts at byte 110.
  EXPECT_EQ(l.make(1, Column::Number, 98765).substr(109), "98765");

  // A record without any value keeps every column's blanks.
  const Str empty = common::historyListLine(2000, AttributeValues{}, Column::Number, 2000);
  EXPECT_EQ(empty.substr(0, 4), "2000");
  EXPECT_EQ(empty.substr(4, 105), blanks(81) + "    年  月  日"_sj + blanks(10));
  EXPECT_EQ(common::entryNumberOfListLine(empty), 2000);
}

TEST(ListLine, SelectionTakesNameDateAndEntryBack) {
  Line l;
  const history::LineSelection s = history::selectionOf(l.make(3, Column::Number, 4321));
  EXPECT_EQ(s.name, "山田　太郎"_sj);
  EXPECT_EQ(s.examDate, "2024年５月１２日"_sj + blanks(4));
  EXPECT_EQ(s.entry, "4321");
  EXPECT_EQ(history::entryNumberOf(s), 4321);

  // No selection, a line without an entry number, nonsense: not valid.
  EXPECT_EQ(history::entryNumberOf(history::selectionOf("")), 0);
  EXPECT_EQ(history::entryNumberOf(history::selectionOf(blanks(120))), 0);
  EXPECT_EQ(history::entryNumberOf(history::selectionOf(blanks(109) + "abc")), 0);
  EXPECT_EQ(history::entryNumberOf(history::selectionOf(blanks(109) + "0")), 0);
  EXPECT_EQ(history::selectionOf("short").examDate, "");
  EXPECT_EQ(common::entryNumberOfListLine(""), 0);
  EXPECT_EQ(common::entryNumberOfListLine(blanks(109)), 0);
  EXPECT_EQ(common::entryNumberOfListLine(blanks(109) + "  42  "), 42);
  EXPECT_EQ(common::entryNumberOfListLine(blanks(109) + "x"), 0);
}

}  // namespace
