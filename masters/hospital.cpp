// The default hospital name (CHECK12, BUTTON5) and the older doctor default
// switch (CHECK13) of the main window.
#include "common/settings_file.h"
#include "common/paths.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/events.h"
#include "framework/form/window.h"
#include "masters/procedures_internal.h"
#include "masters/texts.h"

namespace masters {

namespace {

// The input box takes at most this many bytes, its default text included.
constexpr long kInputBoxBytes = 64;

// A default-value switch: the box, its switch file, its value file and the
// field the value goes into.
void defaultSwitchChanged(const char* box, const char* switchFile, const char* valueFile,
                          const char* field) {
  fw::Control& check = fw::ctl(box);
  if (check.value() == 1) {
    check.setFontBold(true);
    common::writeSetting(switchFile, "1");
    const fw::Str value = common::readSetting(valueFile, "");
    // A cleared default (a blank value) is shown as such; only a file that
    // was never written leaves the field alone.
    if (common::settingWritten(valueFile)) fw::ctl(field).setText(value);
  } else {
    check.setFontBold(false);
    common::writeSetting(switchFile, "0");
  }
}

void closeIme() { fw::mainWindow().setImeMode(fw::ime::Off); }

}  // namespace

void CHECK12_ON() {
  defaultSwitchChanged("CHECK12", common::files::kHospitalSwitch, common::files::kHospitalName,
                       "EDIT13");
}

void CHECK13_ON() {
  defaultSwitchChanged("CHECK13", common::files::kDoctorSwitch, common::files::kDoctorName,
                       "EDIT14");
}

void BUTTON5_ON() {
  if (fw::messageBox(nullptr, text::kHospitalTitle, text::kHospitalQuestion, fw::mb::YesNo,
                     fw::mb::Question) != fw::mb::ResYes) {
    closeIme();
    return;
  }
  // A value stored by hand can be longer than the dialog takes; offer what
  // fits rather than failing.
  const fw::Str current =
      fw::leftWhole(common::readSetting(common::files::kHospitalName, ""), kInputBoxBytes);
  fw::mainWindow().setImeMode(fw::ime::Hiragana);
  const fw::Str answer =
      fw::inputBox(nullptr, text::kHospitalTitle, text::kHospitalPrompt, current);
  if (answer == fw::Str(1, '\x1b')) {
    closeIme();
    return;
  }
  // The dialog takes no more than its limit; an answer from elsewhere is held
  // to the same limit, so that what is stored is what the operator could type.
  const fw::Str name = fw::trim(fw::leftWhole(answer, kInputBoxBytes));
  common::writeSetting(common::files::kHospitalName, name);
  if (common::switchedOn(common::files::kHospitalSwitch)) {
    fw::ctl("EDIT13").setText(name);
  }
  closeIme();
}

}  // namespace masters
