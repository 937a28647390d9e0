// The context menu of the history list: the list as shown, or the whole
// history, saved as CSV where the operator chooses; and the change log of
// the selected entry (change_log_window.h).
#include <cstdio>
#include <string>
#include <vector>

#include "framework/core/clock.h"
#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/change_log_window.h"
#include "history/store/csv_export.h"
#include "history/history_window.h"
#include "history/store/list_lines.h"
#include "history/texts.h"
#include "history/window_state.h"

namespace history {

using fw::Str;

namespace {

enum MenuItem { kShownList = 0, kWholeHistory = 1, kChangeLog = 2 };

std::vector<long> shownEntries() {
  fw::Control& list = FORM2->control("LIST1");
  std::vector<long> numbers;
  for (int i = 0; i < list.itemCount(); ++i) {
    const long n = entryNumberOf(selectionOf(list.itemText(i)));
    if (n >= 1) numbers.push_back(n);
  }
  return numbers;
}

Str suggestedName() {
  const fw::LocalTime t = fw::now();
  char name[32];
  std::snprintf(name, sizeof name, "RIREKI_%04d%02d%02d.csv", t.year, t.month, t.day);
  return name;
}

void tell(const Str& message) {
  fw::messageBox(FORM2.get(), text::kCsvTitle, message, fw::mb::OK, fw::mb::Information);
}

void LIST1_MENU(const fw::EventArgs& args) {
  if (args.window != FORM2.get() || !fw::isOpen(FORM2)) return;
  if (args.menuItem == kChangeLog) {
    showChangeLog();
    return;
  }
  if (args.menuItem != kShownList && args.menuItem != kWholeHistory) return;
  // The lines are taken before the dialog: what the operator chose from.
  const bool whole = args.menuItem == kWholeHistory;
  const std::vector<long> numbers = whole ? std::vector<long>() : shownEntries();
  const Str path = fw::saveFileDialog(FORM2.get(), text::kCsvTitle, suggestedName(), text::kCsvFilter);
  if (path.empty()) return;
  FORM2->setMousePointer(fw::pointer::Hourglass);
  long written = 0;
  try {
    written = whole ? writeWholeHistoryCsv(path) : writeHistoryCsv(path, numbers);
  } catch (const fw::RuntimeError&) {
    // A spreadsheet copy that cannot be written is no reason to end the
    // program; the old file, if any, is still whole.
    FORM2->setMousePointer(fw::pointer::Arrow);
    tell(text::kCsvFailed);
    return;
  }
  FORM2->setMousePointer(fw::pointer::Arrow);
  tell(text::csvSaved(fw::str(written)));
}

}  // namespace

void offerCsvExport() {
  FORM2->control("LIST1").setContextMenu(
      {text::kCsvShownItem, text::kCsvAllItem, text::kChangeLogItem});
}

void registerCsvExportProcedures() {
  fw::registerProcedure("LIST1_MENU", [](fw::EventArgs& args) { LIST1_MENU(args); });
}

}  // namespace history
