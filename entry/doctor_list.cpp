#include "entry/doctor_list.h"

#include "entry/rules.h"
#include "entry/settings_file.h"
#include "entry/sys_files.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/window.h"

namespace entry {

namespace {

constexpr int kFile = 1;
constexpr const char* kPicker = "COMBO3";

}  // namespace

std::vector<fw::Str> readDoctorList() {
  std::vector<fw::Str> doctors;
  if (!fw::fileExists(files::kDoctorList)) return doctors;
  fw::open(files::kDoctorList, fw::FileMode::Input, fw::Share::ReadWrite, kFile);
  fw::CloseOnExit guard(kFile);
  while (!fw::eof(kFile)) {
    fw::Str item = fw::trim(fw::inputItem(kFile));
    if (!item.empty()) doctors.push_back(std::move(item));
  }
  fw::close(kFile);
  return doctors;
}

bool fillDoctorPicker() {
  if (!fw::fileExists(files::kDoctorList)) return false;
  const std::vector<fw::Str> doctors = readDoctorList();
  fw::Control& picker = fw::ctl(kPicker);
  picker.clearItems();
  picker.addItem(" ");
  for (const fw::Str& doctor : doctors) picker.addItem(doctor);
  return true;
}

fw::Str defaultDoctorFromPicker() {
  const double position = fw::val(readSetting(files::kDefaultDoctor, "-1"));
  if (position <= -1) return {};
  fw::Control& picker = fw::ctl(kPicker);
  if (position + 1 >= picker.itemCount() + 1) return {};
  const int32_t item = fw::toInt32(position + 1);
  if (item >= picker.itemCount()) return {};
  return fw::trim(picker.itemText(item));
}

}  // namespace entry
