#include "history/attribute_search.h"

#include "entry/clearing.h"
#include "entry/main_window.h"
#include "entry/state.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/outside_faults.h"
#include "history/search.h"
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

// The attributes that identify the examinee, into the cleared window.
void copyAttributes(const AttributeValues& a) {
  using F = AttributeField;
  fw::ctl("EDIT1").setText(a[F::ExamNo]);
  fw::ctl("EDIT7").setText(a[F::ChartNo]);
  fw::ctl("EDIT8").setText(a[F::Name]);
  fw::ctl("EDIT9").setText(a[F::BirthYear]);
  fw::ctl("EDIT10").setText(a[F::BirthMonth]);
  fw::ctl("EDIT11").setText(a[F::BirthDay]);
  const double sex = fw::val(a[F::SexCode]);
  if (sex == 1 || sex == 2) {
    fw::ctl("CHECK3").setValue(sex == 1 ? 1 : 0);
    fw::ctl("CHECK4").setValue(sex == 2 ? 1 : 0);
  }
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
    const bool read = survivingOutsideFaults(nullptr, *s.title, text::kReadFailed,
                                             [&] { found = findNewest(matcher, escapeHeld); });
    if (!read) {
      arrow();
    } else if (found.entry > 0) {
      copyAttributes(found.attributes);
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
