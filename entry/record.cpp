#include "entry/record.h"

#include "framework/core/strings.h"
#include "framework/form/window.h"

namespace entry {

using fw::Str;

namespace {

// One row per field: the member and the control that shows it.
struct TextField {
  Str ExamineeRecord::*member;
  const char* control;
};
struct FlagField {
  int ExamineeRecord::*member;
  const char* control;
};

constexpr TextField kTextFields[] = {
    {&ExamineeRecord::EXAM_NO, "EDIT1"},         {&ExamineeRecord::EXAM_YEAR, "EDIT2"},
    {&ExamineeRecord::EXAM_MONTH, "EDIT3"},      {&ExamineeRecord::EXAM_DAY, "EDIT4"},
    {&ExamineeRecord::EXAM_HOUR, "EDIT5"},       {&ExamineeRecord::EXAM_MINUTE, "EDIT6"},
    {&ExamineeRecord::CHART_NO, "EDIT7"},        {&ExamineeRecord::NAME, "EDIT8"},
    {&ExamineeRecord::BIRTH_YEAR, "EDIT9"},      {&ExamineeRecord::BIRTH_MONTH, "EDIT10"},
    {&ExamineeRecord::BIRTH_DAY, "EDIT11"},      {&ExamineeRecord::AGE, "EDIT12"},
    {&ExamineeRecord::HOSPITAL, "EDIT13"},       {&ExamineeRecord::DOCTOR, "EDIT14"},
    {&ExamineeRecord::WEIGHT, "EDIT15"},         {&ExamineeRecord::BP_HIGH, "EDIT16"},
    {&ExamineeRecord::BP_LOW, "EDIT17"},         {&ExamineeRecord::MEDICATION, "EDIT18"},
    {&ExamineeRecord::PREGNANCY_MONTHS, "EDIT19"}, {&ExamineeRecord::STRESS_OTHER, "EDIT20"},
    {&ExamineeRecord::MINNESOTA_CODE, "EDIT21"}, {&ExamineeRecord::FINDING_NAME, "EDIT22"},
    {&ExamineeRecord::DOCTOR_FINDING, "EDIT23"}, {&ExamineeRecord::MEMO, "EDIT98"},
};

constexpr FlagField kFlagFields[] = {
    {&ExamineeRecord::EXAM_AM, "CHECK1"},        {&ExamineeRecord::EXAM_PM, "CHECK2"},
    {&ExamineeRecord::SEX_MALE, "CHECK3"},       {&ExamineeRecord::SEX_FEMALE, "CHECK4"},
    {&ExamineeRecord::OUTPATIENT, "CHECK5"},     {&ExamineeRecord::INPATIENT, "CHECK6"},
    {&ExamineeRecord::ECG_REST, "CHECK7"},       {&ExamineeRecord::ECG_STRESS, "CHECK8"},
    {&ExamineeRecord::MASTER_HALF, "CHECK9"},    {&ExamineeRecord::MASTER_QUARTER, "CHECK10"},
    {&ExamineeRecord::MASTER_DOUBLE, "CHECK11"},
};

constexpr const char* kRequestKindControl = "COMBO2";

}  // namespace

ExamineeRecord readFromMainWindow() {
  ExamineeRecord record;
  for (const auto& f : kTextFields) record.*f.member = fw::trim(fw::ctl(f.control).text());
  for (const auto& f : kFlagFields) record.*f.member = fw::ctl(f.control).value();
  record.REQUEST_KIND = fw::ctl(kRequestKindControl).selectedIndex();
  return record;
}

void writeTextsToMainWindow(const ExamineeRecord& record, bool withClinical) {
  for (const auto& f : kTextFields) {
    // The table lists the attribute record's fields first, then DOCTOR on.
    if (!withClinical && f.member == &ExamineeRecord::DOCTOR) return;
    fw::ctl(f.control).setText(record.*f.member);
  }
}

void writeToMainWindow(const ExamineeRecord& record) {
  writeTextsToMainWindow(record, true);
  // A flag other than 1 comes only from a damaged entry; show it as clear
  // rather than stop on the check box's refusal.
  for (const auto& f : kFlagFields) fw::ctl(f.control).setValue(record.*f.member == 1 ? 1 : 0);
  fw::Control& kind = fw::ctl(kRequestKindControl);
  const int index = record.REQUEST_KIND;
  kind.setSelectedIndex(index >= 0 && index < kind.itemCount() ? index : -1);
}

}  // namespace entry
