#include "history/procedures.h"

#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/list_print.h"
#include "history/texts.h"

namespace history {

namespace {

using fw::literals::operator""_sj;

// Registration, search and the history window come with the history store;
// until then their buttons say so instead of doing nothing.
void notAvailableYet(const char* button) {
  fw::messageBox(nullptr, fw::trim(fw::ctl(button).text()),
                 "この機能は準備中のため、まだ使用できません。"_sj, fw::mb::OK,
                 fw::mb::Information);
}

void BUTTON2_ON() {
  if (entry::EDIT_COUNT > 0 &&
      fw::messageBox(nullptr, text::kHistoryTitle, text::kHistoryChangedQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  fw::mainWindow().setImeMode(fw::ime::Off);
  notAvailableYet("BUTTON2");
}

void on(const char* name, void (*body)()) {
  fw::registerProcedure(name, [body](fw::EventArgs&) { body(); });
}

}  // namespace

void registerProcedures() {
  on("BUTTON1_ON", [] { notAvailableYet("BUTTON1"); });
  on("BUTTON2_ON", BUTTON2_ON);
  on("BUTTON7_ON", [] { notAvailableYet("BUTTON7"); });
  on("BUTTON28_ON", [] { notAvailableYet("BUTTON28"); });
  on("BUTTON35_ON", [] { notAvailableYet("BUTTON35"); });
  registerListPrintProcedures();
}

}  // namespace history
