#include "history/open_delete.h"

#include <optional>

#include "entry/main_window_interface.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/backup.h"
#include "history/history_window.h"
#include "history/store/list_lines.h"
#include "history/outside_faults.h"
#include "history/registration.h"
#include "history/store/store.h"
#include "history/texts.h"
#include "history/window_state.h"

namespace history {

using fw::Str;

namespace {

// The selected line of LIST1 taken apart; all empty without a selection.
LineSelection selectedLine() {
  fw::Control& list = FORM2->control("LIST1");
  const int index = list.selectedIndex();
  return selectionOf(index < 0 ? Str() : list.itemText(index));
}

void tell(const Str& title, const Str& message) {
  fw::messageBox(FORM2.get(), title, message, fw::mb::OK, fw::mb::Information);
}

bool confirmed(const Str& title, const Str& question) {
  return fw::messageBox(FORM2.get(), title, question, fw::mb::YesNo, fw::mb::Question) ==
         fw::mb::ResYes;
}

// The files no longer hold what the list shows: show them as they are.
void listFromTheFilesAgain() {
  enableListControls();
  listAgain();
  refillPrintRange();
}

enum class NoSelection { Beep, Message };

void openSelected(NoSelection noSelection) {
  const LineSelection line = selectedLine();
  entry::CURRENT_ENTRY = line.entry;
  const long n = entryNumberOf(line);
  if (n < 1) {
    entry::CURRENT_ENTRY.clear();
    if (noSelection == NoSelection::Beep) fw::beep();
    else tell(text::kOpenTitle, text::kOpenNothingSelected);
    return;
  }
  const Str question = text::kOpenNameLabel + line.name + fw::CRLF + text::kOpenDateLabel +
                       line.examDate + fw::CRLF + fw::CRLF + text::kOpenQuestion;
  if (!confirmed(text::kOpenTitle, question)) {
    entry::CURRENT_ENTRY.clear();
    return;
  }
  // The entry as the line showed it, read under the writer lock; with no
  // stamp for the line (it did not come from a listing) as it is now.
  Entry stored;
  EntryCheck check = EntryCheck::Gone;
  const bool read = survivingOutsideFaults(FORM2.get(), text::kOpenTitle, text::kOpenFailed, [&] {
    const auto listed = LISTED_STAMPS.find(n);
    if (listed != LISTED_STAMPS.end()) {
      check = readEntryIfUnchanged(n, listed->second, stored);
    } else if (std::optional<Entry> now = readEntry(n)) {
      stored = *now;
      check = EntryCheck::Current;
    }
  });
  if (!read || check != EntryCheck::Current) {
    entry::CURRENT_ENTRY.clear();
    if (!read) return;
    tell(text::kOpenTitle,
         check == EntryCheck::Gone ? text::kEntryUnreadable : text::kEntryChangedElsewhere);
    listFromTheFilesAgain();
    return;
  }
  OPENED_ENTRY = OpenedEntry{n, stored.stamp};

  enableListControls();
  closeHistoryWindow();
  entry::ZENBU_KESU();
  // An entry whose clinical record was never written (an append cut short
  // in older files) keeps the clinical fields of the cleared window.
  entry::showRecord(common::examineeOf(stored.attributes, stored.clinical),
                    stored.clinicalStored ? entry::RecordPart::Everything
                                          : entry::RecordPart::AttributesOnly);
  entry::EDIT_COUNT = 0;
}

}  // namespace

void LIST1_DBLCLICK() { openSelected(NoSelection::Beep); }
void BUTTON15_ON() { openSelected(NoSelection::Message); }

void BUTTON11_ON() {
  const LineSelection line = selectedLine();
  entry::CURRENT_ENTRY = line.entry;
  const long n = entryNumberOf(line);
  if (n < 1) {
    entry::CURRENT_ENTRY.clear();
    tell(text::kDeleteTitle, text::kDeleteNothingSelected);
    return;
  }
  const Str question =
      text::kDeleteNameLabel + line.name + fw::CRLF + fw::CRLF + text::kDeleteQuestion;
  if (!confirmed(text::kDeleteTitle, question)) {
    entry::CURRENT_ENTRY.clear();
    return;
  }
  EntryCheck check = EntryCheck::Gone;
  const bool ran =
      survivingOutsideFaults(FORM2.get(), text::kDeleteTitle, text::kDeleteFailed, [&] {
        backUpIfDue();
        const auto listed = LISTED_STAMPS.find(n);
        if (listed != LISTED_STAMPS.end()) {
          check = markDeletedIfUnchanged(n, listed->second);
        } else {
          check = markDeleted(n) ? EntryCheck::Current : EntryCheck::Gone;
        }
      });
  if (!ran) {
    entry::CURRENT_ENTRY.clear();
    return;
  }
  if (check != EntryCheck::Current) {
    entry::CURRENT_ENTRY.clear();
    tell(text::kDeleteTitle,
         check == EntryCheck::Gone ? text::kEntryNotDeletable : text::kEntryChangedElsewhere);
    listFromTheFilesAgain();
    return;
  }
  listAgain();
  tell(text::kDeleteTitle, text::kDeleteDone);
  entry::CURRENT_ENTRY.clear();
  refillPrintRange();
}

void registerOpenDeleteProcedures() {
  fw::registerProcedure("LIST1_DBLCLICK", [](fw::EventArgs&) { LIST1_DBLCLICK(); });
  fw::registerProcedure("BUTTON15_ON", [](fw::EventArgs&) { BUTTON15_ON(); });
  fw::registerProcedure("BUTTON11_ON", [](fw::EventArgs&) { BUTTON11_ON(); });
}

}  // namespace history
