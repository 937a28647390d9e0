// "フォント" (FORM7) and "カラー" (FORM9): the print typeface and ink colour,
// each a "1"/"2" setting held in memory and kept in a settings file of its own.
#include "common/settings_file.h"
#include "common/paths.h"
#include "common/print_options.h"
#include "common/window_look.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "printing/position_window.h"
#include "printing/procedures.h"

namespace printing {

using namespace fw::literals;

fw::FormRef FORM7;
fw::FormRef FORM9;

namespace {

// The windows sit at a fixed offset from the main window's top-left corner.
constexpr int kOffsetXPixels = 448, kOffsetYPixels = 767;

// The two windows behave alike; only these differ.
struct OptionWindow {
  fw::FormRef& form;
  const char* formName;
  const char* firstRadio;   // setting "1"
  const char* secondRadio;  // setting "2"
  const char* fileName;
  fw::Str& setting;
};

OptionWindow fontWindow() {
  return {FORM7, "FORM7", "RADIO1", "RADIO2", common::files::kPrintFont, common::PRINT_FONT};
}
OptionWindow colourWindow() {
  return {FORM9, "FORM9", "RADIO3", "RADIO4", common::files::kPrintColour, common::PRINT_COLOUR};
}

void open(const OptionWindow& w) {
  fw::mainWindow().setImeMode(fw::ime::Off);
  if (!fw::isOpen(w.form)) fw::openWindow(w.form, w.formName, 0);
  w.form->setTopMost(true);
  fw::mainWindow().setEnabled(false);
}

void start(const OptionWindow& w) {
  fw::Window& form = *w.form;
  form.move(fw::mainWindow().geometry(fw::geometry::Left) + kOffsetXPixels,
            fw::mainWindow().geometry(fw::geometry::Top) + kOffsetYPixels);
  form.surface().setBackColor(common::kWindowBackground);
  form.surface().clear();
  fw::pause(2);
  form.setVisible(true);

  fw::Control& first = form.control(w.firstRadio);
  fw::Control& second = form.control(w.secondRadio);
  for (fw::Control* radio : {&first, &second}) {
    radio->setFontName("ＭＳ ゴシック"_sj);
    radio->setFontSize(18);
  }

  w.setting = common::readSetting(w.fileName, "1");
  const double chosen = fw::val(w.setting);
  if (chosen == 1) {
    first.setValue(1);
    first.setFontBold(true);
  } else if (chosen == 2) {
    second.setValue(1);
    second.setFontBold(true);
  }
}

void choose(const OptionWindow& w, bool firstChosen) {
  w.form->control(w.firstRadio).setFontBold(firstChosen);
  w.form->control(w.secondRadio).setFontBold(!firstChosen);
}

void confirm(const OptionWindow& w) {
  if (w.form->control(w.firstRadio).value() == 1) {
    w.setting = "1";
  } else if (w.form->control(w.secondRadio).value() == 1) {
    w.setting = "2";
  }
  common::writeSetting(w.fileName, fw::trim(w.setting));
  w.form->setImeMode(fw::ime::Off);
  fw::closeWindow(w.form);
  fw::mainWindow().setVisible(true);
  fw::mainWindow().setEnabled(true);
}

// Neither window has a close box; should the platform close one anyway, the
// setting stays as it was and the main window comes back.
void closedWithoutChoice() {
  fw::mainWindow().setVisible(true);
  fw::mainWindow().setEnabled(true);
}

}  // namespace

void registerOptionWindowProcedures() {
  fw::registerProcedure("BUTTON36_ON", [](fw::EventArgs&) { open(fontWindow()); });
  fw::registerProcedure("FORM7_START", [](fw::EventArgs&) { start(fontWindow()); });
  fw::registerProcedure("RADIO1_ON", [](fw::EventArgs&) { choose(fontWindow(), true); });
  fw::registerProcedure("RADIO2_ON", [](fw::EventArgs&) { choose(fontWindow(), false); });
  fw::registerProcedure("BUTTON37_ON", [](fw::EventArgs&) { confirm(fontWindow()); });
  fw::registerProcedure("FORM7_QUERYCLOSE", [](fw::EventArgs&) { closedWithoutChoice(); });

  fw::registerProcedure("BUTTON42_ON", [](fw::EventArgs&) { open(colourWindow()); });
  fw::registerProcedure("FORM9_START", [](fw::EventArgs&) { start(colourWindow()); });
  fw::registerProcedure("RADIO3_ON", [](fw::EventArgs&) { choose(colourWindow(), true); });
  fw::registerProcedure("RADIO4_ON", [](fw::EventArgs&) { choose(colourWindow(), false); });
  fw::registerProcedure("BUTTON43_ON", [](fw::EventArgs&) { confirm(colourWindow()); });
  fw::registerProcedure("FORM9_QUERYCLOSE", [](fw::EventArgs&) { closedWithoutChoice(); });
}

}  // namespace printing
