// The two history records byte for byte: what an examinee becomes on disk,
// and what a damaged or short record reads back as.
#include "common/history_format.h"

#include <gtest/gtest.h>

#include "framework/core/str.h"

using namespace fw::literals;
using common::AttributeField;
using common::ClinicalField;
using common::ExamineeRecord;

namespace {

const fw::Str kDate = "2024/05/07";

// `s` padded with blanks to `width` bytes (the expected bytes are built from
// the field widths in record order, not from the store's table).
std::string pad(const std::string& s, std::size_t width) {
  std::string out = s;
  out.resize(width, ' ');
  return out;
}

ExamineeRecord fullExaminee() {
  ExamineeRecord r;
  r.EXAM_NO = "12345";
  r.EXAM_YEAR = "令和6"_sj;
  r.EXAM_MONTH = "5";
  r.EXAM_DAY = "7";
  r.EXAM_PM = 1;
  r.EXAM_HOUR = "10";
  r.EXAM_MINUTE = "05";
  r.CHART_NO = "0000000123";
  r.NAME = "山田　太郎"_sj;
  r.BIRTH_YEAR = "昭和45"_sj;
  r.BIRTH_MONTH = "3";
  r.BIRTH_DAY = "21";
  r.AGE = "54";
  r.SEX_FEMALE = 1;
  r.HOSPITAL = "さくら医院"_sj;
  r.INPATIENT = 1;
  r.REQUEST_KIND = 16;
  r.DOCTOR = "佐藤"_sj;
  r.WEIGHT = "62.5";
  r.BP_HIGH = "128";
  r.BP_LOW = "84";
  r.MEDICATION = "なし"_sj;
  r.PREGNANCY_MONTHS = "3";
  r.ECG_STRESS = 1;
  r.STRESS_OTHER = "トレッドミル"_sj;
  r.MINNESOTA_CODE = "1-1-1";
  r.FINDING_NAME = "正常範囲"_sj;
  r.DOCTOR_FINDING = "異常なし"_sj;
  r.MEMO = "再検査予定"_sj;
  return r;
}

fw::Str attributeBytes(const ExamineeRecord& r) {
  return common::encode(common::attributesOf(r, kDate));
}
fw::Str clinicalBytes(const ExamineeRecord& r) {
  return common::encode(common::clinicalOf(r, kDate));
}

TEST(HistoryFormat, FullExamineeAttributeRecordByteForByte) {
  const std::string expected =
      pad("12345", 10) + pad("令和6"_sj, 20) + pad("5", 10) + pad("7", 10) + pad("2", 5) +
      pad("10", 5) + pad("05", 5) + pad("0000000123", 20) + pad("山田　太郎"_sj, 40) +
      pad("昭和45"_sj, 20) + pad("3", 10) + pad("21", 10) + pad("54", 10) + pad("2", 5) +
      pad("さくら医院"_sj, 40) + pad("2", 5) + pad("16", 5) + pad("2024/05/07", 20) +
      pad("", 20) + pad("", 20) + pad("", 20) + pad("", 10) + std::string(1680, '\0');
  ASSERT_EQ(expected.size(), 2000u);
  EXPECT_EQ(attributeBytes(fullExaminee()), expected);
}

TEST(HistoryFormat, FullExamineeClinicalRecordByteForByte) {
  const std::string expected =
      pad("佐藤"_sj, 40) + pad("62.5", 10) + pad("128", 10) + pad("84", 10) +
      pad("なし"_sj, 40) + pad("3", 10) + pad("2", 5) + pad("", 5) +
      pad("トレッドミル"_sj, 40) + pad("1-1-1", 60) + pad("正常範囲"_sj, 60) +
      pad("異常なし"_sj, 60) + pad("2024/05/07", 20) + pad("", 40) + pad("再検査予定"_sj, 100) +
      pad("", 300) + std::string(1190, '\0');
  ASSERT_EQ(expected.size(), 2000u);
  EXPECT_EQ(clinicalBytes(fullExaminee()), expected);
}

TEST(HistoryFormat, FullExamineeReadsBackAsTyped) {
  const ExamineeRecord r = fullExaminee();
  const ExamineeRecord back =
      common::examineeOf(common::decodeAttributes(attributeBytes(r)),
                         common::decodeClinical(clinicalBytes(r)));
  EXPECT_EQ(back.NAME, r.NAME);
  EXPECT_EQ(back.HOSPITAL, r.HOSPITAL);
  EXPECT_EQ(back.STRESS_OTHER, r.STRESS_OTHER);
  EXPECT_EQ(back.MEMO, r.MEMO);
  EXPECT_EQ(back.EXAM_PM, 1);
  EXPECT_EQ(back.EXAM_AM, 0);
  EXPECT_EQ(back.SEX_FEMALE, 1);
  EXPECT_EQ(back.INPATIENT, 1);
  EXPECT_EQ(back.ECG_STRESS, 1);
  EXPECT_EQ(back.REQUEST_KIND, 16);
}

// Values that the main window may hold but the record stores differently.
TEST(HistoryFormat, ValuesStoredDifferentlyFromTheWindow) {
  {  // nothing chosen in COMBO2
    ExamineeRecord r;
    r.REQUEST_KIND = -1;
    EXPECT_EQ(attributeBytes(r).substr(225, 5), "-1   ");
    EXPECT_EQ(common::examineeOf(common::decodeAttributes(attributeBytes(r)), {}).REQUEST_KIND,
              -1);
  }
  {  // an other-exercise text left over while the resting ECG is ticked
    ExamineeRecord r;
    r.ECG_REST = 1;
    r.STRESS_OTHER = "自転車"_sj;
    EXPECT_EQ(clinicalBytes(r).substr(120, 5), pad("1", 5));
    EXPECT_EQ(clinicalBytes(r).substr(130, 40), pad("", 40));
  }
  {  // ... or while a Master test variant is ticked
    ExamineeRecord r;
    r.ECG_STRESS = 1;
    r.MASTER_HALF = 1;
    r.STRESS_OTHER = "自転車"_sj;
    EXPECT_EQ(clinicalBytes(r).substr(125, 5), pad("1", 5));
    EXPECT_EQ(clinicalBytes(r).substr(130, 40), pad("", 40));
  }
  {  // the chart number as given; registration pads it, not the record
    ExamineeRecord r;
    r.CHART_NO = "123";
    EXPECT_EQ(attributeBytes(r).substr(65, 20), pad("123", 20));
  }
  {  // no box of any code ticked
    const fw::Str a = attributeBytes(ExamineeRecord{});
    const fw::Str c = clinicalBytes(ExamineeRecord{});
    EXPECT_EQ(a.substr(50, 5), pad("", 5));
    EXPECT_EQ(a.substr(175, 5), pad("", 5));
    EXPECT_EQ(a.substr(220, 5), pad("", 5));
    EXPECT_EQ(c.substr(120, 10), pad("", 10));
    const ExamineeRecord back =
        common::examineeOf(common::decodeAttributes(a), common::decodeClinical(c));
    EXPECT_EQ(back.EXAM_AM + back.EXAM_PM + back.SEX_MALE + back.SEX_FEMALE + back.OUTPATIENT +
                  back.INPATIENT + back.ECG_REST + back.ECG_STRESS + back.MASTER_HALF +
                  back.MASTER_QUARTER + back.MASTER_DOUBLE,
              0);
  }
  {  // both boxes of one code: the later one wins
    ExamineeRecord r;
    r.EXAM_AM = 1;
    r.EXAM_PM = 1;
    r.MASTER_HALF = 1;
    r.MASTER_DOUBLE = 1;
    EXPECT_EQ(attributeBytes(r).substr(50, 5), pad("2", 5));
    EXPECT_EQ(clinicalBytes(r).substr(125, 5), pad("3", 5));
  }
}

TEST(HistoryFormat, OverlongValuesAreCutToTheirField) {
  {  // 41 single-byte characters in the 40-byte name
    ExamineeRecord r;
    r.NAME = std::string(41, 'A');
    EXPECT_EQ(attributeBytes(r).substr(85, 40), std::string(40, 'A'));
    EXPECT_EQ(attributeBytes(r).substr(125, 20), pad("", 20));  // the next field untouched
  }
  {  // 20 double-byte characters and one more byte: the 41st byte goes
    ExamineeRecord r;
    std::string name;
    for (int i = 0; i < 20; ++i) name += "山"_sj;
    r.NAME = name + "A";
    EXPECT_EQ(attributeBytes(r).substr(85, 40), name);
  }
  {  // the 40th byte would be the first half of a character: cut before it
    ExamineeRecord r;
    std::string hospital = "A";
    for (int i = 0; i < 20; ++i) hospital += "院"_sj;
    r.HOSPITAL = hospital;  // 41 bytes, byte 40 is the lead byte of the 20th 院
    EXPECT_EQ(attributeBytes(r).substr(180, 40), hospital.substr(0, 39) + " ");
    EXPECT_EQ(attributeBytes(r).substr(220, 5), pad("", 5));
  }
  {  // the cut ends on a full-width space inside the value: stored trimmed
    ExamineeRecord r;
    std::string name;
    for (int i = 0; i < 19; ++i) name += "山"_sj;
    r.NAME = name + "　太"_sj;
    EXPECT_EQ(attributeBytes(r).substr(85, 40), name + "  ");
  }
  {  // the same at the end of a short field
    EXPECT_EQ(common::fitToField("12345678"_sj + "月"_sj, 9), "12345678 ");
    EXPECT_EQ(common::fitToField("1234567"_sj + "月"_sj, 9), "1234567"_sj + "月"_sj);
  }
  {  // a lone lead byte at the very end of a value never reaches the file
    EXPECT_EQ(common::fitToField("AB\x88", 5), "AB   ");
    EXPECT_EQ(common::fitToField("AB\x88", 3), "AB ");
  }
}

TEST(HistoryFormat, ValuesAreTrimmedOfHalfAndFullWidthBlanks) {
  ExamineeRecord r;
  r.NAME = "　 山田　太郎 　"_sj;
  r.EXAM_NO = "  77  ";
  EXPECT_EQ(attributeBytes(r).substr(85, 40), pad("山田　太郎"_sj, 40));
  EXPECT_EQ(attributeBytes(r).substr(0, 10), pad("77", 10));
}

TEST(HistoryFormat, RegistrationDateAndDeletionMark) {
  const fw::Str a = attributeBytes(fullExaminee());
  const fw::Str c = clinicalBytes(fullExaminee());
  EXPECT_EQ(a.substr(230, 20), "2024/05/07" + std::string(10, ' '));
  EXPECT_EQ(c.substr(350, 20), "2024/05/07" + std::string(10, ' '));
  EXPECT_EQ(a.substr(310, 10), std::string(10, ' '));
  EXPECT_FALSE(common::isDeleted(a));

  common::AttributeValues values = common::attributesOf(fullExaminee(), kDate);
  values[AttributeField::DeletionMark] = "del";
  const fw::Str deleted = common::encode(values);
  EXPECT_EQ(deleted.substr(310, 10), "del" + std::string(7, ' '));
  EXPECT_TRUE(common::isDeleted(deleted));
  // Only the trimmed mark "del" deletes.
  for (const char* mark : {"DEL       ", "dele      ", "de l      ", "  del     "}) {
    fw::Str record = a;
    record.replace(310, 10, mark);
    EXPECT_EQ(common::isDeleted(record), std::string(mark) == "  del     ") << mark;
  }
}

TEST(HistoryFormat, ZeroBytesBehindTheLastField) {
  // Every field filled to its width: nothing spills past byte 320 / 810.
  ExamineeRecord r = fullExaminee();
  for (fw::Str* s : {&r.EXAM_NO, &r.NAME, &r.HOSPITAL, &r.AGE, &r.BIRTH_DAY})
    *s = std::string(200, 'X');
  for (fw::Str* s : {&r.MEMO, &r.DOCTOR_FINDING, &r.FINDING_NAME, &r.DOCTOR})
    *s = std::string(200, 'Y');
  const fw::Str a = attributeBytes(r);
  const fw::Str c = clinicalBytes(r);
  ASSERT_EQ(a.size(), 2000u);
  ASSERT_EQ(c.size(), 2000u);
  EXPECT_EQ(a.find('\0'), 320u);
  EXPECT_EQ(a.substr(320), std::string(1680, '\0'));
  EXPECT_EQ(c.find('\0'), 810u);
  EXPECT_EQ(c.substr(810), std::string(1190, '\0'));
  EXPECT_EQ(c.substr(410, 100), std::string(100, 'Y'));
  EXPECT_EQ(c.substr(510, 300), std::string(300, ' '));
}

// Records as other programs, copies and full disks leave them.
TEST(HistoryFormat, ShortOrZeroFilledRecordsReadAsBlankFields) {
  const fw::Str full = attributeBytes(fullExaminee());
  {  // cut short behind the name: what is there, the rest blank
    const fw::Str cut = full.substr(0, 100);
    const common::AttributeValues v = common::decodeAttributes(cut);
    EXPECT_EQ(v[AttributeField::ExamNo], "12345");
    EXPECT_EQ(v[AttributeField::Name], "山田　太郎"_sj);
    EXPECT_EQ(v[AttributeField::Hospital], "");
    EXPECT_EQ(v[AttributeField::DeletionMark], "");
    EXPECT_FALSE(common::isDeleted(cut));
    EXPECT_EQ(common::decodeAttributes(fw::Str()).values, common::AttributeValues{}.values);
  }
  {  // the same record once a later write has filled the file up to the next
     // record: the missing bytes are now zero and must still read as blank
    const fw::Str filled = full.substr(0, 100) + std::string(1900, '\0');
    const common::AttributeValues v = common::decodeAttributes(filled);
    EXPECT_EQ(v[AttributeField::Name], "山田　太郎"_sj);
    EXPECT_EQ(v[AttributeField::Hospital], "");
    EXPECT_EQ(v[AttributeField::RequestKind], "");
    EXPECT_EQ(common::attributeField(filled, AttributeField::BirthYear), "");
  }
  {  // a clinical record that was never written (zeros between records)
    const common::ClinicalValues v = common::decodeClinical(std::string(2000, '\0'));
    EXPECT_EQ(v.values, common::ClinicalValues{}.values);
  }
}

TEST(HistoryFormat, StoredCodesOutsideTheirDigitsTickNoBox) {
  common::AttributeValues a = common::attributesOf(fullExaminee(), kDate);
  common::ClinicalValues c = common::clinicalOf(fullExaminee(), kDate);
  a[AttributeField::AmPmCode] = "3";
  a[AttributeField::SexCode] = "x";
  a[AttributeField::VisitCode] = "1.5";
  a[AttributeField::RequestKind] = "abc";
  c[ClinicalField::MasterCode] = "4";
  c[ClinicalField::EcgKindCode] = "-1";
  const ExamineeRecord r = common::examineeOf(common::decodeAttributes(common::encode(a)),
                                              common::decodeClinical(common::encode(c)));
  EXPECT_EQ(r.EXAM_AM + r.EXAM_PM + r.SEX_MALE + r.SEX_FEMALE + r.OUTPATIENT + r.INPATIENT +
                r.ECG_REST + r.ECG_STRESS + r.MASTER_HALF + r.MASTER_QUARTER + r.MASTER_DOUBLE,
            0);
  EXPECT_EQ(r.REQUEST_KIND, 0);  // the numeric value of "abc"
  a[AttributeField::RequestKind] = "99999999999";
  EXPECT_NO_THROW(common::examineeOf(common::decodeAttributes(common::encode(a)), {}));
}

}  // namespace
