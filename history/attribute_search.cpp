#include "history/attribute_search.h"

#include "common/history_format.h"
#include "entry/main_window_interface.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/outside_faults.h"
#include "history/store/search.h"
#include "history/store/search_index.h"
#include "history/texts.h"

namespace history {

using fw::Str;

namespace {

struct AttributeSearch {
  SearchKind kind;
  const Str* title;
  const Str* lead;        // first line of the question
  const Str* prompt;
  int ime;                // while the input box is open
  int scanPointer;        // mouse pointer during the scan
  const Str* notFound;
};

const AttributeSearch& numberSearch() {
  static const AttributeSearch s{SearchKind::Number, &text::kNumberSearchTitle,
                                 &text::kNumberSearchLead, &text::kNumberPrompt, fw::ime::Off,
                                 fw::pointer::Hourglass, &text::kNumberNotFound};
  return s;
}
const AttributeSearch& chartSearch() {
  static const AttributeSearch s{SearchKind::ChartNumber, &text::kChartSearchTitle,
                                 &text::kChartSearchLead, &text::kChartPrompt, fw::ime::Off,
                                 fw::pointer::Arrow, &text::kChartNotFound};
  return s;
}
const AttributeSearch& nameSearch() {
  static const AttributeSearch s{SearchKind::Name, &text::kNameSearchTitle,
                                 &text::kNameSearchLead, &text::kNamePrompt, fw::ime::Hiragana,
                                 fw::pointer::Hourglass, &text::kNameNotFound};
  return s;
}

fw::Window& mainWindow() { return fw::mainWindow(); }
void arrow() { mainWindow().setMousePointer(fw::pointer::Arrow); }

bool escapeHeld() {
  // The key first: it is up for nearly every record, and asking for the
  // window costs more than the key.
  if (!fw::keyDown(fw::kVkEscape) || !fw::mainWindowExists()) return false;
  fw::beep();
  arrow();
  return true;
}

void search(const AttributeSearch& s) {
  const Str question = *s.lead + fw::CRLF + text::kAreYouSure + fw::CRLF +
                       text::kNewestNoteLine1 + fw::CRLF + text::kNewestNoteLine2;
  if (fw::messageBox(nullptr, *s.title, question, fw::mb::YesNo, fw::mb::Question) !=
      fw::mb::ResYes) {
    mainWindow().setImeMode(fw::ime::Off);
    return;
  }
  entry::ZENBU_KESU();
  entry::CURRENT_ENTRY.clear();

  mainWindow().setImeMode(s.ime);
  const Str answer = fw::trim(fw::inputBox(nullptr, *s.title, *s.prompt, ""));
  mainWindow().setImeMode(fw::ime::Off);

  if (answer != Str(1, '\x1b') && !answer.empty()) {
    const Matcher matcher(s.kind, searchKey(s.kind, answer));
    entry::EDIT_COUNT = 0;
    mainWindow().setMousePointer(s.scanPointer);
    Found found;
    // Building the search index anew takes as long as a long listing.
    const IndexBuildNoticeScope building([&](bool on) {
      mainWindow().setMousePointer(on ? fw::pointer::Hourglass : s.scanPointer);
    });
    const bool read = survivingOutsideFaults(nullptr, *s.title, text::kReadFailed,
                                             [&] { found = findNewest(matcher, escapeHeld); });
    if (!read) {
      arrow();
    } else if (found.entry > 0) {
      entry::showRecord(common::examineeOf(found.attributes, ClinicalValues{}),
                        entry::RecordPart::SearchAttributes);
    } else {
      arrow();
      fw::messageBox(nullptr, *s.title, *s.notFound, fw::mb::OK, fw::mb::Information);
    }
  }
  entry::applyClearingDefaults();
  arrow();
}

}  // namespace

void BUTTON7_ON() { search(numberSearch()); }
void BUTTON28_ON() { search(chartSearch()); }
void BUTTON35_ON() { search(nameSearch()); }

void registerAttributeSearchProcedures() {
  fw::registerProcedure("BUTTON7_ON", [](fw::EventArgs&) { BUTTON7_ON(); });
  fw::registerProcedure("BUTTON28_ON", [](fw::EventArgs&) { BUTTON28_ON(); });
  fw::registerProcedure("BUTTON35_ON", [](fw::EventArgs&) { BUTTON35_ON(); });
}

}  // namespace history
