#include "common/history_format.h"

#include <algorithm>

#include "common/settings_file.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace common {

using fw::Str;

namespace {

template <std::size_t N>
Str encodeSlots(const std::array<FieldSlot, N>& slots, const std::array<Str, N>& values) {
  Str record(kHistoryRecordBytes, '\0');
  for (std::size_t i = 0; i < N; ++i) {
    putSlot(record, slots[i], fitToField(values[i], slots[i].widthBytes));
  }
  return record;
}

Str slotValue(std::string_view record, FieldSlot slot) {
  Str bytes(slotBytes(record, slot));
  bytes.resize(static_cast<std::size_t>(slot.widthBytes), ' ');
  // No writer puts a zero byte inside a field; zeros there are bytes that
  // were never written (a record cut short, then the file extended past it
  // by the next append, or a clinical record skipped by a failed append).
  bytes.resize(valueBytes(bytes).size());
  // A field cut inside a character by an older writer: half a character
  // cannot be shown, and written back it would pair with the padding.
  return fw::trim(fw::leftWhole(bytes, fw::len(bytes)));
}

template <std::size_t N>
std::array<Str, N> decodeSlots(const std::array<FieldSlot, N>& slots, std::string_view record) {
  std::array<Str, N> values;
  for (std::size_t i = 0; i < N; ++i) values[i] = slotValue(record, slots[i]);
  return values;
}

// A code field: the digit of the last ticked box of its group, blank when none.
Str code(std::initializer_list<std::pair<int, const char*>> boxes) {
  Str value;
  for (const auto& [ticked, digit] : boxes) {
    if (ticked == 1) value = digit;
  }
  return value;
}

int codeValue(const Str& field) {
  const double v = fw::val(field);
  return v >= 1 && v <= 3 && v == static_cast<int>(v) ? static_cast<int>(v) : 0;
}

}  // namespace

Str fitToField(const Str& value, int widthBytes) {
  // A cut may end on a blank that was inside the value: what is stored is
  // trimmed all the same.
  return fw::fitWhole(fw::trim(fw::leftWhole(fw::trim(value), widthBytes)), widthBytes);
}

Str encode(const AttributeValues& values) { return encodeSlots(kAttributeSlots, values.values); }
Str encode(const ClinicalValues& values) { return encodeSlots(kClinicalSlots, values.values); }

AttributeValues decodeAttributes(std::string_view bytes) {
  return {decodeSlots(kAttributeSlots, bytes)};
}

ClinicalValues decodeClinical(std::string_view bytes) {
  return {decodeSlots(kClinicalSlots, bytes)};
}

Str attributeField(std::string_view record, AttributeField f) {
  return slotValue(record, slotOf(f));
}

bool isDeleted(std::string_view record) {
  // Every scan asks this of every record: a slot without the mark's bytes
  // is answered without building its value.
  const FieldSlot slot = slotOf(AttributeField::DeletionMark);
  if (slotBytes(record, slot).find(kDeletedMark) == std::string_view::npos) return false;
  return attributeField(record, AttributeField::DeletionMark) == kDeletedMark;
}

AttributeValues attributesOf(const ExamineeRecord& r, const Str& date) {
  using F = AttributeField;
  AttributeValues a;
  a[F::ExamNo] = r.EXAM_NO;
  a[F::ExamYear] = r.EXAM_YEAR;
  a[F::ExamMonth] = r.EXAM_MONTH;
  a[F::ExamDay] = r.EXAM_DAY;
  a[F::AmPmCode] = code({{r.EXAM_AM, "1"}, {r.EXAM_PM, "2"}});
  a[F::ExamHour] = r.EXAM_HOUR;
  a[F::ExamMinute] = r.EXAM_MINUTE;
  a[F::ChartNo] = r.CHART_NO;
  a[F::Name] = r.NAME;
  a[F::BirthYear] = r.BIRTH_YEAR;
  a[F::BirthMonth] = r.BIRTH_MONTH;
  a[F::BirthDay] = r.BIRTH_DAY;
  a[F::Age] = r.AGE;
  a[F::SexCode] = code({{r.SEX_MALE, "1"}, {r.SEX_FEMALE, "2"}});
  a[F::Hospital] = r.HOSPITAL;
  a[F::VisitCode] = code({{r.OUTPATIENT, "1"}, {r.INPATIENT, "2"}});
  a[F::RequestKind] = fw::trim(fw::str(r.REQUEST_KIND));
  a[F::RegistrationDate] = date;
  for (Str& v : a.values) v = fw::trim(v);
  return a;
}

ClinicalValues clinicalOf(const ExamineeRecord& r, const Str& date) {
  using F = ClinicalField;
  ClinicalValues c;
  c[F::Doctor] = r.DOCTOR;
  c[F::Weight] = r.WEIGHT;
  c[F::BpHigh] = r.BP_HIGH;
  c[F::BpLow] = r.BP_LOW;
  c[F::Medication] = r.MEDICATION;
  c[F::PregnancyMonths] = r.PREGNANCY_MONTHS;
  c[F::EcgKindCode] = code({{r.ECG_REST, "1"}, {r.ECG_STRESS, "2"}});
  c[F::MasterCode] = code({{r.MASTER_HALF, "1"}, {r.MASTER_QUARTER, "2"}, {r.MASTER_DOUBLE, "3"}});
  const bool otherExercise = r.ECG_STRESS == 1 && r.ECG_REST != 1 && r.MASTER_HALF != 1 &&
                             r.MASTER_QUARTER != 1 && r.MASTER_DOUBLE != 1;
  if (otherExercise) c[F::StressOther] = r.STRESS_OTHER;
  c[F::MinnesotaCode] = r.MINNESOTA_CODE;
  c[F::FindingName] = r.FINDING_NAME;
  c[F::DoctorFinding] = r.DOCTOR_FINDING;
  c[F::RegistrationDate] = date;
  c[F::Memo] = r.MEMO;
  for (Str& v : c.values) v = fw::trim(v);
  return c;
}

ExamineeRecord examineeOf(const AttributeValues& a, const ClinicalValues& c) {
  using A = AttributeField;
  using C = ClinicalField;
  ExamineeRecord r;
  r.EXAM_NO = a[A::ExamNo];
  r.EXAM_YEAR = a[A::ExamYear];
  r.EXAM_MONTH = a[A::ExamMonth];
  r.EXAM_DAY = a[A::ExamDay];
  const int ampm = codeValue(a[A::AmPmCode]);
  r.EXAM_AM = ampm == 1;
  r.EXAM_PM = ampm == 2;
  r.EXAM_HOUR = a[A::ExamHour];
  r.EXAM_MINUTE = a[A::ExamMinute];
  r.CHART_NO = a[A::ChartNo];
  r.NAME = a[A::Name];
  r.BIRTH_YEAR = a[A::BirthYear];
  r.BIRTH_MONTH = a[A::BirthMonth];
  r.BIRTH_DAY = a[A::BirthDay];
  r.AGE = a[A::Age];
  const int sex = codeValue(a[A::SexCode]);
  r.SEX_MALE = sex == 1;
  r.SEX_FEMALE = sex == 2;
  r.HOSPITAL = a[A::Hospital];
  const int visit = codeValue(a[A::VisitCode]);
  r.OUTPATIENT = visit == 1;
  r.INPATIENT = visit == 2;
  r.REQUEST_KIND = fw::toInt32(std::clamp(fw::val(a[A::RequestKind]), -1.0, 2147483647.0));
  r.DOCTOR = c[C::Doctor];
  r.WEIGHT = c[C::Weight];
  r.BP_HIGH = c[C::BpHigh];
  r.BP_LOW = c[C::BpLow];
  r.MEDICATION = c[C::Medication];
  r.PREGNANCY_MONTHS = c[C::PregnancyMonths];
  const int kind = codeValue(c[C::EcgKindCode]);
  r.ECG_REST = kind == 1;
  r.ECG_STRESS = kind == 2;
  const int master = codeValue(c[C::MasterCode]);
  r.MASTER_HALF = master == 1;
  r.MASTER_QUARTER = master == 2;
  r.MASTER_DOUBLE = master == 3;
  r.STRESS_OTHER = c[C::StressOther];
  r.MINNESOTA_CODE = c[C::MinnesotaCode];
  r.FINDING_NAME = c[C::FindingName];
  r.DOCTOR_FINDING = c[C::DoctorFinding];
  r.MEMO = c[C::Memo];
  return r;
}

int readListSizeIndex(const char* file) {
  const double index = fw::val(readSetting(file, "0"));
  if (index < 0 || index >= static_cast<double>(kListSizes.size())) return 0;
  return static_cast<int>(index);
}

void writeListSizeIndex(const char* file, int index) {
  writeSetting(file, fw::trim(fw::str(index)));
}

}  // namespace common
