#include "common/doctor_list_file.h"

#include <optional>

#include "common/paths.h"
#include "common/settings_file.h"
#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"

namespace common {

std::vector<fw::Str> readDoctorList() {
  std::vector<fw::Str> doctors;
  if (!fw::fileExists(files::kDoctorList)) return doctors;
  std::optional<fw::OpenFile> opened;
  try {
    opened.emplace(files::kDoctorList, fw::FileMode::Input, fw::Share::ReadWrite);
  } catch (const fw::RuntimeError&) {
    // A folder in its place, a link to nothing, no permission: no list,
    // rather than the end of the program at start. Writing the list still
    // fails on such a name, so nothing is replaced unseen.
    return doctors;
  }
  fw::OpenFile& file = *opened;
  while (!fw::eof(file)) {
    fw::Str item;
    try {
      item = fw::trim(fw::inputItem(file));
    } catch (const fw::RuntimeError& e) {
      // Blanks or line ends after the last line (a hand edit) leave nothing
      // to read: that is the end of the list, not a fault.
      if (e.number() == fw::err::InputPastEnd) break;
      throw;
    }
    if (!item.empty()) doctors.push_back(std::move(item));
  }
  file.close();
  return doctors;
}

bool storableDoctorName(const fw::Str& name) {
  return name.find_first_of("\"\r\n") == fw::Str::npos;
}

void writeDoctorList(const std::vector<fw::Str>& doctors) {
  fw::OpenFile file(files::kDoctorList, fw::FileMode::Rewrite, fw::Share::ReadOnly);
  if (doctors.empty()) {
    fw::writeLine(file, {""});
  }
  for (const fw::Str& doctor : doctors) fw::writeLine(file, {doctor});
  file.commit();
}

int readDefaultPosition() {
  const double d = fw::val(readSetting(files::kDefaultDoctor, "-1"));
  // Anything but a position in the list's range means no default.
  if (d < 0 || d > 2147483646.0) return -1;
  return static_cast<int>(d);
}

void writeDefaultPosition(int position) {
  writeSetting(files::kDefaultDoctor, fw::trim(fw::str(position)));
}

}  // namespace common
