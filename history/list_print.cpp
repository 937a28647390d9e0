#include "history/list_print.h"

#include <string>

#include "common/list_line.h"
#include "common/print_texts.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/print_run.h"
#include "framework/form/printer.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "history/window_state.h"

namespace history {

using namespace fw::literals;

namespace {

const fw::Str kGothic = "ＭＳ ゴシック"_sj;
constexpr uint32_t kBlack = fw::rgb(0, 0, 0);
constexpr int kShapeBlack = 0;  // shape palette

// The page head, in twips.
const fw::Str kPageTitle = "  【 Tessivo　履歴 】"_sj;
const fw::Str kPageLabel = "page："_sj;
const fw::Str kNumberHeader = "   No.      番号     　　       　氏名                性別         生年月日             年齢　　   　実施日"_sj;
const fw::Str kChartNumberHeader = "   No.     カルテ番号           　氏名                性別         生年月日             年齢　　   　実施日"_sj;
constexpr double kTitleX = 200, kTitleY = 10;
constexpr double kPageNumberX = 12400, kPageNumberY = 50;
constexpr double kHeaderX = 50, kHeaderY = 390;
constexpr double kRuleFromX = 50, kRuleToX = 13800, kRuleY = 690, kRuleWidth = 20;
constexpr float kHeadPoints = 12, kPageNumberPoints = 10, kLinePoints = 12;

constexpr double kFirstLineY = 560, kLineStepY = 260;  // line j of a page at 560 + 260 j

// The seven pieces of a printed line: the running number, then the parts
// of the list line at their x, each with as many of the blanks before and
// after it as the printed list has always carried.
constexpr double kRunningNumberX = 200;
struct Piece {
  double x;
  common::ListPart part;
  int blanksBefore, blanksAfter;
};
constexpr Piece kPieces[] = {
    {1200, common::ListPart::Number, 1, 3},
    {2700, common::ListPart::Name, 2, 0},
    {6500, common::ListPart::Sex, 1, 3},
    {7300, common::ListPart::BirthDate, 1, 1},
    {10500, common::ListPart::Age, 0, 3},
    {11500, common::ListPart::ExamDate, 1, 1},
};

fw::Str pieceOf(const fw::Str& line, const Piece& piece) {
  const common::ListSlot slot = common::listSlot(piece.part);
  return fw::mid(line, slot.firstByte - piece.blanksBefore,
                 piece.blanksBefore + slot.widthBytes + piece.blanksAfter);
}

const fw::Str kRangeMissingTitle = "行番号指定"_sj;
const fw::Str kRangeMissing = "行番号が指定されていません！"_sj;
const fw::Str kCautionTitle = "Caution!";
const fw::Str kRangeReversed = "行番号の設定に誤りがあります！"_sj;
const fw::Str kListPrintTitle = "履歴印刷"_sj;

struct Stop {};

class ListPages {
 public:
  ListPages(fw::Surface& page, Column column, const std::function<void()>& nextPage,
            const std::function<bool()>& escHeld)
      : page_(page), column_(column), nextPage_(nextPage), escHeld_(escHeld) {}

  void draw(const std::vector<fw::Str>& lines, int first, int last) {
    escTest();
    int pageNumber = 1;
    drawHead(pageNumber);
    int onPage = 0, running = 0;
    for (int i = first; i <= last; ++i) {
      escTest();
      ++onPage;
      ++running;
      escTest();
      drawLine(lines[static_cast<std::size_t>(i - 1)], running, onPage);
      // A range ending on a multiple of 40 gets no further page with a head alone.
      if (i % kListLinesPerPage == 0 && i < last) {
        statement([&] { nextPage_(); });
        onPage = 0;
        ++pageNumber;
        escTest();
        drawHead(pageNumber);
      }
      escTest();
    }
  }

 private:
  template <class F>
  void statement(F&& f) {
    fw::resumeNext(std::forward<F>(f));
  }

  void escTest() {
    if (!escHeld_) return;
    bool held = false;
    statement([&] { held = escHeld_(); });
    if (held) throw Stop{};
  }

  void text(double x, double y, const fw::Str& value) {
    statement([&] { page_.setPosition(x, y); });
    statement([&] { page_.print(value); });
  }

  void drawHead(int pageNumber) {
    statement([&] { page_.setFontName(kGothic); });
    statement([&] { page_.setForeColor(kBlack); });
    statement([&] { page_.setFontSize(kHeadPoints); });
    text(kTitleX, kTitleY, kPageTitle);
    statement([&] { page_.setFontSize(kPageNumberPoints); });
    // The number as the runtime prints one: a blank before it and one after.
    text(kPageNumberX, kPageNumberY, kPageLabel + fw::str(pageNumber) + " ");
    statement([&] { page_.setFontSize(kHeadPoints); });
    text(kHeaderX, kHeaderY, column_ == Column::ChartNumber ? kChartNumberHeader : kNumberHeader);
    statement([&] { page_.setLineWidth(kRuleWidth); });
    statement([&] { page_.line(kRuleFromX, kRuleY, kRuleToX, kRuleY, kShapeBlack, 0); });
    statement([&] { page_.setLineWidth(0); });
    statement([&] { page_.setFontSize(kLinePoints); });
  }

  void drawLine(const fw::Str& line, int running, int onPage) {
    const double y = kFirstLineY + kLineStepY * onPage;
    fw::Str number = std::to_string(running);
    if (number.size() < 4) number.insert(0, 4 - number.size(), ' ');
    text(kRunningNumberX, y, number);
    for (const Piece& piece : kPieces) text(piece.x, y, pieceOf(line, piece));
  }

  fw::Surface& page_;
  Column column_;
  const std::function<void()>& nextPage_;
  const std::function<bool()>& escHeld_;
};

// The numeric value of a combo box's chosen item; 0 when none is chosen.
int chosenLine(const char* combo) {
  int value = 0;
  fw::resumeNext([&] {
    fw::Control& c = FORM2->control(combo);
    const int index = c.selectedIndex();
    if (index >= 0) value = fw::toInt32(fw::val(c.itemText(index)));
  });
  return value;
}

void tell(const fw::Str& title, const fw::Str& text) {
  fw::resumeNext(
      [&] { fw::messageBox(FORM2.get(), title, text, fw::mb::OK, fw::mb::Information); });
}

}  // namespace

ListPrintResult drawListPages(fw::Surface& page, const std::vector<fw::Str>& lines, int first,
                              int last, Column column, const std::function<void()>& nextPage,
                              const std::function<bool()>& escHeld) {
  if (last > static_cast<int>(lines.size())) last = static_cast<int>(lines.size());
  if (first < 1) first = 1;
  try {
    ListPages(page, column, nextPage, escHeld).draw(lines, first, last);
  } catch (const Stop&) {
    return ListPrintResult::StoppedByEsc;
  }
  return ListPrintResult::Completed;
}

void BUTTON34_ON() {
  const int first = chosenLine("COMBO4");
  int last = chosenLine("COMBO5");
  if (first == 0 || last == 0) {
    tell(kRangeMissingTitle, kRangeMissing);
    return;
  }
  if (last < first) {
    tell(kCautionTitle, kRangeReversed);
    return;
  }
  if (last - first > kMostListLinesPrinted - 1) {
    tell(kCautionTitle,
         "印刷行数が"_sj + fw::str(kMostListLinesPrinted) + "行を超えています！"_sj);
    return;
  }

  std::vector<fw::Str> lines;
  fw::resumeNext([&] {
    fw::Control& list = FORM2->control("LIST1");
    const int n = list.itemCount();
    lines.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) lines.push_back(list.itemText(i));
  });
  const int n = static_cast<int>(lines.size());
  if (last > n) last = n;

  fw::resumeNext([] { FORM2->setTopMost(false); });
  fw::resumeNext([] { FORM2->setEnabled(false); });

  // An empty list, or a first line beyond the list (the range lists keep
  // numbers of a longer list shown before): nothing to print, and no sheet
  // with a page head alone.
  if (n < 1 || first > last) {
    fw::resumeNext([] { fw::beep(); });
    fw::resumeNext([] { fw::closeAll(); });
  } else {
    fw::PrintRun run;
    run.choose("", fw::kPaperA4, fw::kLandscape);
    if (run.dialog()) {
      fw::resumeNext([] { FORM2->setMousePointer(fw::pointer::Hourglass); });
      run.startDocument(common::text::kPrintDocumentName);
      run.newPage();
      fw::resumeNext([&] { run.printer().setScaleMode(kListPrintScaleMode); });
      ListPrintResult result = ListPrintResult::Completed;
      fw::resumeNext([&] {
        result = drawListPages(run.printer(), lines, first, last, LIST_MODE,
                               [&] {
                                 run.endPage();
                                 run.newPage();
                               },
                               [] { return fw::keyDown(fw::kVkEscape); });
      });
      if (result == ListPrintResult::StoppedByEsc) {
        fw::resumeNext([] { fw::beep(); });
        fw::resumeNext([] { FORM2->setMousePointer(fw::pointer::Arrow); });
      }
      run.endPage();
      run.endDocument();
      run.release();
      fw::resumeNext([] { FORM2->setMousePointer(fw::pointer::Arrow); });
    }
    // Only the program's own printer object goes back to portrait; the
    // system's printer settings are never touched.
    run.choose("", fw::kPaperA4, fw::kPortrait);
    if (run.lost()) tell(kListPrintTitle, common::text::kJobNotDelivered);
  }

  fw::resumeNext([] { FORM2->setTopMost(false); });
  fw::resumeNext([] { FORM2->setEnabled(true); });
}

void registerListPrintProcedures() {
  fw::registerProcedure("BUTTON34_ON", [](fw::EventArgs&) { BUTTON34_ON(); });
}

}  // namespace history
