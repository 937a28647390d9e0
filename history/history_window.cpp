// The history window FORM2.
#include "history/history_window.h"

#include <string>

#include "common/history_format.h"
#include "common/paths.h"
#include "common/window_look.h"
#include "entry/main_window_interface.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/surface.h"
#include "framework/form/window.h"
#include "history/outside_faults.h"
#include "history/store/search.h"
#include "history/store/search_index.h"
#include "history/texts.h"
#include "history/window_state.h"

namespace history {

using fw::Str;
using fw::literals::operator""_sj;

namespace {

// Text colours as the colour statement picks them: number 7 of the dark
// half (mode 0) is silver, of the bright half (mode 4) white; black is
// number 0 of the bright half.
enum class Ink { Black, Silver, White };

void ink(fw::Surface& s, Ink i) {
  switch (i) {
    case Ink::Black: s.setForeColor(fw::textPaletteColour(8)); break;
    case Ink::Silver: s.setForeColor(fw::textPaletteColour(7)); break;
    case Ink::White: s.setForeColor(fw::textPaletteColour(15)); break;
  }
}

const Str& gothic() {
  static const Str face = "ＭＳ ゴシック"_sj;
  return face;
}

void textAt(fw::Surface& s, double x, double y, const Str& text, Ink i) {
  ink(s, i);
  s.setPosition(x, y);
  s.print(text);
}

// The controls the deleted-entries view disables.
constexpr const char* kListControls[] = {"BUTTON11", "BUTTON34", "COMBO4", "COMBO5"};

// Run-time fonts of the controls (all ＭＳ ゴシック).
struct ControlFont {
  const char* name;
  float points;
  bool bold;
};
constexpr ControlFont kControlFonts[] = {
    {"LIST1", 22, false},    {"COMBO6", 20, false},   {"EDIT24", 20, true},
    {"BUTTON11", 24, false}, {"BUTTON17", 24, true},  {"BUTTON27", 14, true},
    {"BUTTON18", 22, true},  {"BUTTON16", 22, true},  {"BUTTON15", 24, false},
    {"BUTTON4", 24, false},  {"EDIT97", 16, true},    {"COMBO4", 20, false},
    {"COMBO5", 20, false},   {"BUTTON34", 24, true},
};

fw::Window& form() { return *FORM2; }
fw::Control& control(const char* name) { return FORM2->control(name); }
fw::Control& list() { return control("LIST1"); }

void hourglass() { form().setMousePointer(fw::pointer::Hourglass); }
void arrow() {
  if (fw::isOpen(FORM2)) form().setMousePointer(fw::pointer::Arrow);
}

// The Esc test of the long loops: a held Esc stops them with a beep.
bool escapeHeld() {
  if (!fw::keyDown(fw::kVkEscape) || !fw::isOpen(FORM2)) return false;
  fw::beep();
  arrow();
  return true;
}

// A black frame lit from the bottom right: two white lines along its right
// and bottom edges.
void frame(fw::Surface& s, double x1, double y1, double x2, double y2) {
  constexpr int kBlackShape = 0, kWhiteShape = 15;
  s.line(x1, y1, x2, y2, kBlackShape, 1);
  for (int d = 1; d <= 2; ++d) {
    s.line(x2 + d, y1 + d - 1, x2 + d, y2 + d, kWhiteShape);
    s.line(x1 + d - 1, y2 + d, x2 + d, y2 + d, kWhiteShape);
  }
}

}  // namespace

void drawListHeader(fw::Surface& s, Column column) {
  s.setFontName(gothic());
  s.setFontSize(24);
  s.setFontBold(false);
  if (column == Column::Number) {
    textAt(s, 46, 84, text::kNumberHeaderShadow, Ink::White);
    textAt(s, 45, 83, text::kNumberHeader, Ink::Black);
  } else {
    textAt(s, 46, 84, text::kChartHeader, Ink::White);
    textAt(s, 45, 83, text::kChartHeader, Ink::Black);
  }
  textAt(s, 569, 84, text::kRightHeader, Ink::White);
  textAt(s, 568, 83, text::kRightHeader, Ink::Black);
}

void refillListHeader(fw::Surface& s, Column column) {
  s.setForeColor(common::kWindowBackground);
  s.setFillColor(common::kWindowBackground);
  s.line(20, 70, 1200, 120, -1, 2);
  drawListHeader(s, column);
}

void paintHistoryPicture(fw::Surface& s) {
  s.setBackColor(common::kWindowBackground);
  s.clear();

  s.setFontName(gothic());
  s.setFontSize(42);
  s.setFontBold(false);
  textAt(s, 502, 17, text::kWindowTitle, Ink::Silver);
  textAt(s, 500, 15, text::kWindowTitle, Ink::Black);

  drawListHeader(s, Column::Number);

  s.setFontSize(20);
  s.setFontBold(true);
  textAt(s, 52, 843, text::kPrintBoxLabel, Ink::Silver);
  textAt(s, 51, 842, text::kPrintBoxLabel, Ink::Black);
  s.setFontBold(false);

  frame(s, 30, 812, 150, 889);
  frame(s, 665, 812, 1020, 889);
}

namespace {

void redrawHeader(Column column) { refillListHeader(form().surface(), column); }

void setControlFonts() {
  for (const ControlFont& f : kControlFonts) {
    fw::Control& c = control(f.name);
    c.setFontName(gothic());
    c.setFontSize(f.points);
    c.setFontBold(f.bold);
  }
}

// ---- Listing ------------------------------------------------------------

void show(const Listing& listing) {
  fw::Control& l = list();
  for (const Str& line : listing.lines) l.addItem(line);
  LISTED_STAMPS = listing.stamps;
}

// The lines of a listing, or none when the files could not be read (a
// vanished share, another program's lock held too long): the operator is
// told why and the list stays empty. `failed` tells the two empties apart.
Listing listed(Scan which, Column column, const Matcher* matcher, const StopTest& stop,
               bool* failed = nullptr) {
  Listing listing;
  const bool read = survivingOutsideFaults(FORM2.get(), text::kHistoryTitle, text::kReadFailed,
                                           [&] {
                                             listing = listEntries(which, column, LIST_LIMIT,
                                                                   matcher, stop);
                                           });
  if (!read) arrow();
  if (failed) *failed = !read;
  return listing;
}

void listAll(Column column, bool stoppable) {
  hourglass();
  list().clearItems();
  redrawHeader(column);
  show(listed(Scan::Live, column, nullptr, stoppable ? StopTest(escapeHeld) : StopTest()));
  arrow();
}

// COMBO4 and COMBO5 offer the line numbers 1 … n; `stoppable`: a held Esc
// stops the filling (with a beep) where it is.
void fillPrintRange(bool stoppable) {
  const int n = list().itemCount();
  if (n < 1) return;
  fw::Control& first = control("COMBO4");
  fw::Control& last = control("COMBO5");
  first.clearItems();
  last.clearItems();
  for (int i = 1; i <= n; ++i) {
    if (stoppable && escapeHeld()) return;
    const Str item = fw::str(i);
    first.addItem(item);
    last.addItem(item);
  }
}

// ---- Searches in the list -------------------------------------------------

struct ListSearch {
  SearchKind kind;
  void (*fullList)();
  Column column;
  const Str* title;
  const Str* question;
  const Str* prompt;
  int ime;
  const Str* notFound;
  void (*listAfterNotFound)();
};

const ListSearch& numberSearch() {
  static const ListSearch s{SearchKind::Number, BANGOU_HYOUJI, Column::Number,
                            &text::kNumberSearchTitle, &text::kListNumberQuestion,
                            &text::kNumberPrompt, fw::ime::Off, &text::kListNumberNotFound,
                            RIREKI_HYOUJI};
  return s;
}
const ListSearch& chartSearch() {
  static const ListSearch s{SearchKind::ChartNumber, KARUTE_B_HYOUJI, Column::ChartNumber,
                            &text::kChartSearchTitle, &text::kListChartQuestion,
                            &text::kChartPrompt, fw::ime::Off, &text::kListChartNotFound,
                            KARUTE_B_HYOUJI};
  return s;
}
const ListSearch& nameSearch() {
  static const ListSearch s{SearchKind::Name, BANGOU_HYOUJI, Column::Number,
                            &text::kNameSearchTitle, &text::kListNameQuestion,
                            &text::kNamePrompt, fw::ime::Hiragana, &text::kListNameNotFound,
                            RIREKI_HYOUJI};
  return s;
}

void searchList(const ListSearch& s) {
  s.fullList();
  enableListControls();
  LIST_MODE = s.column;
  if (fw::messageBox(FORM2.get(), *s.title, *s.question + fw::CRLF + text::kAreYouSure,
                     fw::mb::YesNo, fw::mb::Question) != fw::mb::ResYes) {
    form().setImeMode(fw::ime::Off);
    return;
  }
  form().setImeMode(s.ime);
  const Str answer = fw::trim(fw::inputBox(FORM2.get(), *s.title, *s.prompt, ""));
  form().setImeMode(fw::ime::Off);
  if (answer == Str(1, '\x1b') || answer.empty()) return;

  const Matcher matcher(s.kind, searchKey(s.kind, answer));
  list().clearItems();
  arrow();
  bool failed = false;
  // Building the search index anew takes as long as a long listing.
  const IndexBuildNoticeScope building([](bool on) { on ? hourglass() : arrow(); });
  const Listing found = listed(Scan::Live, s.column, &matcher, escapeHeld, &failed);
  show(found);
  if (s.column == Column::ChartNumber) redrawHeader(Column::ChartNumber);
  if (found.lines.empty() && !failed) {
    fw::messageBox(FORM2.get(), *s.title, *s.notFound, fw::mb::OK, fw::mb::Information);
    s.listAfterNotFound();
  }
  refillPrintRange();
}

void EDIT24_SETFOCUS() { form().setFocus(); }
void EDIT97_SETFOCUS() { form().setFocus(); }

void on(const char* name, void (*body)()) {
  fw::registerProcedure(name, [body](fw::EventArgs&) { body(); });
}

}  // namespace

void RIREKI_HYOUJI() { listAll(Column::Number, true); }
void BANGOU_HYOUJI() { listAll(Column::Number, false); }
void KARUTE_B_HYOUJI() { listAll(Column::ChartNumber, false); }

void listAgain() {
  if (LIST_MODE == Column::ChartNumber) KARUTE_B_HYOUJI();
  else RIREKI_HYOUJI();
}

void refillPrintRange() { fillPrintRange(false); }

void enableListControls() {
  for (const char* name : kListControls) control(name).setEnabled(true);
}

void closeHistoryWindow() {
  if (fw::isOpen(FORM2)) {
    form().setImeMode(fw::ime::Off);
    fw::closeWindow(FORM2);
  }
  fw::Window& main = fw::mainWindow();
  main.setEnabled(true);
  main.setVisible(true);
}

void BUTTON2_ON() {
  if (entry::EDIT_COUNT > 0 &&
      fw::messageBox(nullptr, text::kHistoryTitle, text::kHistoryChangedQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  fw::Window& main = fw::mainWindow();
  main.setImeMode(fw::ime::Off);
  if (!fw::isOpen(FORM2)) fw::openWindow(FORM2, "FORM2", 0);
  main.setEnabled(false);
  main.setVisible(false);
}

void FORM2_START() {
  control("COMBO4").setEnabled(true);
  control("COMBO5").setEnabled(true);
  hourglass();
  LIST_MODE = Column::Number;
  form().disableCloseCommand();

  paintHistoryPicture(form().surface());
  setControlFonts();
  control("EDIT24").setText(text::kHelpList);
  control("EDIT97").setText(text::kHelpPrint);
  offerCsvExport();

  fw::Control& size = control("COMBO6");
  size.clearItems();
  for (int lines : common::kListSizes) size.addItem(std::to_string(lines));
  const int index = common::readListSizeIndex(common::files::kHistoryListSize);
  size.setSelectedIndex(index);
  LIST_LIMIT = static_cast<int>(fw::val(size.itemText(index)));

  RIREKI_HYOUJI();
  fillPrintRange(true);

  form().setTopMost(true);
  form().setVisible(true);
  arrow();
}

void BUTTON18_ON() { searchList(numberSearch()); }
void BUTTON27_ON() { searchList(chartSearch()); }
void BUTTON16_ON() { searchList(nameSearch()); }

void BUTTON17_ON() {
  LIST_MODE = Column::Number;
  if (fw::messageBox(FORM2.get(), text::kResetTitle, text::kResetText, fw::mb::OKCancel,
                     fw::mb::Information) != fw::mb::ResOK) {
    return;
  }
  enableListControls();
  control("COMBO4").setSelectedIndex(-1);
  control("COMBO5").setSelectedIndex(-1);
  hourglass();
  list().clearItems();
  RIREKI_HYOUJI();
  refillPrintRange();
  arrow();
}

void COMBO6_CHANGE() {
  fw::Control& size = control("COMBO6");
  const int index = size.selectedIndex();
  if (index < 0) return;
  common::writeListSizeIndex(common::files::kHistoryListSize, index);
  LIST_LIMIT = static_cast<int>(fw::val(size.itemText(index)));
  RIREKI_HYOUJI();
  refillPrintRange();
}

void deletedEntriesView(double x, double y) {
  if (!(x > 1170 && x < 1210 && y > 5 && y < 30)) return;
  for (const char* name : kListControls) control(name).setEnabled(false);
  redrawHeader(Column::Number);
  hourglass();
  list().clearItems();
  show(listed(Scan::Deleted, Column::Number, nullptr, StopTest()));
  arrow();
}

void BUTTON4_ON() {
  enableListControls();
  LIST_MODE = Column::Number;
  closeHistoryWindow();
}

void registerHistoryWindowProcedures() {
  on("BUTTON2_ON", BUTTON2_ON);
  on("FORM2_START", FORM2_START);
  on("BUTTON18_ON", BUTTON18_ON);
  on("BUTTON27_ON", BUTTON27_ON);
  on("BUTTON16_ON", BUTTON16_ON);
  on("BUTTON17_ON", BUTTON17_ON);
  on("COMBO6_CHANGE", COMBO6_CHANGE);
  fw::registerProcedure("FORM2_DBLCLICK", [](fw::EventArgs& args) {
    deletedEntriesView(args.window->lastMouse(0), args.window->lastMouse(1));
  });
  on("BUTTON4_ON", BUTTON4_ON);
  on("EDIT24_SETFOCUS", EDIT24_SETFOCUS);
  on("EDIT97_SETFOCUS", EDIT97_SETFOCUS);
}

}  // namespace history
