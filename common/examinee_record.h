// The examinee record: 36 fields in record order. While it is edited, the
// main window's controls hold it; this struct is the copy that printing,
// registration, search and the history store pass around. Text fields are
// CP932 as shown in their boxes; flags are 1/0; REQUEST_KIND is COMBO2's
// index (-1 none).
#pragma once

#include "framework/core/str.h"

namespace common {

using fw::Str;

struct ExamineeRecord {
  Str EXAM_NO;            // EDIT1
  Str EXAM_YEAR;          // EDIT2
  Str EXAM_MONTH;         // EDIT3
  Str EXAM_DAY;           // EDIT4
  int EXAM_AM = 0;        // CHECK1
  int EXAM_PM = 0;        // CHECK2
  Str EXAM_HOUR;          // EDIT5
  Str EXAM_MINUTE;        // EDIT6
  Str CHART_NO;           // EDIT7
  Str NAME;               // EDIT8
  Str BIRTH_YEAR;         // EDIT9
  Str BIRTH_MONTH;        // EDIT10
  Str BIRTH_DAY;          // EDIT11
  Str AGE;                // EDIT12
  int SEX_MALE = 0;       // CHECK3
  int SEX_FEMALE = 0;     // CHECK4
  Str HOSPITAL;           // EDIT13
  int OUTPATIENT = 0;     // CHECK5
  int INPATIENT = 0;      // CHECK6
  int REQUEST_KIND = -1;  // COMBO2
  Str DOCTOR;             // EDIT14
  Str WEIGHT;             // EDIT15
  Str BP_HIGH;            // EDIT16
  Str BP_LOW;             // EDIT17
  Str MEDICATION;         // EDIT18
  Str PREGNANCY_MONTHS;   // EDIT19
  int ECG_REST = 0;       // CHECK7
  int ECG_STRESS = 0;     // CHECK8
  int MASTER_HALF = 0;    // CHECK9
  int MASTER_QUARTER = 0; // CHECK10
  int MASTER_DOUBLE = 0;  // CHECK11
  Str STRESS_OTHER;       // EDIT20
  Str MINNESOTA_CODE;     // EDIT21
  Str FINDING_NAME;       // EDIT22
  Str DOCTOR_FINDING;     // EDIT23
  Str MEMO;               // EDIT98
};

}  // namespace common
