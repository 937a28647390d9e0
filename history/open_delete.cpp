#include "history/open_delete.h"

#include <optional>

#include "entry/main_window.h"
#include "entry/marks.h"
#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/backup.h"
#include "history/history_window.h"
#include "history/list_lines.h"
#include "history/outside_faults.h"
#include "history/registration.h"
#include "history/store.h"
#include "history/texts.h"
#include "history/window_state.h"

namespace history {

using fw::Str;
using entry::Tick;

namespace {

fw::Control& ctl(const char* name) { return fw::ctl(name); }

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

// Ticks one box of a pair with a bold caption, the other clear and plain.
void tickOneOf(const char* ticked, const char* cleared) {
  ctl(ticked).setValue(1);
  ctl(ticked).setFontBold(true);
  ctl(cleared).setValue(0);
  ctl(cleared).setFontBold(false);
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
  loadIntoMainWindow(common::examineeOf(stored.attributes, stored.clinical),
                     stored.clinicalStored);
  entry::EDIT_COUNT = 0;
}

}  // namespace

void loadIntoMainWindow(const common::ExamineeRecord& r, bool withClinical) {
  ctl("EDIT1").setText(r.EXAM_NO);
  ctl("EDIT2").setText(r.EXAM_YEAR);
  ctl("EDIT3").setText(r.EXAM_MONTH);
  ctl("EDIT4").setText(r.EXAM_DAY);
  if (r.EXAM_AM == 1) {
    tickOneOf("CHECK1", "CHECK2");
    entry::AM_PM_KESITEKAKU();
    entry::AM_MARU();
  } else if (r.EXAM_PM == 1) {
    tickOneOf("CHECK2", "CHECK1");
    entry::AM_PM_KESITEKAKU();
    entry::PM_MARU();
  }
  ctl("EDIT5").setText(r.EXAM_HOUR);
  ctl("EDIT6").setText(r.EXAM_MINUTE);
  ctl("EDIT7").setText(r.CHART_NO);
  ctl("EDIT8").setText(r.NAME);
  ctl("EDIT9").setText(r.BIRTH_YEAR);
  ctl("EDIT10").setText(r.BIRTH_MONTH);
  ctl("EDIT11").setText(r.BIRTH_DAY);
  ctl("EDIT12").setText(r.AGE);
  if (r.SEX_MALE == 1) {
    tickOneOf("CHECK3", "CHECK4");
    entry::SEX_KESITEKAKU();
    entry::MAL_MARU();
  } else if (r.SEX_FEMALE == 1) {
    tickOneOf("CHECK4", "CHECK3");
    entry::SEX_KESITEKAKU();
    entry::FEM_MARU();
  }
  if (r.OUTPATIENT == 1) {
    tickOneOf("CHECK5", "CHECK6");
    entry::IRAI_KESITEKAKU();
    entry::GAI_MARU();
  } else if (r.INPATIENT == 1) {
    tickOneOf("CHECK6", "CHECK5");
    entry::IRAI_KESITEKAKU();
    entry::NYU_MARU();
  }
  fw::Control& kind = ctl("COMBO2");
  // A kind beyond the list comes only from a damaged entry: no selection
  // rather than the combo box's refusal.
  const bool listed = r.REQUEST_KIND >= 0 && r.REQUEST_KIND < kind.itemCount();
  kind.setSelectedIndex(listed ? r.REQUEST_KIND : -1);
  if (listed && r.REQUEST_KIND > 0) entry::CHECK_KAKU(Tick::RequestKind);
  ctl("EDIT13").setText(r.HOSPITAL);
  if (!withClinical) return;
  ctl("EDIT14").setText(r.DOCTOR);
  ctl("EDIT15").setText(r.WEIGHT);
  ctl("EDIT16").setText(r.BP_HIGH);
  ctl("EDIT17").setText(r.BP_LOW);
  ctl("EDIT18").setText(r.MEDICATION);
  ctl("EDIT19").setText(r.PREGNANCY_MONTHS);
  if (r.ECG_REST == 1) {
    ctl("CHECK7").setValue(1);
    entry::MARU1_KAKU();
  } else if (r.ECG_STRESS == 1) {
    ctl("CHECK8").setValue(1);
    entry::MARU2_KAKU();
  }
  const struct {
    int common::ExamineeRecord::*flag;
    const char* box;
    Tick tick;
  } masters[] = {
      {&common::ExamineeRecord::MASTER_HALF, "CHECK9", Tick::Half},
      {&common::ExamineeRecord::MASTER_QUARTER, "CHECK10", Tick::Quarter},
      {&common::ExamineeRecord::MASTER_DOUBLE, "CHECK11", Tick::Double},
  };
  for (const auto& m : masters) {
    if (r.*m.flag != 1) continue;
    ctl(m.box).setValue(1);
    entry::CHECK_KAKU(m.tick);
  }
  if (!fw::trim(r.STRESS_OTHER).empty()) entry::CHECK_KAKU(Tick::StressOther);
  ctl("EDIT20").setText(r.STRESS_OTHER);
  ctl("EDIT21").setText(r.MINNESOTA_CODE);
  ctl("EDIT22").setText(r.FINDING_NAME);
  ctl("EDIT23").setText(r.DOCTOR_FINDING);
  ctl("EDIT98").setText(r.MEMO);
}

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
