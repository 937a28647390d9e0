// The FT-70 chart layout drawn onto a recording surface.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <string>

#include "framework/core/error.h"
#include "framework/form/recording_surface.h"
#include "printing/chart_layout.h"
#include "tests/support/temp_dir.h"

namespace printing {
namespace {

using namespace fw::literals;
using fw::DrawCall;

struct Chart {
  fw::RecordingSurface page;
  ChartResult result = ChartResult::Completed;

  std::vector<DrawCall> of(DrawCall::Type type) const {
    std::vector<DrawCall> out;
    for (const DrawCall& c : page.calls)
      if (c.type == type) out.push_back(c);
    return out;
  }
  // The one text drawn with this content; fails the test when not exactly one.
  DrawCall text(const fw::Str& content) const {
    std::vector<DrawCall> found;
    for (const DrawCall& c : page.texts())
      if (c.text == content) found.push_back(c);
    EXPECT_EQ(found.size(), 1u) << "text drawn " << found.size() << " times";
    if (found.empty()) {
      DrawCall none{};
      none.type = DrawCall::Text;
      return none;
    }
    return found.front();
  }
};

Chart draw(const common::ExamineeRecord& record, const CorrectionTable& corrections = {},
           const PrintOptions& options = {}, ChartDrawing drawing = {}) {
  Chart chart;
  chart.page.setScaleMode(5);
  chart.result = drawChart(chart.page, record, corrections, options, drawing);
  return chart;
}

common::ExamineeRecord named(const fw::Str& name) {
  common::ExamineeRecord r;
  r.NAME = name;
  return r;
}

// n full-width characters: 2n bytes.
fw::Str fullWidth(int characters) {
  fw::Str s;
  for (int i = 0; i < characters; ++i) s += "山"_sj;
  return s;
}

CorrectionTable correction(int item, const fw::Str& vertical, const fw::Str& horizontal) {
  CorrectionTable t;
  t.vertical[item] = vertical;
  t.horizontal[item] = horizontal;
  return t;
}

TEST(ChartLayout, NameOnlyPrintsEmptyTextsAndNoMarks) {
  const Chart chart = draw(named("山田太郎"_sj));
  const auto texts = chart.page.texts();
  // Items 1-4, 7-9, 10, 11-14, 17, 21, 22, blood pressure high and low, 24,
  // 25, 32-34: every text position is printed, empty or not.
  ASSERT_EQ(texts.size(), 22u);
  int nonEmpty = 0;
  for (const DrawCall& t : texts) nonEmpty += !t.text.empty();
  EXPECT_EQ(nonEmpty, 1);
  EXPECT_TRUE(chart.of(DrawCall::Circle).empty());
  EXPECT_TRUE(chart.of(DrawCall::Bitmap).empty());
  EXPECT_EQ(chart.result, ChartResult::Completed);
}

TEST(ChartLayout, EveryItemAtItsBasePositionInOrder) {
  common::ExamineeRecord r;
  r.EXAM_NO = "1";        r.EXAM_YEAR = "2";   r.EXAM_MONTH = "3";  r.EXAM_DAY = "4";
  r.EXAM_HOUR = "7";      r.EXAM_MINUTE = "8"; r.CHART_NO = "9";    r.NAME = "10";
  r.BIRTH_YEAR = "11";    r.BIRTH_MONTH = "12"; r.BIRTH_DAY = "13"; r.AGE = "14";
  r.HOSPITAL = "17";      r.DOCTOR = "21";     r.WEIGHT = "22";     r.BP_HIGH = "23H";
  r.BP_LOW = "23L";       r.MEDICATION = "24"; r.PREGNANCY_MONTHS = "25";
  r.STRESS_OTHER = "31";  r.MINNESOTA_CODE = "32"; r.FINDING_NAME = "33";
  r.DOCTOR_FINDING = "34";
  struct Row { const char* text; double x, y; float size; };
  const Row expected[] = {
      {"1", 9390, 1000, 20},  {"2", 1200, 2920, 20},  {"3", 2360, 2920, 20},
      {"4", 3040, 2920, 20},  {"7", 4170, 2920, 20},  {"8", 4780, 2920, 20},
      {"9", 8100, 2920, 20},  {"10", 1350, 3560, 30}, {"11", 4990, 3760, 20},
      {"12", 6300, 3760, 20}, {"13", 6870, 3760, 20}, {"14", 8140, 3760, 20},
      {"17", 1910, 4500, 12}, {"21", 7130, 4500, 12}, {"22", 1560, 5100, 16},
      {"23H", 3445, 5005, 14}, {nullptr, 3620, 5040, 18}, {"23L", 3790, 5130, 14},
      {"24", 5970, 5140, 12}, {"25", 7840, 5100, 16}, {"31", 8720, 6380, 14},
      {"32", 3180, 6740, 14}, {"33", 3180, 7140, 14}, {"34", 3180, 7530, 14},
  };
  const auto texts = draw(r).page.texts();
  ASSERT_EQ(texts.size(), std::size(expected));
  for (size_t i = 0; i < texts.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(texts[i].text, expected[i].text ? fw::Str(expected[i].text) : "／"_sj);
    EXPECT_EQ(texts[i].x, expected[i].x);
    EXPECT_EQ(texts[i].y, expected[i].y);
    EXPECT_EQ(texts[i].size, expected[i].size);
  }
}

TEST(ChartLayout, NameSizeFollowsByteLength) {
  struct Case { int bytes; float size; double x, y; };
  const Case cases[] = {
      {9, 30, 1350, 3560},  {10, 24, 1250, 3640}, {14, 24, 1250, 3640},
      {15, 20, 1200, 3690}, {20, 20, 1200, 3690}, {21, 16, 1100, 3740},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.bytes);
    // Odd lengths end with a half-width letter: bytes, not characters, count.
    const fw::Str name = fullWidth(c.bytes / 2) + (c.bytes % 2 ? "A" : "");
    const DrawCall t = draw(named("　"_sj + name + " ")).text(name);  // trimmed first
    EXPECT_EQ(t.size, c.size);
    EXPECT_EQ(t.x, c.x);
    EXPECT_EQ(t.y, c.y);
  }
  {
    SCOPED_TRACE("10 bytes plus the correction of row 10");
    const DrawCall t = draw(named(fullWidth(5)), correction(10, "-2", "1.5")).text(fullWidth(5));
    EXPECT_EQ(t.size, 24);
    EXPECT_EQ(t.x, 1250 + 60);
    EXPECT_EQ(t.y, 3640 - 80);
  }
}

TEST(ChartLayout, TwoSizeItemsSwitchAtTwentyBytes) {
  for (int bytes : {19, 20}) {
    SCOPED_TRACE(bytes);
    const bool longText = bytes >= 20;
    common::ExamineeRecord r;
    r.HOSPITAL = fw::Str(bytes, 'H');
    r.DOCTOR = fw::Str(bytes, 'D');
    r.MEDICATION = fw::Str(bytes, 'M');
    const Chart chart = draw(r);
    const DrawCall hospital = chart.text(r.HOSPITAL);
    EXPECT_EQ(hospital.size, longText ? 10 : 12);
    EXPECT_EQ(hospital.x, 1910);
    EXPECT_EQ(hospital.y, longText ? 4520 : 4500);
    const DrawCall doctor = chart.text(r.DOCTOR);
    EXPECT_EQ(doctor.size, longText ? 10 : 12);
    EXPECT_EQ(doctor.x, 7130);
    EXPECT_EQ(doctor.y, longText ? 4520 : 4500);
    const DrawCall medication = chart.text(r.MEDICATION);
    EXPECT_EQ(medication.size, longText ? 10 : 12);
    EXPECT_EQ(medication.x, 5970);
    EXPECT_EQ(medication.y, 5140);
  }
}

TEST(ChartLayout, CorrectionInMillimetresIsFortyUnitsEach) {
  common::ExamineeRecord r;
  r.EXAM_NO = "123";
  const DrawCall t = draw(r, correction(1, "1.5", "-3")).text("123");
  EXPECT_EQ(t.x, 9270);
  EXPECT_EQ(t.y, 1060);
}

TEST(ChartLayout, StoredCorrectionMovesTheName) {
  tessivo::test::TempCwd dir;
  std::filesystem::create_directory("EKG_SYS");
  std::array<fw::Str, kChartItemCount + 1> vertical, horizontal;
  vertical.fill("0");
  horizontal.fill("0");
  vertical[10] = "-2";
  horizontal[10] = "1.5";
  common::writeCorrections(vertical, horizontal);

  // The next print reads the file afresh: the name moves 80 up and 60 right.
  common::ExamineeRecord record;
  record.NAME = "山田"_sj;
  fw::RecordingSurface page;
  drawChart(page, record, common::readCorrections(), {}, {});
  bool found = false;
  for (const fw::DrawCall& t : page.texts()) {
    if (t.text != record.NAME) continue;
    found = true;
    EXPECT_EQ(t.x, 1350 + 60);
    EXPECT_EQ(t.y, 3560 - 80);
  }
  EXPECT_TRUE(found);
}

TEST(ChartLayout, CorrectedPositionIsLimitedToThePrintableRange) {
  common::ExamineeRecord r;
  r.EXAM_NO = "123";
  {
    SCOPED_TRACE("-30 mm up would give y -200");
    const DrawCall t = draw(r, correction(1, "-30", "0")).text("123");
    EXPECT_EQ(t.y, 100);
    EXPECT_EQ(t.x, 9390);
  }
  {
    SCOPED_TRACE("limits on the other sides");
    const DrawCall t = draw(r, correction(1, "999", "999")).text("123");
    EXPECT_EQ(t.x, 11000);
    EXPECT_EQ(t.y, 7900);
    EXPECT_EQ(correctedPosition(correction(2, "0", "-999"), 2, 1200, 2920).x, 100);
  }
  {
    SCOPED_TRACE("letters and empty texts are no correction");
    const DrawCall t = draw(r, correction(1, "abc", "")).text("123");
    EXPECT_EQ(t.x, 9390);
    EXPECT_EQ(t.y, 1000);
  }
}

TEST(ChartLayout, SlashOnlyWhenOneValueIsPresent) {
  struct Case { const char* high; const char* low; bool slash; };
  const Case cases[] = {{"", "80", true}, {"120", "", true}, {"", "", false}, {" ", "　", false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.high) + "/" + c.low);
    common::ExamineeRecord r;
    r.BP_HIGH = fw::sj(c.high);
    r.BP_LOW = fw::sj(c.low);
    int slashes = 0;
    for (const DrawCall& t : draw(r).page.texts()) slashes += t.text == "／"_sj;
    EXPECT_EQ(slashes, c.slash ? 1 : 0);
  }
}

TEST(ChartLayout, RequestKindRingAndCategoryText) {
  struct Case { int index; const char* word; double textX; };
  const Case cases[] = {{10, "診", 6030}, {4, "BG健", 5930}, {1, "一般", 5930}, {16, "子", 6030}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.index);
    common::ExamineeRecord r;
    r.REQUEST_KIND = c.index;
    const Chart chart = draw(r);
    const auto rings = chart.of(DrawCall::Circle);
    ASSERT_EQ(rings.size(), 6u);
    EXPECT_EQ(rings[0].x, 6120);
    EXPECT_EQ(rings[0].y, 4583);
    EXPECT_EQ(rings[0].radius, 220);
    const DrawCall t = chart.text(fw::sj(c.word));
    EXPECT_EQ(t.x, c.textX);
    EXPECT_EQ(t.y, 4490);
    EXPECT_EQ(t.size, 14);
  }
  for (int index : {0, -1}) {
    SCOPED_TRACE(index);
    common::ExamineeRecord r;
    r.REQUEST_KIND = index;
    const Chart chart = draw(r);
    EXPECT_TRUE(chart.of(DrawCall::Circle).empty());
    EXPECT_EQ(chart.page.texts().size(), 22u);
  }
  {
    SCOPED_TRACE("an index beyond the list: the ring without a word");
    common::ExamineeRecord r;
    r.REQUEST_KIND = 17;
    const Chart chart = draw(r);
    EXPECT_EQ(chart.of(DrawCall::Circle).size(), 6u);
    EXPECT_EQ(chart.page.texts().size(), 22u);
  }
}

TEST(ChartLayout, RingIsSixConcentricOutlines) {
  common::ExamineeRecord r;
  r.EXAM_PM = 1;
  r.SEX_FEMALE = 1;
  const auto rings = draw(r, correction(6, "1", "0")).of(DrawCall::Circle);
  ASSERT_EQ(rings.size(), 12u);
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(rings[i].x, 3850);
    EXPECT_EQ(rings[i].y, 3120 + 40);
    EXPECT_EQ(rings[i].radius, 200 + i);
    EXPECT_EQ(rings[i].aspect, 0.4f);  // the single-precision 0.4
    EXPECT_EQ(rings[i].kind, 0);       // not filled
    EXPECT_EQ(rings[6 + i].x, 9620);
    EXPECT_EQ(rings[6 + i].radius, 140 + i);
    EXPECT_EQ(rings[6 + i].aspect, 1.0f);
  }
}

TEST(ChartLayout, CheckMarksAndOtherExercise) {
  common::ExamineeRecord r;
  r.MASTER_QUARTER = 1;
  r.STRESS_OTHER = " 自転車 "_sj;
  const Chart chart = draw(r);
  const auto marks = chart.of(DrawCall::Bitmap);
  ASSERT_EQ(marks.size(), 2u);
  EXPECT_EQ(marks[0].x, 6060);
  EXPECT_EQ(marks[0].y, 6120);
  EXPECT_EQ(marks[1].x, 8650);
  EXPECT_EQ(marks[1].y, 6120);
  for (const DrawCall& m : marks) {
    EXPECT_EQ(m.text, "CHECK_1");
    EXPECT_DOUBLE_EQ(m.x2, 435.6);
    EXPECT_DOUBLE_EQ(m.y2, 288.2);
    EXPECT_EQ(m.srcX, 1);
    EXPECT_EQ(m.srcY, 1);
    EXPECT_EQ(m.srcW, 198);
    EXPECT_EQ(m.srcH, 131);
  }
  const DrawCall other = chart.text("自転車"_sj);
  EXPECT_EQ(other.x, 8720);
  EXPECT_EQ(other.y, 6380);
  EXPECT_EQ(other.size, 14);

  r.STRESS_OTHER = "　  "_sj;  // blanks only count as empty
  const Chart blank = draw(r);
  EXPECT_EQ(blank.of(DrawCall::Bitmap).size(), 1u);
  EXPECT_EQ(blank.page.texts().size(), 22u);
}

common::ExamineeRecord everyMark() {
  common::ExamineeRecord r = named("山田"_sj);
  r.EXAM_AM = 1;
  r.ECG_STRESS = 1;
  r.MASTER_DOUBLE = 1;
  return r;
}

TEST(ChartLayout, ColourSettingTwoIsBlueWithTheLightBlueCheck) {
  const Chart chart = draw(everyMark(), {}, {"1", "2"});
  for (const DrawCall& t : chart.page.texts()) EXPECT_EQ(t.colour, fw::rgb(0, 0, 255));
  ASSERT_FALSE(chart.of(DrawCall::Circle).empty());
  for (const DrawCall& c : chart.of(DrawCall::Circle)) EXPECT_EQ(c.colour, fw::rgb(0, 0, 255));
  ASSERT_EQ(chart.of(DrawCall::Bitmap).size(), 1u);
  EXPECT_EQ(chart.of(DrawCall::Bitmap)[0].text, "CHECK_2");

  fw::RecordingSurface page;
  page.setForeColor(fw::rgb(0, 0, 255));  // left over from a blue chart
  drawChart(page, everyMark(), {}, {"1", "1"}, {});
  for (const DrawCall& c : page.calls) {
    if (c.type == DrawCall::Text || c.type == DrawCall::Circle) {
      EXPECT_EQ(c.colour, 0u);
    }
    if (c.type == DrawCall::Bitmap) {
      EXPECT_EQ(c.text, "CHECK_1");
    }
  }
}

TEST(ChartLayout, EscAtTheFirstCheckpointDrawsNothing) {
  ChartDrawing drawing;
  drawing.checkpoints = singlePrintCheckpoints();
  drawing.escHeld = [] { return true; };
  const Chart chart = draw(everyMark(), {}, {}, drawing);
  EXPECT_EQ(chart.result, ChartResult::StoppedByEsc);
  EXPECT_TRUE(chart.page.calls.empty());
}

TEST(ChartLayout, SinglePrintChecksEscBetweenItemGroups) {
  // Held from the n-th look on: the items drawn tell where the looks are.
  struct Case { int looksBeforeHeld; size_t texts; };
  // Looks: before 1, after 9, 10, 17, 20, 24, 30, 34.
  const Case cases[] = {{1, 7}, {2, 8}, {3, 13}, {5, 18}, {6, 19}, {7, 22}, {8, 22}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.looksBeforeHeld);
    int looks = 0;
    ChartDrawing drawing;
    drawing.checkpoints = singlePrintCheckpoints();
    drawing.escHeld = [&] { return ++looks > c.looksBeforeHeld; };
    const Chart chart = draw(named("山田"_sj), {}, {}, drawing);
    EXPECT_EQ(chart.page.texts().size(), c.texts);
    EXPECT_EQ(chart.result, c.looksBeforeHeld < 8 ? ChartResult::StoppedByEsc
                                                  : ChartResult::Completed);
  }
}

// A page whose type size cannot be set: the print procedures skip a failing
// statement and go on.
class FailingSizePage : public fw::RecordingSurface {
 public:
  void setFontSize(float) override { fw::raise(fw::err::InvalidArgument); }
};

TEST(ChartLayout, FailingDrawingStatementIsSkipped) {
  FailingSizePage page;
  const ChartResult result = drawChart(page, named("山田"_sj), {}, {}, {});
  EXPECT_EQ(result, ChartResult::Completed);
  EXPECT_EQ(page.texts().size(), 22u);
}

}  // namespace
}  // namespace printing
