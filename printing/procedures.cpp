#include "printing/procedures.h"

#include "entry/state.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "printing/position_window.h"

namespace printing {

namespace {

using fw::literals::operator""_sj;

// The multiple print comes with the history store; until then its button
// says so instead of doing nothing.
void BUTTON38_ON() {
  if (entry::EDIT_COUNT > 0 &&
      fw::messageBox(nullptr, "複数印刷"_sj, "データが変更されています。\r\nこのまま複数印刷を行いますか？"_sj,
                     fw::mb::YesNo, fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  fw::mainWindow().setImeMode(fw::ime::Off);
  fw::messageBox(nullptr, fw::trim(fw::ctl("BUTTON38").text()),
                 "この機能は準備中のため、まだ使用できません。"_sj, fw::mb::OK,
                 fw::mb::Information);
}

}  // namespace

void registerProcedures() {
  fw::registerProcedure("BUTTON10_ON", [](fw::EventArgs&) { BUTTON10_ON(); });
  fw::registerProcedure("BUTTON38_ON", [](fw::EventArgs&) { BUTTON38_ON(); });
  registerPositionWindowProcedures();
  registerOptionWindowProcedures();
}

}  // namespace printing
