// "複数印刷" (FORM8): the list of the newest entries, the selection and the
// print of one chart per selected entry.
#include "printing/multiple_print.h"

#include <string>

#include "common/history_format.h"
#include "common/list_line.h"
#include "common/paths.h"
#include "common/print_options.h"
#include "common/print_texts.h"
#include "common/window_look.h"
#include "entry/main_window_interface.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/print_run.h"
#include "framework/form/printer.h"
#include "framework/form/trap.h"
#include "history/history_window.h"
#include "history/outside_faults.h"
#include "history/store/search.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "printing/chart_preview.h"

namespace printing {

using namespace fw::literals;

fw::FormRef FORM8;

namespace {

const fw::Str kGothic = "ＭＳ ゴシック"_sj;
const fw::Str kTitle = "複数印刷"_sj;
const fw::Str kNotSelectedTitle = "NOT SELECT!";
const fw::Str kNotSelected = "印刷対象者(複数選択可)が選択されていません。    "_sj;
const fw::Str kInstruction =
    "上記のリストをクリックによって選択し(複数選択可)、印刷ボタンによって心電図カルテの印刷を行って下さい。"_sj;

constexpr int kLineTrailingBlanks = 15;
constexpr int kMostSelectedEntries = 2000;  // the largest list size
// How many skipped entry numbers the notice names before it only counts.
constexpr std::size_t kMissingNamed = 30;

constexpr uint32_t kBlack = fw::rgb(0, 0, 0);
constexpr uint32_t kLightGrey = fw::rgb(192, 192, 192);

// The list size chosen in COMBO7 (a number of lines).
int listSize = common::kListSizes[0];

fw::Window& form() { return *FORM8; }
fw::Control& form8(const char* name) { return form().control(name); }

void textAt(fw::Surface& s, double x, double y, const fw::Str& text, uint32_t colour) {
  s.setForeColor(colour);
  s.setPosition(x, y);
  s.print(text);
}

void drawHeading(fw::Surface& s) {
  s.setFontName(kGothic);
  s.setFontSize(42);
  textAt(s, 512, 17, kTitle, kLightGrey);
  textAt(s, 510, 15, kTitle, kBlack);
  history::drawListHeader(s, history::Column::Number);
}

void setFonts(fw::Window& w) {
  for (int i = 0; i < w.controlCount(); ++i) {
    fw::Control& c = w.controlAt(i);
    float points = 0;
    switch (c.kind()) {
      case fw::Kind::Button: points = 24; break;
      case fw::Kind::Label: points = 18; break;
      case fw::Kind::Edit: points = 24; break;
      case fw::Kind::List: points = 22; break;
      case fw::Kind::Combo: points = 20; break;
      default: continue;
    }
    c.setFontName(kGothic);
    c.setFontSize(points);
  }
}

void takeListSize() { listSize = static_cast<int>(fw::val(form8("COMBO7").text())); }

void BUTTON38_ON() {
  if (entry::EDIT_COUNT > 0 &&
      fw::messageBox(nullptr, kTitle, "データが変更されています。\r\nこのまま複数印刷を行いますか？"_sj,
                     fw::mb::YesNo, fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  fw::mainWindow().setImeMode(fw::ime::Off);
  if (!fw::isOpen(FORM8)) fw::openWindow(FORM8, "FORM8", 0);
  fw::mainWindow().setEnabled(false);
  fw::mainWindow().setVisible(false);
}

void FORM8_START() {
  fw::Window& w = form();
  addMultiplePrintCommands();
  w.setMousePointer(fw::pointer::Hourglass);
  w.disableCloseCommand();
  fw::Surface& s = w.surface();
  s.setBackColor(common::kWindowBackground);
  s.clear();
  drawHeading(s);

  setFonts(w);
  form8("LIST3").resize(1160, 620);
  form8("EDIT99").setText(kInstruction);
  fw::Control& combo = form8("COMBO7");
  combo.clearItems();
  for (int size : common::kListSizes) combo.addItem(std::to_string(size));

  combo.setSelectedIndex(common::readListSizeIndex(common::files::kPrintListSize));
  takeListSize();

  RIREKI_HYOUJI2();
  w.setVisible(true);
  w.setMousePointer(fw::pointer::Arrow);
}

void COMBO7_CHANGE() {
  const int index = form8("COMBO7").selectedIndex();
  common::writeListSizeIndex(common::files::kPrintListSize, index);
  takeListSize();
  RIREKI_HYOUJI2();
}

// The instruction is not for editing or selecting.
void EDIT99_SETFOCUS() { form().setFocus(); }

void BUTTON41_ON() {
  fw::Control& list = form8("LIST3");
  list.setItemSelected(-1, false);
  list.setSelectedIndex(-1);  // also brings the first line into view
}

void BUTTON39_ON() {
  if (fw::isOpen(FORM8)) {
    FORM8->setImeMode(fw::ime::Off);
    fw::closeWindow(FORM8);
  }
  fw::mainWindow().setEnabled(true);
  fw::mainWindow().setVisible(true);
}

void tell(const fw::Str& title, const fw::Str& text) {
  fw::resumeNext(
      [&] { fw::messageBox(FORM8.get(), title, text, fw::mb::OK, fw::mb::Information); });
}

fw::Str missingNotice(const std::vector<long>& missing) {
  fw::Str numbers;
  for (std::size_t i = 0; i < missing.size() && i < kMissingNamed; ++i) {
    numbers += fw::str(missing[i]);
  }
  if (missing.size() > kMissingNamed) {
    numbers += " ほか"_sj + fw::str(static_cast<long>(missing.size() - kMissingNamed)) + "件"_sj;
  }
  return "次の履歴番号の受診者は、履歴ファイルに見つからなかったため印刷しませんでした。"_sj +
         fw::CRLF + "(リストの表示後に履歴ファイルが変更されています)"_sj + fw::CRLF +
         fw::CRLF + "履歴番号："_sj + numbers;
}

// The selected lines' entry numbers, top to bottom.
std::vector<long> selectedEntries(fw::Control& list) {
  std::vector<long> entries;
  const int lines = list.itemCount();
  for (int i = 0; i < lines && static_cast<int>(entries.size()) < kMostSelectedEntries; ++i) {
    if (list.itemSelected(i)) entries.push_back(common::entryNumberOfListLine(list.itemText(i)));
  }
  return entries;
}

void BUTTON40_ON() {
  CorrectionTable corrections;
  fw::resumeNext([&] { corrections = common::readCorrections(); });

  int lines = 0;
  fw::resumeNext([&] { lines = form8("LIST3").itemCount(); });
  if (lines == 0) {
    tell(kNotSelectedTitle, kNotSelected);
    fw::resumeNext([] { fw::closeAll(); });
    return;
  }
  std::vector<long> entries;
  fw::resumeNext([&] { entries = selectedEntries(form8("LIST3")); });
  if (entries.empty()) {
    tell(kNotSelectedTitle, kNotSelected);
    fw::resumeNext([] { fw::closeAll(); });
    return;
  }

  int answer = fw::mb::ResNo;
  fw::resumeNext([&] {
    answer = fw::messageBox(FORM8.get(), kTitle,
                            "選択された受診者の「心電図カルテ(FT-70)」を印刷します。 "_sj +
                                fw::CRLF + fw::CRLF + "よろしいですか？   "_sj,
                            fw::mb::YesNo, fw::mb::Question);
  });
  if (answer != fw::mb::ResYes) {
    fw::resumeNext([] { form8("LIST3").setItemSelected(-1, false); });
    fw::resumeNext([] { fw::closeAll(); });
    return;
  }

  fw::resumeNext([] { form().setMousePointer(fw::pointer::Hourglass); });
  fw::resumeNext([] { form().setEnabled(false); });
  PdfCopies copies;
  fw::PrintRun run;
  run.choose("", fw::kPaperA4, fw::kLandscape);
  SheetsOutcome outcome;
  if (run.dialog()) {
    run.startDocument(common::text::kPrintDocumentName);
    fw::resumeNext([&] { run.printer().setScaleMode(kChartScaleMode); });

    SheetOutput output{run.printer(), [&] { run.newPage(); }, [&] { run.endPage(); }};
    const PrintOptions options = chartOptionsFor(run.queueName());
    outcome = printSheets(output, entries, corrections, options,
                          [] { return fw::keyDown(fw::kVkEscape); }, &copies);
    if (outcome.stoppedByEsc) {
      fw::resumeNext([] { fw::beep(); });
      fw::resumeNext([] { form().setMousePointer(fw::pointer::Arrow); });
      if (outcome.pageOpen) run.endPage();
    }
    fw::resumeNext([] { fw::beep(); });
    run.endDocument();
    run.release();
  }

  fw::resumeNext([] { form().setEnabled(true); });
  // Only the program's own printer object goes back to portrait; the
  // system's printer settings are never touched.
  run.choose("", fw::kPaperA4, fw::kPortrait);
  fw::resumeNext([] { form().setFocus(); });
  fw::resumeNext([] { form().setMousePointer(fw::pointer::Arrow); });

  if (run.lost()) tell(kTitle, common::text::kJobNotDelivered);
  if (!outcome.missing.empty()) tell(kTitle, missingNotice(outcome.missing));
  copies.tellFailure(FORM8.get(), kTitle);
}

void on(const char* name, void (*body)()) {
  fw::registerProcedure(name, [body](fw::EventArgs&) { body(); });
}

}  // namespace

void printSelectedCharts() { BUTTON40_ON(); }

void RIREKI_HYOUJI2() {
  fw::Window& w = form();
  w.setMousePointer(fw::pointer::Hourglass);
  fw::Control& list = form8("LIST3");
  list.clearItems();
  fw::Surface& s = w.surface();
  s.setForeColor(common::kWindowBackground);
  s.setFillColor(common::kWindowBackground);
  s.line(20, 70, 1200, 120, -1, 2);
  history::drawListHeader(s, history::Column::Number);

  // The history window's listing, lines with the blanks this list keeps
  // after them. A share that vanished or a lock held too long elsewhere
  // leaves the list empty, with the reason told; the program goes on.
  const history::StopTest escHeld = [&w] {
    if (!fw::keyDown(fw::kVkEscape)) return false;
    fw::beep();
    w.setMousePointer(fw::pointer::Arrow);
    return true;
  };
  history::Listing listing;
  history::survivingOutsideFaults(FORM8.get(), kTitle, history::text::kReadFailed, [&] {
    listing = history::listEntries(history::Scan::Live, history::Column::Number, listSize,
                                   nullptr, escHeld, kLineTrailingBlanks);
  });
  for (const fw::Str& line : listing.lines) list.addItem(line);
  w.setMousePointer(fw::pointer::Arrow);
}

void registerMultiplePrintProcedures() {
  on("BUTTON38_ON", BUTTON38_ON);
  on("FORM8_START", FORM8_START);
  on("COMBO7_CHANGE", COMBO7_CHANGE);
  on("EDIT99_SETFOCUS", EDIT99_SETFOCUS);
  on("BUTTON41_ON", BUTTON41_ON);
  on("BUTTON39_ON", BUTTON39_ON);
  on("BUTTON40_ON", BUTTON40_ON);
}

}  // namespace printing
