// "印 刷" of the history window: the page layout on the recorded drawing,
// BUTTON34_ON's checks on a FORM2 filled by the test, and the paper list
// read back from the PDF.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "common/list_line.h"
#include "common/print_texts.h"
#include "framework/core/cp932.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/printer.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "framework/form/responder.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "history/list_print.h"
#include "history/window_state.h"
#include "tests/framework/print/pdf_probe.h"
#include "tests/support/temp_dir.h"

namespace history {
namespace {

using namespace fw::literals;
using tessivo::test::PdfPage;
using tessivo::test::TempCwd;

// The list lines of entries count, count - 1, ... 1: examinee number
// "N<entry>", chart number 10 digits, name "氏名<entry>".
std::vector<fw::Str> listLines(int count, common::ListColumn column) {
  std::vector<fw::Str> lines;
  for (int k = 1; k <= count; ++k) {
    const long entry = count - k + 1;
    common::AttributeValues a;
    a[common::AttributeField::ExamNo] = "N" + std::to_string(entry);
    a[common::AttributeField::ChartNo] = "00000" + std::to_string(10000 + entry);
    a[common::AttributeField::Name] = "氏名"_sj + std::to_string(entry);
    a[common::AttributeField::SexCode] = "1";
    a[common::AttributeField::BirthYear] = "昭和45"_sj;
    a[common::AttributeField::BirthMonth] = "3";
    a[common::AttributeField::BirthDay] = "15";
    a[common::AttributeField::Age] = "54";
    a[common::AttributeField::ExamYear] = "2024";
    a[common::AttributeField::ExamMonth] = "5";
    a[common::AttributeField::ExamDay] = "7";
    lines.push_back(common::historyListLine(k, a, column, entry));
  }
  return lines;
}

// The drawing of a list print, page by page.
struct RecordedList {
  fw::RecordingSurface surface;
  std::vector<std::size_t> pageStarts{0};
  ListPrintResult print(const std::vector<fw::Str>& lines, int first, int last, Column mode,
                        std::function<bool()> esc = {}) {
    surface.setScaleMode(6);
    return drawListPages(
        surface, lines, first, last, mode, [this] { pageStarts.push_back(surface.calls.size()); },
        esc);
  }
  std::size_t pages() const { return pageStarts.size(); }
  std::vector<fw::DrawCall> page(std::size_t p) const {
    const std::size_t end = p + 1 < pageStarts.size() ? pageStarts[p + 1] : surface.calls.size();
    return {surface.calls.begin() + long(pageStarts[p]), surface.calls.begin() + long(end)};
  }
  // The running numbers printed on a page, in order.
  std::vector<std::string> runningNumbers(std::size_t p) const {
    std::vector<std::string> numbers;
    for (const fw::DrawCall& c : page(p))
      if (c.type == fw::DrawCall::Text && c.x == 200 && c.y >= 820) numbers.push_back(c.text);
    return numbers;
  }
  const fw::DrawCall* textAt(std::size_t p, double x, double y) const {
    static fw::DrawCall found;
    for (const fw::DrawCall& c : page(p))
      if (c.type == fw::DrawCall::Text && c.x == x && c.y == y) return &(found = c);
    return nullptr;
  }
};

std::string padded(int n) {
  std::string s = std::to_string(n);
  return std::string(4 - s.size(), ' ') + s;
}

TEST(ListPages, PagesEndAfterLinesNumberedInFortiesWithoutAHeadAlone) {
  const std::vector<fw::Str> lines = listLines(120, common::ListColumn::Number);
  {
    RecordedList list;
    list.print(lines, 1, 41, Column::Number);
    ASSERT_EQ(list.pages(), 2u);
    EXPECT_EQ(list.runningNumbers(0).size(), 40u);
    EXPECT_EQ(list.runningNumbers(1), std::vector<std::string>{padded(41)});
    ASSERT_TRUE(list.textAt(1, 200, 820));  // the first line of a page at 560 + 260
  }
  {
    RecordedList list;
    list.print(lines, 5, 50, Column::Number);
    ASSERT_EQ(list.pages(), 2u);
    const auto first = list.runningNumbers(0), second = list.runningNumbers(1);
    ASSERT_EQ(first.size(), 36u);
    ASSERT_EQ(second.size(), 10u);
    EXPECT_EQ(first.front(), padded(1));
    EXPECT_EQ(first.back(), padded(36));
    EXPECT_EQ(second.front(), padded(37));
    EXPECT_EQ(second.back(), padded(46));
    // Line 40 was the 36th of page 1: y = 560 + 260 x 36; line 5's examinee number.
    EXPECT_TRUE(list.textAt(0, 200, 560 + 260 * 36));
    EXPECT_EQ(list.textAt(0, 1200, 820)->text, fw::mid(lines[4], 7, 16));
    EXPECT_EQ(list.textAt(1, 1200, 820 + 260 * 9)->text, fw::mid(lines[49], 7, 16));
  }
  for (const auto& [first, last, pages] :
       std::vector<std::tuple<int, int, std::size_t>>{{1, 40, 1}, {41, 80, 1}, {40, 41, 2},
                                                       {1, 80, 2}, {1, 120, 3}, {39, 39, 1}}) {
    SCOPED_TRACE(std::to_string(first) + ".." + std::to_string(last));
    RecordedList list;
    list.print(lines, first, last, Column::Number);
    EXPECT_EQ(list.pages(), pages);
    EXPECT_FALSE(list.runningNumbers(list.pages() - 1).empty());  // never a head alone
  }
}

TEST(ListPages, EveryPageCarriesTheHeadOfItsList) {
  const std::vector<fw::Str> lines = listLines(60, common::ListColumn::ChartNumber);
  const fw::Str numberHeader =
      "   No.      番号     　　       　氏名                性別         生年月日             年齢　　   　実施日"_sj;
  const fw::Str chartHeader =
      "   No.     カルテ番号           　氏名                性別         生年月日             年齢　　   　実施日"_sj;
  for (Column mode : {Column::Number, Column::ChartNumber}) {
    SCOPED_TRACE(static_cast<int>(mode));
    RecordedList list;
    list.print(lines, 1, 60, mode);
    ASSERT_EQ(list.pages(), 2u);
    for (std::size_t p = 0; p < 2; ++p) {
      const fw::DrawCall* title = list.textAt(p, 200, 10);
      ASSERT_TRUE(title);
      EXPECT_EQ(title->text, "  【 Tessivo　履歴 】"_sj);
      EXPECT_EQ(title->size, 12);
      EXPECT_EQ(title->face, "ＭＳ ゴシック"_sj);
      const fw::DrawCall* number = list.textAt(p, 12400, 50);
      ASSERT_TRUE(number);
      EXPECT_EQ(number->text, "page："_sj + " " + std::to_string(p + 1) + " ");
      EXPECT_EQ(number->size, 10);
      const fw::DrawCall* header = list.textAt(p, 50, 390);
      ASSERT_TRUE(header);
      EXPECT_EQ(header->text, mode == Column::ChartNumber ? chartHeader : numberHeader);
      EXPECT_EQ(header->size, 12);
      int rules = 0;
      for (const fw::DrawCall& c : list.page(p)) {
        if (c.type != fw::DrawCall::Line) continue;
        ++rules;
        EXPECT_EQ(std::tuple(c.x, c.y, c.x2, c.y2), std::tuple(50.0, 690.0, 13800.0, 690.0));
        EXPECT_EQ(c.lineWidth, 20);
        EXPECT_EQ(c.colour, fw::rgb(0, 0, 0));
      }
      EXPECT_EQ(rules, 1);
      EXPECT_EQ(list.textAt(p, 200, 820)->size, 12);  // body type after the 10 pt number
    }
  }
}

TEST(ListPages, SevenPiecesOfALineAtTheirPlaces) {
  const std::vector<fw::Str> lines = listLines(3, common::ListColumn::Number);
  RecordedList list;
  list.print(lines, 2, 2, Column::Number);
  const fw::Str& line = lines[1];
  const std::map<double, fw::Str> expected = {
      {200, "   1"},
      {1200, line.substr(6, 16)},  {2700, line.substr(21, 26)}, {6500, line.substr(49, 6)},
      {7300, line.substr(54, 22)}, {10500, line.substr(76, 8)}, {11500, line.substr(84, 22)},
  };
  std::map<double, fw::Str> printed;
  for (const fw::DrawCall& c : list.page(0))
    if (c.type == fw::DrawCall::Text && c.y == 820) printed[c.x] = c.text;
  EXPECT_EQ(printed, expected);
  // Each piece starts on the blank before its column.
  EXPECT_EQ(printed[1200], " N2" + std::string(13, ' '));
  EXPECT_EQ(printed[6500], " 男   "_sj);
}

TEST(ListPages, EscStopsAtTheNextTest) {
  const std::vector<fw::Str> lines = listLines(50, common::ListColumn::Number);
  {
    RecordedList list;
    EXPECT_EQ(list.print(lines, 1, 50, Column::Number, [] { return true; }), ListPrintResult::StoppedByEsc);
    EXPECT_TRUE(list.surface.calls.empty());  // held before the first head
  }
  int looks = 0;
  RecordedList list;
  EXPECT_EQ(list.print(lines, 1, 50, Column::Number, [&] { return ++looks > 12; }),
            ListPrintResult::StoppedByEsc);
  EXPECT_EQ(list.pages(), 1u);
  EXPECT_EQ(list.runningNumbers(0).size(), 4u);  // one test before the head, three a line
}

class ListPrint : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    registerListPrintProcedures();
    pdf = dir.path() + "/list.pdf";
    fw::setPdfOutput(pdf);
    fw::openWindow(FORM2, "FORM2", 0);
    fw::waitForEvents();
    LIST_MODE = Column::Number;
  }
  void TearDown() override {
    fw::setPdfOutput("");
    fw::resetForTests();
  }
  // LIST1 with `lines` lines; the range lists offer 1 .. rangeItems.
  void fill(int lines, int rangeItems, common::ListColumn column) {
    fw::Control& list = FORM2->control("LIST1");
    list.clearItems();
    for (const fw::Str& line : listLines(lines, column)) list.addItem(line);
    for (const char* combo : {"COMBO4", "COMBO5"}) {
      fw::Control& c = FORM2->control(combo);
      c.clearItems();
      for (int i = 1; i <= rangeItems; ++i) c.addItem(" " + std::to_string(i));
    }
  }
  void choose(int first, int last) {
    FORM2->control("COMBO4").setSelectedIndex(first - 1);
    FORM2->control("COMBO5").setSelectedIndex(last - 1);
  }
  void print() {
    fw::testing::click(FORM2->control("BUTTON34"));
    fw::waitForEvents();
  }
  void keep(const std::string& name) {
    tessivo::test::keepForLooking(pdf, name);
  }

  TempCwd dir;
  fw::ScriptedResponder answers;
  std::string pdf;
};

TEST_F(ListPrint, RangeChecksInTheirOrder) {
  fill(320, 320, common::ListColumn::Number);
  struct Case {
    int first, last;
    const char* title;
    fw::Str text;
  };
  const Case refused[] = {
      {0, 5, "行番号指定", "行番号が指定されていません！"_sj},
      {5, 0, "行番号指定", "行番号が指定されていません！"_sj},
      {6, 5, "Caution!", "行番号の設定に誤りがあります！"_sj},
      {1, 301, "Caution!", "印刷行数が"_sj + " 300" + "行を超えています！"_sj},
      {20, 320, "Caution!", "印刷行数が"_sj + " 300" + "行を超えています！"_sj},
  };
  for (const Case& c : refused) {
    SCOPED_TRACE(std::to_string(c.first) + ".." + std::to_string(c.last));
    answers.messages.clear();
    choose(c.first, c.last);
    print();
    ASSERT_EQ(answers.messages.size(), 1u);
    EXPECT_EQ(answers.messages[0].title, fw::sj(c.title));
    EXPECT_EQ(answers.messages[0].text, c.text);
    EXPECT_EQ(answers.messages[0].buttons, fw::mb::OK);
    EXPECT_EQ(answers.messages[0].icon, fw::mb::Information);
    EXPECT_TRUE(answers.printDialogs.empty());
  }
  answers.messages.clear();
  choose(1, 300);
  answers.printAnswers = {false};
  print();
  EXPECT_TRUE(answers.messages.empty());
  EXPECT_EQ(answers.printDialogs.size(), 1u);  // accepted: on to the printer
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(FORM2->enabled());
}

TEST_F(ListPrint, TwoPagesOnPaperWithTheirHeadsAndRunningNumbers) {
  LIST_MODE = Column::ChartNumber;
  fill(45, 50, common::ListColumn::ChartNumber);  // the range lists are stale
  choose(1, 50);                                     // lowered to 45
  bool disabledWhilePrinting = false;
  answers.keys = [&](int) {
    disabledWhilePrinting = !FORM2->enabled();
    return false;
  };
  answers.printAnswers = {true};
  print();
  EXPECT_TRUE(disabledWhilePrinting);
  EXPECT_TRUE(FORM2->enabled());
  EXPECT_TRUE(answers.messages.empty());

  const std::vector<PdfPage> pages = tessivo::test::readPdfWords(pdf);
  ASSERT_EQ(pages.size(), 2u);
  keep("history-list-two-pages");
  for (std::size_t p = 0; p < 2; ++p) {
    SCOPED_TRACE(p);
    EXPECT_NEAR(pages[p].width, 841.89, 1.0);
    const tessivo::test::PdfWord* label = pages[p].find(fw::toUtf8("page："_sj));
    ASSERT_TRUE(label);
    ASSERT_TRUE(pages[p].find(fw::toUtf8("カルテ番号"_sj)));
    // Twips: 20 to the point. The header's "No." stands three half-width
    // blanks (6 pt each at 12 pt) right of x = 50, which gives the corner of
    // the printable area.
    const tessivo::test::PdfWord* no = pages[p].find("No.");
    ASSERT_TRUE(no);
    const double marginX = no->xMin - 50 / 20.0 - 3 * 6.0;
    EXPECT_NEAR(label->xMin - marginX, 12400 / 20.0, 1.0);
    // The page number follows the label after a blank.
    bool numbered = false;
    for (const auto& w : pages[p].words)
      numbered |= w.text == std::to_string(p + 1) && w.xMin > label->xMax + 1 &&
                  w.xMin < label->xMax + 8 && std::abs(w.yMin - label->yMin) < 2;
    EXPECT_TRUE(numbered);
  }
  // Running numbers 1..40 on page 1, 41..45 on page 2; the entry numbers of
  // the lines are not printed.
  EXPECT_TRUE(pages[0].find("40"));
  EXPECT_FALSE(pages[0].find("41"));
  EXPECT_TRUE(pages[1].find("41") && pages[1].find("45"));
  EXPECT_FALSE(pages[1].find("46"));
  EXPECT_TRUE(pages[1].find("0000010001"));  // the chart number of the oldest entry
}

TEST_F(ListPrint, NothingInRangeBeepsWithoutPrinting) {
  fill(0, 50, common::ListColumn::Number);  // a new list is empty
  choose(1, 10);
  print();
  EXPECT_EQ(answers.beeps, 1);
  EXPECT_TRUE(answers.printDialogs.empty());

  fill(45, 50, common::ListColumn::Number);
  choose(47, 50);  // lowered to 45, below the first line
  print();
  EXPECT_EQ(answers.beeps, 2);
  EXPECT_TRUE(answers.printDialogs.empty());
  EXPECT_FALSE(std::filesystem::exists(pdf));
  EXPECT_TRUE(FORM2->enabled());
}

TEST_F(ListPrint, EscKeepsThePagesBegunAndAJobThatNeverStartedIsReported) {
  fill(100, 100, common::ListColumn::Number);
  choose(1, 100);
  int looks = 0;
  answers.keys = [&](int key) { return key == fw::kVkEscape && ++looks > 4 * 45; };
  answers.printAnswers = {true};
  print();
  EXPECT_EQ(answers.beeps, 1);
  EXPECT_EQ(tessivo::test::readPdfWords(pdf).size(), 2u);
  EXPECT_TRUE(answers.messages.empty());

  answers.keys = {};
  fw::setPdfOutput(dir.path() + "/no-such-folder/list.pdf");
  answers.printAnswers = {true};
  print();
  ASSERT_EQ(answers.messages.size(), 1u);
  EXPECT_EQ(answers.messages[0].title, "履歴印刷"_sj);
  EXPECT_EQ(answers.messages[0].text, common::text::kJobNotDelivered);
  EXPECT_EQ(answers.messages[0].icon, fw::mb::Information);
  EXPECT_TRUE(FORM2->enabled());
}

}  // namespace
}  // namespace history
