// Names of the program's directories and stored files, relative to the
// current directory (the framework makes them absolute).
#pragma once

namespace common::files {

inline constexpr const char* kDataDir = "EKG_DATA";
inline constexpr const char* kSysDir = "EKG_SYS";

// The history: attribute and clinical records, paired by position.
inline constexpr const char* kAttributeFile = "EKG_DATA\\EKGDATA_1";
inline constexpr const char* kClinicalFile = "EKG_DATA\\EKGDATA_2";
// Who changed which entry when, with the earlier records
// (history/store/change_log_format.h).
inline constexpr const char* kChangeLog = "EKG_DATA\\EKGDATA_LOG";

// Single-value settings (settings_file.h), with the value an empty file means.
inline constexpr const char* kPrintFont = "EKG_SYS\\INSA_FO";          // "1"
inline constexpr const char* kPrintColour = "EKG_SYS\\INSA_CO";        // "1"
inline constexpr const char* kHospitalSwitch = "EKG_SYS\\BYOUINMEI";   // "0"
inline constexpr const char* kHospitalName = "EKG_SYS\\BYOUINMEI_DAT"; // ""
inline constexpr const char* kDoctorSwitch = "EKG_SYS\\TANTOUIMEI";    // "0" (older default)
inline constexpr const char* kDoctorName = "EKG_SYS\\TANTOUI_DAT";     // ""  (older default)
inline constexpr const char* kDefaultDoctor = "EKG_SYS\\HOKENNI_DF";   // "-1"
inline constexpr const char* kHistoryListSize = "EKG_SYS\\RIRE_SAIDA_G";    // "0" (50 lines)
inline constexpr const char* kPrintListSize = "EKG_SYS\\RIRE_SAIDA_G2";     // "0" (50 lines)

// The doctor list: one quoted item per line (doctor_list_file.h).
inline constexpr const char* kDoctorList = "EKG_SYS\\HOKENNI";

// Copies of printed charts as PDF files (printing/pdf_copy.h): a switch,
// "1" on; an empty or missing file is off.
inline constexpr const char* kPdfCopies = "EKG_SYS\\PDF_HOZON";
// Where the copies go, by year and month below it.
inline constexpr const char* kPdfFolder = "EKG_DATA\\PDF";

// The print position corrections (correction_file.h).
inline constexpr const char* kCorrections = "EKG_SYS\\P_TYOUSEI";

// The whole-page offset of each printer queue (page_offset_file.h).
inline constexpr const char* kPageOffsets = "EKG_SYS\\P_OFFSET";

}  // namespace common::files
