// The main window's drawn picture, its option marks and the click areas.
#include "entry/marks.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "entry/state.h"
#include "framework/core/str.h"
#include "framework/form/events.h"
#include "framework/form/program.h"
#include "framework/form/recording_surface.h"
#include "framework/form/testing.h"
#include "framework/form/window.h"
#include "tests/support/temp_dir.h"

using namespace fw::literals;
using entry::ClickArea;
using entry::Tick;
using fw::DrawCall;

namespace {

constexpr uint32_t kB = fw::rgb(241, 245, 250);
constexpr uint32_t kRed = fw::rgb(255, 0, 0);
constexpr uint32_t kBlack = fw::rgb(0, 0, 0);
constexpr uint32_t kWhite = fw::rgb(255, 255, 255);

const fw::Str kGothic = "ＭＳ ゴシック"_sj;
const fw::Str kMincho = "ＭＳ 明朝"_sj;

std::vector<DrawCall> ofType(const fw::RecordingSurface& s, DrawCall::Type type) {
  std::vector<DrawCall> out;
  for (const DrawCall& c : s.calls) {
    if (c.type == type) out.push_back(c);
  }
  return out;
}

const DrawCall* findText(const std::vector<DrawCall>& texts, const fw::Str& text, double x,
                         double y) {
  for (const DrawCall& c : texts) {
    if (c.text == text && c.x == x && c.y == y) return &c;
  }
  return nullptr;
}

// ---------------------------------------------------------------------------
// The picture as data.

TEST(InitialPicture, TextsWithTheirFontsAndColours) {
  fw::RecordingSurface s;
  entry::paintInitialPicture(s);
  ASSERT_FALSE(s.calls.empty());
  EXPECT_EQ(s.calls.front().type, DrawCall::Clear);
  EXPECT_EQ(s.backColor(), kB);

  struct Row {
    const char* text;
    double x, y;
    float size;
    bool bold;
    uint32_t colour;
  };
  const uint32_t shadow = fw::foregroundPaletteColour(7, 0);
  const uint32_t noteColour = fw::foregroundPaletteColour(1, 0);
  const char* notes[] = {
      "※ 印刷の際は、カルテをプリンターの背面トレイにセットして、プリンターの印刷設定プロパティにおける「給紙方法」で「背面トレイ」を選択し印刷して下さい",
      "※ 入力欄に入力する場合は、最後に必ずエンターKeyを押して下さいますようお願いいたします",
      "※ 各種検索ルーチンまた、印刷ルーチンにおいて、途中で停止したい場合は、[Esc]keyを押して停止することができます",
  };
  const std::vector<Row> rows = {
      {"A.M.", 445, 135, 20, true, kBlack},
      {"P.M.", 445, 163, 20, true, kBlack},
      {"男", 1094, 224, 20, true, kBlack},
      {"女", 1094, 252, 20, true, kBlack},
      {"外来", 547, 324, 20, true, kBlack},
      {"入院", 645, 324, 20, true, kBlack},
      {"心　電　図", 472, 17, 42, false, shadow},
      {"心　電　図", 470, 15, 42, false, kBlack},
      {"《 心電図自動解析装置専用 》", 428, 60, 20, true, kBlack},
      {"１. 安静時心電図", 85, 484, 20, true, kBlack},
      {"２. 負荷後心電図", 85, 525, 20, true, kBlack},
      {"(その他)", 947, 508, 14, false, kBlack},
      {notes[0], 36, 787, 14, false, kWhite},
      {notes[0], 35, 786, 14, false, noteColour},
      {notes[1], 36, 806, 14, false, kWhite},
      {notes[1], 35, 805, 14, false, noteColour},
      {notes[2], 36, 825, 14, false, kWhite},
      {notes[2], 35, 824, 14, false, noteColour},
      {" Single 　1.5分(　  1/2回,", 400, 527, 16, true, kBlack},
      {"1/4回 )", 662, 527, 16, true, kBlack},
      {"Double　  ３分", 762, 527, 16, true, kBlack},
  };
  const std::vector<DrawCall> texts = s.texts();
  EXPECT_EQ(texts.size(), rows.size());
  for (const Row& row : rows) {
    SCOPED_TRACE(row.text);
    const DrawCall* c = findText(texts, fw::sj(row.text), row.x, row.y);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->face, kGothic);
    EXPECT_EQ(c->size, row.size);
    EXPECT_EQ(c->bold, row.bold);
    EXPECT_EQ(c->colour, row.colour);
  }
  // The shadow of the title is drawn before the title itself.
  EXPECT_EQ(texts[6].x, 472);
  EXPECT_EQ(texts[7].x, 470);
  // Nothing is ringed or ticked on an empty picture.
  EXPECT_TRUE(ofType(s, DrawCall::Circle).empty());
  EXPECT_FALSE(s.fontBold());
}

TEST(MarkProcedures, RingsAreRedTwoPixelsWideThenTheWidthIsReset) {
  struct Row {
    const char* name;
    void (*procedure)(fw::Surface&);
    double x, y, r;
    float aspect;
    uint32_t colour;
  };
  const Row rows[] = {
      {"AM_MARU", entry::AM_MARU, 463, 143, 27, 0.4f, kRed},
      {"PM_MARU", entry::PM_MARU, 463, 171, 27, 0.4f, kRed},
      {"MAL_MARU", entry::MAL_MARU, 1103, 233, 15, 1.0f, kRed},
      {"FEM_MARU", entry::FEM_MARU, 1103, 261, 15, 1.0f, kRed},
      {"GAI_MARU", entry::GAI_MARU, 567, 332, 27, 0.4f, kRed},
      {"NYU_MARU", entry::NYU_MARU, 667, 332, 27, 0.4f, kRed},
      {"MARU1_KAKU", entry::MARU1_KAKU, 97, 493, 20, 1.0f, kRed},
      {"MARU2_KAKU", entry::MARU2_KAKU, 97, 535, 20, 1.0f, kRed},
      {"MARU1_KESU", entry::MARU1_KESU, 97, 493, 20, 1.0f, kB},
      {"MARU2_KESU", entry::MARU2_KESU, 97, 535, 20, 1.0f, kB},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fw::RecordingSurface s;
    row.procedure(s);
    s.line(0, 0, 1, 1, -1, 0);  // shows the width left behind
    ASSERT_EQ(s.calls.size(), 2u);
    const DrawCall& c = s.calls[0];
    EXPECT_EQ(c.type, DrawCall::Circle);
    EXPECT_EQ(c.x, row.x);
    EXPECT_EQ(c.y, row.y);
    EXPECT_EQ(c.radius, row.r);
    EXPECT_FLOAT_EQ(c.aspect, row.aspect);
    EXPECT_EQ(c.colour, row.colour);
    EXPECT_EQ(c.lineWidth, 2);
    EXPECT_EQ(c.kind, 0);  // an outline
    EXPECT_EQ(s.calls[1].lineWidth, 0);
  }
}

TEST(MarkProcedures, CheckMarksAndTheirErasures) {
  struct Row {
    Tick tick;
    double x, y;
    double ex1, ey1, ex2, ey2;
  };
  const Row rows[] = {
      {Tick::Half, 564, 511, 567, 511, 597, 541},
      {Tick::Quarter, 648, 511, 651, 511, 681, 541},
      {Tick::Double, 837, 511, 840, 511, 870, 541},
      {Tick::RequestKind, 691, 301, 693, 301, 728, 331},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.x);
    fw::RecordingSurface s;
    entry::CHECK_KAKU(s, row.tick);
    const std::vector<DrawCall> texts = s.texts();
    ASSERT_EQ(texts.size(), 2u);
    for (int i = 0; i < 2; ++i) {
      EXPECT_EQ(texts[i].text, "レ"_sj);
      EXPECT_EQ(texts[i].x, row.x + i);
      EXPECT_EQ(texts[i].y, row.y + i);
      EXPECT_EQ(texts[i].face, kMincho);
      EXPECT_EQ(texts[i].size, 32);
      EXPECT_TRUE(texts[i].bold);
      EXPECT_EQ(texts[i].colour, kRed);
    }
    fw::RecordingSurface e;
    entry::CHECK_KESU(e, row.tick);
    ASSERT_EQ(e.calls.size(), 1u);
    EXPECT_EQ(e.calls[0].kind, 2);
    EXPECT_EQ(e.calls[0].colour, kB);
    EXPECT_EQ(e.calls[0].x, row.ex1);
    EXPECT_EQ(e.calls[0].y, row.ey1);
    EXPECT_EQ(e.calls[0].x2, row.ex2);
    EXPECT_EQ(e.calls[0].y2, row.ey2);
  }
  fw::RecordingSurface other;
  entry::CHECK_KAKU(other, Tick::StressOther);
  EXPECT_EQ(other.texts().at(0).x, 914);
  EXPECT_EQ(other.texts().at(0).y, 511);
}

TEST(MarkProcedures, AreaRepaintsEraseTheirBoxThenRedrawTheWords) {
  struct Row {
    const char* name;
    void (*procedure)(fw::Surface&);
    double x1, y1, x2, y2;
    std::vector<std::pair<const char*, std::pair<double, double>>> words;
    float size;
  };
  const Row rows[] = {
      {"AM_PM_KESITEKAKU", entry::AM_PM_KESITEKAKU, 433, 125, 500, 190,
       {{"A.M.", {445, 135}}, {"P.M.", {445, 163}}}, 20},
      {"SEX_KESITEKAKU", entry::SEX_KESITEKAKU, 1084, 214, 1127, 279,
       {{"男", {1094, 224}}, {"女", {1094, 252}}}, 20},
      {"IRAI_KESITEKAKU", entry::IRAI_KESITEKAKU, 518, 306, 728, 351,
       {{"外来", {547, 324}}, {"入院", {645, 324}}}, 20},
      {"KESITE_KAKU", entry::KESITE_KAKU, 395, 490, 946, 555,
       {{" Single 　1.5分(　  1/2回,", {400, 527}},
        {"1/4回 )", {662, 527}},
        {"Double　  ３分", {762, 527}}},
       16},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fw::RecordingSurface s;
    row.procedure(s);
    ASSERT_EQ(s.calls.size(), 1 + row.words.size());
    // First the box, filled and outlined in the background, at the width
    // the rings left behind (the default).
    const DrawCall& box = s.calls[0];
    EXPECT_EQ(box.type, DrawCall::Line);
    EXPECT_EQ(box.kind, 2);
    EXPECT_EQ(box.colour, kB);
    EXPECT_EQ(box.lineWidth, 0);
    EXPECT_EQ(box.x, row.x1);
    EXPECT_EQ(box.y, row.y1);
    EXPECT_EQ(box.x2, row.x2);
    EXPECT_EQ(box.y2, row.y2);
    for (std::size_t i = 0; i < row.words.size(); ++i) {
      const DrawCall& t = s.calls[1 + i];
      EXPECT_EQ(t.text, fw::sj(row.words[i].first));
      EXPECT_EQ(t.x, row.words[i].second.first);
      EXPECT_EQ(t.y, row.words[i].second.second);
      EXPECT_EQ(t.face, kGothic);
      EXPECT_EQ(t.size, row.size);
      EXPECT_TRUE(t.bold);
      EXPECT_EQ(t.colour, kBlack);
    }
    EXPECT_FALSE(s.fontBold());  // bold off afterwards
  }
  // KAKUDAKE draws the labels only: no box.
  fw::RecordingSurface labels;
  entry::KAKUDAKE(labels);
  EXPECT_TRUE(ofType(labels, DrawCall::Line).empty());
  EXPECT_EQ(labels.texts().size(), 3u);
}

TEST(RepaintMarks, LoadedRecordGetsItsRingsAndChecksAndNothingElse) {
  common::ExamineeRecord r;
  r.EXAM_PM = 1;
  r.SEX_FEMALE = 1;
  r.ECG_STRESS = 1;
  r.MASTER_QUARTER = 1;
  r.REQUEST_KIND = 9;
  fw::RecordingSurface s;
  entry::repaintMarks(s, r);

  std::vector<std::pair<double, double>> red;
  bool ring1Erased = false;
  for (const DrawCall& c : ofType(s, DrawCall::Circle)) {
    if (c.colour == kRed) red.emplace_back(c.x, c.y);
    if (c.colour == kB && c.x == 97 && c.y == 493) ring1Erased = true;
  }
  const std::vector<std::pair<double, double>> expected = {
      {463, 171}, {1103, 261}, {97, 535}};
  EXPECT_EQ(red, expected);
  EXPECT_TRUE(ring1Erased);
  const std::vector<DrawCall> texts = s.texts();
  EXPECT_NE(findText(texts, "レ"_sj, 648, 511), nullptr);
  EXPECT_NE(findText(texts, "レ"_sj, 691, 301), nullptr);
  EXPECT_EQ(findText(texts, "レ"_sj, 564, 511), nullptr);

  // A record with a blank STRESS_OTHER and no category ticks nothing.
  common::ExamineeRecord blank;
  blank.STRESS_OTHER = "　"_sj;
  blank.REQUEST_KIND = 0;
  fw::RecordingSurface b;
  entry::repaintMarks(b, blank);
  EXPECT_EQ(findText(b.texts(), "レ"_sj, 914, 511), nullptr);
  for (const DrawCall& c : ofType(b, DrawCall::Circle)) EXPECT_EQ(c.colour, kB);
}

TEST(ClickAreas, OpenAndClosedBounds) {
  struct Row {
    double x, y;
    ClickArea area;
  };
  const Row rows[] = {
      // Open bounds: the limits themselves are outside.
      {76, 490, ClickArea::None},       {77, 490, ClickArea::EcgRest},
      {265, 490, ClickArea::EcgRest},   {266, 490, ClickArea::None},
      {150, 477, ClickArea::None},      {150, 478, ClickArea::EcgRest},
      {150, 507, ClickArea::None},      {150, 535, ClickArea::EcgStress},
      {565, 535, ClickArea::None},      {566, 535, ClickArea::MasterHalf},
      {620, 535, ClickArea::None},      {680, 521, ClickArea::MasterQuarter},
      {870, 549, ClickArea::MasterDouble}, {898, 535, ClickArea::None},
      // Closed bounds: the limits are inside.
      {433, 140, ClickArea::Am},        {432, 140, ClickArea::None},
      {488, 153, ClickArea::Am},        {489, 153, ClickArea::None},
      {433, 132, ClickArea::Am},        {433, 131, ClickArea::None},
      {460, 160, ClickArea::Pm},        {460, 181, ClickArea::Pm},
      {460, 156, ClickArea::None},      {1079, 220, ClickArea::Male},
      {1124, 246, ClickArea::Male},     {1124, 248, ClickArea::Female},
      {1100, 247, ClickArea::None},     {538, 319, ClickArea::Outpatient},
      {595, 346, ClickArea::Outpatient}, {636, 346, ClickArea::Inpatient},
      {693, 319, ClickArea::Inpatient}, {694, 319, ClickArea::None},
      {0, 0, ClickArea::None},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(entry::clickAreaAt(row.x, row.y), row.area) << row.x << "," << row.y;
  }
}

// ---------------------------------------------------------------------------
// The marks on the main window's own picture, driven by mouse clicks.

class MainWindowMarks : public ::testing::Test {
 protected:
  void SetUp() override {
    fw::resetForTests();
    ASSERT_TRUE(fw::initForTests());
    fw::unregisterAllProcedures();
    entry::registerMarkProcedures();
    entry::EDIT_COUNT = 0;
    entry::paintInitialPicture();
    fw::Control& combo2 = fw::ctl("COMBO2");
    combo2.clearItems();
    for (int i = 0; i < 17; ++i) combo2.addItem(std::to_string(i));
  }
  void TearDown() override {
    fw::unregisterAllProcedures();
    fw::resetForTests();
  }

  static void clickAt(int x, int y) {
    fw::testing::mouseClick(fw::mainWindow(), x, y);
    fw::waitForEvents();
  }
  static int value(const char* box) { return fw::ctl(box).value(); }
  static uint32_t pixel(int x, int y) { return fw::mainWindow().picturePixel(x, y); }

  // Counts the red pixels of the picture in the rectangle (inclusive).
  static int redPixels(int x1, int y1, int x2, int y2) {
    int n = 0;
    for (int y = y1; y <= y2; ++y) {
      for (int x = x1; x <= x2; ++x) n += pixel(x, y) == kRed;
    }
    return n;
  }
  // The ring of radius 20 around (cx, cy): red on its left, right, top and bottom.
  static bool ringed(int cx, int cy) {
    return redPixels(cx - 22, cy - 1, cx - 18, cy + 1) > 0 &&
           redPixels(cx + 18, cy - 1, cx + 22, cy + 1) > 0 &&
           redPixels(cx - 1, cy - 22, cx + 1, cy - 18) > 0 &&
           redPixels(cx - 1, cy + 18, cx + 1, cy + 22) > 0;
  }
  static int ringPixels(int cx, int cy) { return redPixels(cx - 23, cy - 23, cx + 23, cy + 23); }

  void savePicture(const std::string& name) {
    EXPECT_TRUE(fw::mainWindow().saveScreenshot(pictures.file(name)));
  }
  tessivo::test::TempDir pictures;
};

TEST_F(MainWindowMarks, InitialPictureIsBackgroundWithBlackWords) {
  savePicture("initial.png");
  EXPECT_EQ(pixel(5, 5), kB);
  EXPECT_EQ(redPixels(0, 0, 1180, 900), 0);
  // Some of the bold label "１. 安静時心電図" is black.
  int black = 0;
  for (int y = 484; y < 510; ++y) {
    for (int x = 85; x < 265; ++x) black += pixel(x, y) == kBlack;
  }
  EXPECT_GT(black, 50);
}

TEST_F(MainWindowMarks, HalfWhileRestIsRingedMovesTheRingAndTicks) {
  clickAt(150, 490);
  ASSERT_EQ(value("CHECK7"), 1);
  EXPECT_TRUE(ringed(97, 493));

  clickAt(590, 535);
  EXPECT_EQ(value("CHECK7"), 0);
  EXPECT_EQ(value("CHECK8"), 1);
  EXPECT_EQ(value("CHECK9"), 1);
  EXPECT_EQ(ringPixels(97, 493) - redPixels(74, 512, 120, 516), 0);  // ring １ gone
  EXPECT_TRUE(ringed(97, 535));
  EXPECT_GT(redPixels(564, 511, 610, 560), 20);  // the "レ" at (564, 511)
  EXPECT_EQ(entry::EDIT_COUNT, 2);
  savePicture("half-after-rest.png");

  // A second click takes back only the check mark; the ring at ２ stays.
  clickAt(590, 535);
  EXPECT_EQ(value("CHECK9"), 0);
  EXPECT_EQ(value("CHECK8"), 1);
  EXPECT_TRUE(ringed(97, 535));
  EXPECT_EQ(redPixels(567, 511, 597, 541), 0);
  EXPECT_EQ(entry::EDIT_COUNT, 3);
}

TEST_F(MainWindowMarks, MasterChoicesExcludeEachOther) {
  fw::ctl("EDIT20").setText("階段"_sj);
  clickAt(590, 535);
  clickAt(870, 535);
  EXPECT_EQ(value("CHECK9"), 0);
  EXPECT_EQ(value("CHECK11"), 1);
  EXPECT_EQ(fw::ctl("EDIT20").text(), "");
  EXPECT_EQ(redPixels(567, 511, 597, 541), 0);
  EXPECT_GT(redPixels(837, 511, 890, 560), 20);
  savePicture("double.png");

  // Unticking 負荷後 clears the Master choice and its mark.
  clickAt(150, 535);
  EXPECT_EQ(value("CHECK8"), 0);
  EXPECT_EQ(value("CHECK11"), 0);
  EXPECT_EQ(redPixels(395, 490, 946, 555), 0);
  EXPECT_EQ(ringPixels(97, 535), 0);
}

TEST_F(MainWindowMarks, AmClickedTwiceLeavesNoRing) {
  clickAt(433, 140);  // the closed bound acts
  EXPECT_EQ(value("CHECK1"), 1);
  EXPECT_GT(redPixels(433, 125, 500, 190), 0);
  clickAt(460, 140);
  EXPECT_EQ(value("CHECK1"), 0);
  EXPECT_EQ(value("CHECK2"), 0);
  EXPECT_EQ(redPixels(425, 120, 505, 195), 0);
  EXPECT_EQ(entry::EDIT_COUNT, 2);
}

TEST_F(MainWindowMarks, OutpatientMovesTheRingAndResetsTheCategory) {
  fw::ctl("COMBO2").setSelectedIndex(9);
  clickAt(560, 330);
  EXPECT_EQ(fw::ctl("COMBO2").selectedIndex(), 0);
  clickAt(660, 330);
  EXPECT_EQ(value("CHECK5"), 0);
  EXPECT_EQ(value("CHECK6"), 1);
  EXPECT_EQ(redPixels(518, 306, 610, 351), 0);
  EXPECT_GT(redPixels(618, 306, 700, 351), 0);
  savePicture("inpatient.png");
}

TEST_F(MainWindowMarks, RestClickedWhileAMasterTestIsTickedClearsTheStressGroup) {
  clickAt(680, 535);  // 1/4回
  fw::ctl("EDIT20").setText("階段"_sj);
  ASSERT_EQ(value("CHECK8"), 1);
  ASSERT_EQ(value("CHECK10"), 1);

  clickAt(150, 490);
  EXPECT_EQ(value("CHECK7"), 1);
  for (const char* box : {"CHECK8", "CHECK9", "CHECK10", "CHECK11"}) {
    EXPECT_EQ(value(box), 0) << box;
  }
  EXPECT_EQ(fw::ctl("EDIT20").text(), "");
  EXPECT_TRUE(ringed(97, 493));
  EXPECT_EQ(ringPixels(97, 535) - redPixels(74, 512, 120, 516), 0);  // ring ２ gone
  EXPECT_EQ(redPixels(395, 490, 946, 555), 0);                       // tick gone
  EXPECT_EQ(entry::EDIT_COUNT, 2);

  // Clicked again: only ring １ goes; nothing else changes.
  clickAt(150, 490);
  EXPECT_EQ(value("CHECK7"), 0);
  EXPECT_EQ(ringPixels(97, 493) - redPixels(74, 512, 120, 516), 0);
  EXPECT_EQ(entry::EDIT_COUNT, 3);
}

TEST_F(MainWindowMarks, StressClickedTwiceTicksThenClearsTheWholeGroup) {
  clickAt(150, 490);  // 安静時 first: ２ takes its place
  clickAt(150, 535);
  EXPECT_EQ(value("CHECK7"), 0);
  EXPECT_EQ(value("CHECK8"), 1);
  EXPECT_TRUE(ringed(97, 535));
  EXPECT_EQ(ringPixels(97, 493) - redPixels(74, 512, 120, 516), 0);

  clickAt(870, 535);  // Double ３分
  clickAt(150, 535);  // 負荷後 off: the Master choice and its tick go too
  EXPECT_EQ(value("CHECK8"), 0);
  EXPECT_EQ(value("CHECK11"), 0);
  EXPECT_EQ(redPixels(395, 490, 946, 555), 0);
  EXPECT_EQ(entry::EDIT_COUNT, 4);
}

TEST_F(MainWindowMarks, PairClicksMoveTheFocusCloseTheImeAndLeaveCaptionsAlone) {
  // A caption made bold by the check-box handler stays bold: the click
  // areas change values and rings only.
  fw::ctl("CHECK3").setValue(1);
  fw::ctl("CHECK3").setFontBold(true);
  fw::ctl("EDIT13").setImeMode(4);

  clickAt(1100, 260);  // 女
  EXPECT_EQ(value("CHECK4"), 1);
  EXPECT_EQ(value("CHECK3"), 0);
  EXPECT_TRUE(fw::ctl("CHECK3").fontBold());
  EXPECT_FALSE(fw::ctl("CHECK4").fontBold());
  EXPECT_TRUE(fw::ctl("EDIT13").hasFocus());
  EXPECT_EQ(fw::ctl("EDIT13").imeMode(), 2);
  EXPECT_GT(redPixels(1084, 248, 1127, 279), 0);
  EXPECT_EQ(redPixels(1084, 214, 1127, 240), 0);  // no ring round 男

  clickAt(460, 170);  // P.M.
  EXPECT_EQ(value("CHECK2"), 1);
  EXPECT_TRUE(fw::ctl("EDIT5").hasFocus());

  clickAt(660, 330);  // 入院
  EXPECT_TRUE(fw::ctl("EDIT14").hasFocus());
  EXPECT_EQ(entry::EDIT_COUNT, 3);
}

TEST_F(MainWindowMarks, ClickOnAnOpenBoundDoesNothing) {
  clickAt(76, 490);
  EXPECT_EQ(value("CHECK7"), 0);
  EXPECT_EQ(entry::EDIT_COUNT, 0);
  EXPECT_EQ(redPixels(70, 470, 125, 520), 0);
  clickAt(300, 300);  // outside every area
  EXPECT_EQ(entry::EDIT_COUNT, 0);
}

}  // namespace
