#include "history/procedures.h"

#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "history/attribute_search.h"
#include "history/history_window.h"
#include "history/open_delete.h"

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

void on(const char* name, void (*body)()) {
  fw::registerProcedure(name, [body](fw::EventArgs&) { body(); });
}

}  // namespace

void registerProcedures() {
  on("BUTTON1_ON", [] { notAvailableYet("BUTTON1"); });
  registerAttributeSearchProcedures();
  registerHistoryWindowProcedures();
  registerOpenDeleteProcedures();
}

}  // namespace history
