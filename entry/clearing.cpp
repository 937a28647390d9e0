#include "entry/clearing.h"

#include "common/paths.h"
#include "common/settings_file.h"
#include "entry/doctor_list.h"
#include "framework/form/window.h"

namespace entry {

void applyClearingDefaults() {
  if (fw::ctl("CHECK12").value() == 1) {
    const fw::Str hospital = common::readSetting(common::files::kHospitalName, "");
    if (!hospital.empty()) fw::ctl("EDIT13").setText(hospital);
  }
  fw::ctl("EDIT14").setText(defaultDoctorFromPicker());
}

}  // namespace entry
