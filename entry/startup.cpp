#include "entry/startup.h"

#include <functional>
#include <initializer_list>

#include "entry/doctor_list.h"
#include "entry/marks.h"
#include "entry/messages.h"
#include "entry/rules.h"
#include "common/settings_file.h"
#include "common/print_options.h"
#include "entry/state.h"
#include "common/paths.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"

namespace entry {

using fw::Str;
using fw::literals::operator""_sj;

namespace {


bool passedOver(int number) {
  return number == fw::err::Subscript || number == fw::err::DeviceUnavailable;
}

// A statement of the start code: errors 27 and 63 are passed over and the
// start goes on with the next statement, still under the hourglass (the
// start event puts the arrow back); others go to the program trap.
void step(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const fw::RuntimeError& e) {
    if (!passedOver(e.number())) throw;
  }
}

// Run-time fonts of the main window, all ＭＳ ゴシック.
struct FontRow {
  float points;
  bool bold;
  std::initializer_list<const char*> controls;
};

const FontRow kFonts[] = {
    {24, false, {"EDIT1", "EDIT2", "EDIT3", "EDIT4", "EDIT5", "EDIT6", "EDIT7", "EDIT9",
                 "EDIT10", "EDIT11", "EDIT12", "EDIT15", "EDIT16", "EDIT17", "EDIT19"}},
    {32, false, {"EDIT8"}},
    {16, true, {"EDIT13", "EDIT14", "EDIT18"}},
    {18, true, {"EDIT20", "EDIT21", "EDIT22", "EDIT23"}},
    {20, true, {"EDIT98"}},
    {22, false, {"CHECK1", "CHECK2"}},
    {20, false, {"CHECK3", "CHECK4", "CHECK5", "CHECK6", "CHECK7", "CHECK8", "CHECK9",
                 "CHECK10", "CHECK11"}},
    {12, false, {"CHECK12", "CHECK13"}},
    {20, false, {"COMBO1", "COMBO2"}},
    {16, true, {"COMBO3"}},
    {20, true, {"TEXT1", "TEXT2", "TEXT3", "TEXT4", "TEXT5", "TEXT6", "TEXT7", "TEXT8",
                "TEXT10", "TEXT11", "TEXT12", "TEXT13", "TEXT14", "TEXT15", "TEXT16", "TEXT17",
                "TEXT18", "TEXT19", "TEXT20", "TEXT21", "TEXT22", "TEXT23", "TEXT24", "TEXT27",
                "TEXT28", "TEXT29"}},
    {28, false, {"TEXT9"}},
    {18, true, {"TEXT30"}},
    {16, true, {"TEXT133"}},
    {24, false, {"BUTTON1", "BUTTON2", "BUTTON3", "BUTTON10", "BUTTON38"}},
    {16, false, {"BUTTON9", "BUTTON21"}},
    {14, false, {"BUTTON5", "BUTTON6", "BUTTON7", "BUTTON8", "BUTTON28", "BUTTON35",
                 "BUTTON36", "BUTTON42"}},
};

void applyRunTimeFonts() {
  const Str face = "ＭＳ ゴシック"_sj;
  for (const FontRow& row : kFonts) {
    for (const char* name : row.controls) {
      step([&] {
        fw::Control& c = fw::ctl(name);
        c.setFontName(face);
        c.setFontSize(row.points);
        c.setFontBold(row.bold);
      });
    }
  }
}

void fillFixedLists() {
  fw::Control& era = fw::ctl("COMBO1");
  for (const char* item : {"     ", " 令和", " 平成", " 昭和", " 大正", " 明治"})
    era.addItem(fw::sj(item));
  // REQUEST_KIND, in index order.
  fw::Control& kind = fw::ctl("COMBO2");
  for (const char* item : {"     ", " 一般", " 出稼", " 中央", " BG健", " 愛職", " YS健",
                           " 訪問", " 介護", " 生保", "  診 ", "  愛 ", "  病 ", "  健 ",
                           "  労 ", "  母 ", "  子 "})
    kind.addItem(fw::sj(item));
}

void makeDirectoryIfMissing(const char* name) {
  if (!fw::fileExists(name)) fw::makeDirectory(name);
}

// A switch file holds "1" (on) or "0"; any number above 0 counts as on.

void tickBold(const char* name) {
  fw::Control& box = fw::ctl(name);
  box.setValue(1);
  box.setFontBold(true);
}

}  // namespace

void programTrap(const fw::RuntimeError& error) {
  fw::resumeNext([] { fw::mainWindow().setMousePointer(fw::pointer::Arrow); });
  if (passedOver(error.number())) return;
  fw::resumeNext([] {
    fw::messageBox(nullptr, text::kErrorTitle, text::kErrorText, fw::mb::OK,
                   fw::mb::Exclamation);
  });
  fw::resumeNext([] { fw::closeAll(); });
  fw::resumeNext([] { fw::mainWindow().surface().clear(); });
  fw::endProgram();
}

void prepareMainWindow() {
  fw::closeAll();
  fw::Window& main = fw::mainWindow();
  main.setMousePointer(fw::pointer::Hourglass);
  main.surface().setBackColor(kWindowBackground);
  main.surface().clear();
  fw::installProgramTrap(programTrap);
  applyRunTimeFonts();
  step(fillFixedLists);
}

void createDataDirectories() {
  step([] { makeDirectoryIfMissing(common::files::kDataDir); });
  step([] { makeDirectoryIfMissing(common::files::kSysDir); });
}

void refuseSecondInstance() {
  if (!fw::previousInstance()) return;
  fw::mainWindow().setMousePointer(fw::pointer::Arrow);
  fw::messageBox(nullptr, text::kPrevInstanceTitle, text::kPrevInstanceText, fw::mb::OK,
                 fw::mb::Information);
  fw::endProgram();
}

void startProgram() {
  prepareMainWindow();
  createDataDirectories();
  refuseSecondInstance();
  // The runtime libraries that the original platform installed at the first
  // start are part of this build: there is no set-up step to run.
}

void MAINFORM_START() {
  fw::Window& main = fw::mainWindow();
  paintInitialPicture();

  common::PRINT_FONT = common::readSetting(common::files::kPrintFont, "1");
  common::PRINT_COLOUR = common::readSetting(common::files::kPrintColour, "1");

  // Every settings file is read, and so created, at each start, also the
  // names whose switch is off.
  fw::Control& hospital = fw::ctl("EDIT13");
  hospital.setText("");
  const bool hospitalOn = common::switchedOn(common::files::kHospitalSwitch);
  const Str hospitalName = common::readSetting(common::files::kHospitalName, "");
  if (hospitalOn) {
    tickBold("CHECK12");
    hospital.setText(hospitalName);
  }

  fw::Control& doctor = fw::ctl("EDIT14");
  doctor.setText("");
  const bool doctorOn = common::switchedOn(common::files::kDoctorSwitch);
  const Str doctorName = common::readSetting(common::files::kDoctorName, "");
  if (doctorOn) {
    tickBold("CHECK13");
    doctor.setText(doctorName);
  }

  // The default applies only to a list read from the file.
  const bool haveList = fillDoctorPicker();
  const Str defaultDoctor = defaultDoctorFromPicker();
  if (haveList && !defaultDoctor.empty()) doctor.setText(defaultDoctor);

  main.surface().setFontBold(false);
  main.setVisible(true);
  main.setMousePointer(fw::pointer::Arrow);
}

void OWARI() {
  if (fw::messageBox(nullptr, text::kEndTitle, text::kEndQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  if (EDIT_COUNT > 0 &&
      fw::messageBox(nullptr, text::kEndTitle, text::kEndChangedQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    return;
  }
  fw::closeAll();
  fw::endProgram();
}

void registerStartupProcedures() {
  fw::registerProcedure("MAINFORM_START", [](fw::EventArgs&) { MAINFORM_START(); });
  fw::registerProcedure("BUTTON3_ON", [](fw::EventArgs&) { OWARI(); });
  fw::registerProcedure("MAINFORM_QUERYCLOSE", [](fw::EventArgs& args) {
    OWARI();
    // Still here: the operator said No, the window stays open.
    if (args.cancel) *args.cancel = 1;
  });
}

}  // namespace entry
