// Examinees shared by tests and benchmarks.
#pragma once

#include "common/examinee_record.h"

namespace tessivo::test {

using fw::literals::operator""_sj;

// A typical examinee: every kind of field filled, one box of each group.
inline common::ExamineeRecord sampleExaminee() {
  common::ExamineeRecord r;
  r.EXAM_NO = "12a";
  r.EXAM_YEAR = "2024";
  r.EXAM_MONTH = "１２"_sj;
  r.EXAM_DAY = "２４"_sj;
  r.EXAM_AM = 1;
  r.EXAM_HOUR = "１０"_sj;
  r.EXAM_MINUTE = "05";
  r.CHART_NO = "0000000123";
  r.NAME = "山田　太郎"_sj;
  r.BIRTH_YEAR = "昭和45"_sj;
  r.BIRTH_MONTH = "３"_sj;
  r.BIRTH_DAY = "１５"_sj;
  r.AGE = "５４"_sj;
  r.SEX_MALE = 1;
  r.HOSPITAL = "さくら医院"_sj;
  r.REQUEST_KIND = 4;
  r.DOCTOR = "佐藤"_sj;
  r.WEIGHT = "62.5";
  r.BP_HIGH = "128";
  r.BP_LOW = "84";
  r.MEDICATION = "なし"_sj;
  r.PREGNANCY_MONTHS = "";
  r.ECG_STRESS = 1;
  r.MASTER_DOUBLE = 1;
  r.MINNESOTA_CODE = "9-2";
  r.FINDING_NAME = "正常範囲"_sj;
  r.DOCTOR_FINDING = "異常なし"_sj;
  return r;
}

// Every flag set at once (as no window would allow) and every text filled:
// the chart shows each item, ring and mark.
inline common::ExamineeRecord everyFlagExaminee() {
  common::ExamineeRecord r;
  r.EXAM_NO = "A001";
  r.EXAM_YEAR = "2025";
  r.EXAM_MONTH = "11";
  r.EXAM_DAY = "30";
  r.EXAM_AM = 1;
  r.EXAM_PM = 1;
  r.EXAM_HOUR = "09";
  r.EXAM_MINUTE = "45";
  r.CHART_NO = "C-778899";
  r.NAME = "鈴木花子"_sj;  // 8 bytes: the 30 pt form
  r.BIRTH_YEAR = "平成2"_sj;
  r.BIRTH_MONTH = "7";
  r.BIRTH_DAY = "18";
  r.AGE = "35";
  r.SEX_MALE = 1;
  r.SEX_FEMALE = 1;
  r.HOSPITAL = "みなと内科クリニック"_sj;  // 20 bytes: the small form
  r.OUTPATIENT = 1;
  r.INPATIENT = 1;
  r.REQUEST_KIND = 10;  // 診
  r.DOCTOR = "高橋"_sj;
  r.WEIGHT = "48.0";
  r.BP_HIGH = "142";
  r.BP_LOW = "96";
  r.MEDICATION = "降圧剤"_sj;
  r.PREGNANCY_MONTHS = "5";
  r.ECG_REST = 1;
  r.ECG_STRESS = 1;
  r.MASTER_HALF = 1;
  r.MASTER_QUARTER = 1;
  r.MASTER_DOUBLE = 1;
  r.STRESS_OTHER = "トレッドミル"_sj;
  r.MINNESOTA_CODE = "1-2-3";
  r.FINDING_NAME = "洞調律"_sj;
  r.DOCTOR_FINDING = "要経過観察"_sj;
  return r;
}

}  // namespace tessivo::test
