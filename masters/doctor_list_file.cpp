#include "masters/doctor_list_file.h"

#include "entry/settings_file.h"
#include "entry/sys_files.h"
#include "framework/core/error.h"
#include "framework/core/files.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace masters {

namespace {

constexpr int kFile = 1;

}  // namespace

bool storableDoctorName(const fw::Str& name) {
  return name.find_first_of("\"\r\n") == fw::Str::npos;
}

void writeDoctorList(const std::vector<fw::Str>& doctors) {
  fw::open(entry::files::kDoctorList, fw::FileMode::Rewrite, fw::Share::ReadOnly, kFile);
  fw::CloseOnExit guard(kFile);
  if (doctors.empty()) {
    fw::writeLine(kFile, {""});
  }
  for (const fw::Str& doctor : doctors) fw::writeLine(kFile, {doctor});
  fw::close(kFile);
}

int readDefaultPosition() {
  const double d = fw::val(entry::readSetting(entry::files::kDefaultDoctor, "-1"));
  // Anything but a position in the list's range means no default.
  if (d < 0 || d > 2147483646.0) return -1;
  return static_cast<int>(d);
}

void writeDefaultPosition(int position) {
  entry::writeSetting(entry::files::kDefaultDoctor, fw::trim(fw::str(position)));
}

fw::Str displayLine(int number, const fw::Str& entry, bool isDefault) {
  fw::Str line = fw::trim(fw::str(number));
  if (line.size() < 4) line.append(4 - line.size(), ' ');
  line += entry;
  line += isDefault ? fw::Str(" (DEFAULT)") : fw::Str(41, ' ');
  return line;
}

}  // namespace masters
