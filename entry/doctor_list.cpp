#include "entry/doctor_list.h"

#include "entry/rules.h"
#include "common/doctor_list_file.h"
#include "common/settings_file.h"
#include "common/paths.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/window.h"

namespace entry {

namespace {

constexpr const char* kPicker = "COMBO3";

}  // namespace

bool fillDoctorPicker() {
  if (!fw::fileExists(common::files::kDoctorList)) return false;
  const std::vector<fw::Str> doctors = common::readDoctorList();
  fw::Control& picker = fw::ctl(kPicker);
  picker.clearItems();
  picker.addItem(" ");
  for (const fw::Str& doctor : doctors) picker.addItem(doctor);
  return true;
}

fw::Str defaultDoctorFromPicker() {
  const double position = fw::val(common::readSetting(common::files::kDefaultDoctor, "-1"));
  if (position <= -1) return {};
  fw::Control& picker = fw::ctl(kPicker);
  if (position + 1 >= picker.itemCount() + 1) return {};
  const int32_t item = fw::toInt32(position + 1);
  if (item >= picker.itemCount()) return {};
  return fw::trim(picker.itemText(item));
}

}  // namespace entry
