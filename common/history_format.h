// The two history files EKG_DATA\EKGDATA_1 (attribute records) and
// EKG_DATA\EKGDATA_2 (clinical records), paired by position: record n of
// each is history entry n. Both are plain sequences of 2000-byte records
// without header, separators or line ends.
//
// Every field is CP932 text, left-aligned, space-padded to its width; the
// bytes behind the last field are 0x00. Values are trimmed of half- and
// full-width spaces before they are written and after they are read. A
// value longer than its field is cut at the last whole character that fits
// (never the first byte of a double-byte character alone) and padded.
//
// Attribute record (320 bytes used):
//   offset width field              offset width field
//        0    10 EXAM_NO               165    10 AGE
//       10    20 EXAM_YEAR             175     5 SEX_CODE      "1" male, "2" female
//       30    10 EXAM_MONTH            180    40 HOSPITAL
//       40    10 EXAM_DAY              220     5 VISIT_CODE    "1" out-, "2" inpatient
//       50     5 AMPM_CODE "1"/"2"     225     5 REQUEST_KIND  "-1", "0" … "16"
//       55     5 EXAM_HOUR             230    20 registration date "YYYY/MM/DD" + 10 blanks
//       60     5 EXAM_MINUTE           250    20 reserved (×3, blank)
//       65    20 CHART_NO (10 digits)  310    10 deletion mark "del" or blank
//       85    40 NAME                  320  1680 0x00
//      125    20 BIRTH_YEAR
//      145    10 BIRTH_MONTH
//      155    10 BIRTH_DAY
//
// Clinical record (810 bytes used):
//        0    40 DOCTOR                170    60 MINNESOTA_CODE
//       40    10 WEIGHT                230    60 FINDING_NAME
//       50    10 BP_HIGH               290    60 DOCTOR_FINDING
//       60    10 BP_LOW                350    20 registration date
//       70    40 MEDICATION            370    10 reserved (×4, blank)
//      110    10 PREGNANCY_MONTHS      410   100 MEMO
//      120     5 ECG_KIND_CODE "1" rest, "2" stress
//      125     5 MASTER_CODE "1" 1/2, "2" 1/4, "3" double
//      130    40 STRESS_OTHER          510   100 reserved (×3, blank)
//                                      810  1190 0x00
#pragma once

#include <array>
#include <string_view>

#include "common/examinee_record.h"
#include "common/record_layout.h"
#include "framework/core/str.h"

namespace common {

inline constexpr int kHistoryRecordBytes = 2000;

enum class AttributeField : int {
  ExamNo, ExamYear, ExamMonth, ExamDay, AmPmCode, ExamHour, ExamMinute, ChartNo, Name,
  BirthYear, BirthMonth, BirthDay, Age, SexCode, Hospital, VisitCode, RequestKind,
  RegistrationDate, Reserved1, Reserved2, Reserved3, DeletionMark,
};
inline constexpr int kAttributeFieldCount = 22;

inline constexpr std::array<FieldSlot, kAttributeFieldCount> kAttributeSlots{{
    {0, 10}, {10, 20}, {30, 10}, {40, 10}, {50, 5}, {55, 5}, {60, 5}, {65, 20}, {85, 40},
    {125, 20}, {145, 10}, {155, 10}, {165, 10}, {175, 5}, {180, 40}, {220, 5}, {225, 5},
    {230, 20}, {250, 20}, {270, 20}, {290, 20}, {310, 10},
}};

enum class ClinicalField : int {
  Doctor, Weight, BpHigh, BpLow, Medication, PregnancyMonths, EcgKindCode, MasterCode,
  StressOther, MinnesotaCode, FindingName, DoctorFinding, RegistrationDate, Reserved1,
  Reserved2, Reserved3, Reserved4, Memo, Reserved5, Reserved6, Reserved7,
};
inline constexpr int kClinicalFieldCount = 21;

inline constexpr std::array<FieldSlot, kClinicalFieldCount> kClinicalSlots{{
    {0, 40}, {40, 10}, {50, 10}, {60, 10}, {70, 40}, {110, 10}, {120, 5}, {125, 5},
    {130, 40}, {170, 60}, {230, 60}, {290, 60}, {350, 20}, {370, 10}, {380, 10}, {390, 10},
    {400, 10}, {410, 100}, {510, 100}, {610, 100}, {710, 100},
}};

constexpr FieldSlot slotOf(AttributeField f) { return kAttributeSlots[static_cast<int>(f)]; }
constexpr FieldSlot slotOf(ClinicalField f) { return kClinicalSlots[static_cast<int>(f)]; }

// The deletion mark of a deleted entry (stored as "del" and 7 blanks).
inline constexpr std::string_view kDeletedMark = "del";

// The trimmed values of one record, indexed by its field enum.
template <class Field, int N>
struct StoredValues {
  std::array<fw::Str, N> values;
  const fw::Str& operator[](Field f) const { return values[static_cast<int>(f)]; }
  fw::Str& operator[](Field f) { return values[static_cast<int>(f)]; }
};
using AttributeValues = StoredValues<AttributeField, kAttributeFieldCount>;
using ClinicalValues = StoredValues<ClinicalField, kClinicalFieldCount>;

// The 2000 bytes of a record: every value trimmed and fitted to its slot,
// 0x00 behind the last field.
fw::Str encode(const AttributeValues& values);
fw::Str encode(const ClinicalValues& values);
// The trimmed values of a record. Fewer than 2000 bytes (a record cut short
// at the end of a file) read as if padded with blanks: what is missing is
// empty. A zero byte ends a field's value (bytes never written read as
// blank), and a lead byte at its end (half a character) is dropped. Never
// fails.
AttributeValues decodeAttributes(std::string_view bytes);
ClinicalValues decodeClinical(std::string_view bytes);

// The bytes of a field slot that hold its value: those before its first zero
// byte. Zeros are bytes never written (a record cut short, then passed by a
// later append), and they end the value, as in an edit box. Whatever compares
// raw slot bytes cuts them here first, so that it sees what the list shows.
constexpr std::string_view valueBytes(std::string_view slot) {
  return slot.substr(0, slot.find('\0'));
}

// One trimmed field straight from the bytes of an attribute record (a scan
// looks at a field or two of every record); missing bytes are blanks.
fw::Str attributeField(std::string_view record, AttributeField f);
// Whether the trimmed deletion mark is exactly "del".
bool isDeleted(std::string_view record);

// `value` trimmed, cut to `widthBytes` without splitting a double-byte
// character and trimmed again, padded with blanks to exactly `widthBytes`.
// A lead byte at the very end of the value (half a character already) is
// dropped.
fw::Str fitToField(const fw::Str& value, int widthBytes);

// The records of an examinee registered on `date` ("YYYY/MM/DD"): codes from
// the check boxes (a later box of one code wins), REQUEST_KIND as decimal
// text, STRESS_OTHER only for a post-exercise ECG without a Master-test
// variant, reserved fields and the deletion mark blank.
AttributeValues attributesOf(const ExamineeRecord& r, const fw::Str& date);
ClinicalValues clinicalOf(const ExamineeRecord& r, const fw::Str& date);
// The examinee of a stored entry: codes back into flags by their numeric
// value (anything else sets no box), REQUEST_KIND by its numeric value.
ExamineeRecord examineeOf(const AttributeValues& a, const ClinicalValues& c);

// The list-size settings (EKG_SYS\RIRE_SAIDA_G, EKG_SYS\RIRE_SAIDA_G2): the
// index 0..8 of "50", "100", "200", "300", "400", "500", "1000", "1500",
// "2000"; an empty file is index 0.
inline constexpr std::array<int, 9> kListSizes{50, 100, 200, 300, 400, 500, 1000, 1500, 2000};
// The stored index, limited to 0..8 (a hand-edited value outside means 0).
int readListSizeIndex(const char* file);
void writeListSizeIndex(const char* file, int index);

}  // namespace common
