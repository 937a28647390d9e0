// Names of the program's directories and settings files, relative to the
// current directory (the framework makes them absolute).
#pragma once

namespace entry::files {

inline constexpr const char* kDataDir = "EKG_DATA";
inline constexpr const char* kSysDir = "EKG_SYS";

// Single-value settings (settings_file.h), with the value an empty file means.
inline constexpr const char* kPrintFont = "EKG_SYS\\INSA_FO";          // "1"
inline constexpr const char* kPrintColour = "EKG_SYS\\INSA_CO";        // "1"
inline constexpr const char* kHospitalSwitch = "EKG_SYS\\BYOUINMEI";   // "0"
inline constexpr const char* kHospitalName = "EKG_SYS\\BYOUINMEI_DAT"; // ""
inline constexpr const char* kDoctorSwitch = "EKG_SYS\\TANTOUIMEI";    // "0" (older default)
inline constexpr const char* kDoctorName = "EKG_SYS\\TANTOUI_DAT";     // ""  (older default)
inline constexpr const char* kDefaultDoctor = "EKG_SYS\\HOKENNI_DF";   // "-1"

// The doctor list: one quoted item per line.
inline constexpr const char* kDoctorList = "EKG_SYS\\HOKENNI";

}  // namespace entry::files
