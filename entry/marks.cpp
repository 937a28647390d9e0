// Drawing of the main window's picture and its option marks.
#include "entry/marks.h"

#include "framework/core/strings.h"
#include "framework/form/window.h"

namespace entry {

using fw::Surface;
using namespace fw::literals;

namespace {

// Text colours are numbers of the 16-colour text palette; the colour
// statement reaches numbers 8..15 through mode 4 and 0..7 through mode 0.
constexpr int kBlack = 8;
constexpr int kRed = 10;
constexpr int kWhite = 15;
constexpr int kShadow = 7;
constexpr int kNote = 1;
// Rings are drawn in colour 5 of the shape palette (red), two pixels wide.
constexpr int kRingColour = 5;
constexpr double kRingWidth = 2;

const fw::Str& gothic() {
  static const fw::Str face = "ＭＳ ゴシック"_sj;
  return face;
}
const fw::Str& mincho() {
  static const fw::Str face = "ＭＳ 明朝"_sj;
  return face;
}

void textColour(Surface& s, int number) { s.setForeColor(fw::textPaletteColour(number)); }

void font(Surface& s, const fw::Str& face, float points, bool bold) {
  s.setFontName(face);
  s.setFontSize(points);
  s.setFontBold(bold);
}

void textAt(Surface& s, double x, double y, const fw::Str& text) {
  s.setPosition(x, y);
  s.print(text);
}

// A rectangle filled and outlined in the background colour.
void eraseBox(Surface& s, double x1, double y1, double x2, double y2) {
  s.setForeColor(kWindowBackground);
  s.setFillColor(kWindowBackground);
  s.line(x1, y1, x2, y2, -1, 2);
}

void ring(Surface& s, double x, double y, double r, float aspect) {
  s.setLineWidth(kRingWidth);
  s.circle(x, y, r, kRingColour, aspect);
  s.setLineWidth(0);
}

// The same ring in the background colour and width wipes out a ring.
void eraseRing(Surface& s, double x, double y, double r) {
  s.setLineWidth(kRingWidth);
  s.setForeColor(kWindowBackground);
  s.setFillColor(kWindowBackground);
  s.circle(x, y, r, -1, 1.0f);
  s.setLineWidth(0);
}

// Two words in ＭＳ ゴシック 20 bold black, the form of every choice area.
void twoWords(Surface& s, double x1, double y1, const fw::Str& w1, double x2, double y2,
              const fw::Str& w2) {
  font(s, gothic(), 20, true);
  textColour(s, kBlack);
  textAt(s, x1, y1, w1);
  textAt(s, x2, y2, w2);
  s.setFontBold(false);
}

struct TickPlace {
  double x, y;
  // Erase box, or none (x2 == 0).
  double ex1, ey1, ex2, ey2;
};

TickPlace tickPlace(Tick tick) {
  switch (tick) {
    case Tick::Half: return {564, 511, 567, 511, 597, 541};
    case Tick::Quarter: return {648, 511, 651, 511, 681, 541};
    case Tick::Double: return {837, 511, 840, 511, 870, 541};
    case Tick::StressOther: return {914, 511, 0, 0, 0, 0};
    case Tick::RequestKind: return {691, 301, 693, 301, 728, 331};
  }
  return {0, 0, 0, 0, 0, 0};
}

Surface& picture() { return fw::mainWindow().surface(); }

}  // namespace

void AM_PM_KESITEKAKU(Surface& s) {
  eraseBox(s, 433, 125, 500, 190);
  twoWords(s, 445, 135, "A.M.", 445, 163, "P.M.");
}

void SEX_KESITEKAKU(Surface& s) {
  eraseBox(s, 1084, 214, 1127, 279);
  twoWords(s, 1094, 224, "男"_sj, 1094, 252, "女"_sj);
}

void IRAI_KESITEKAKU(Surface& s) {
  eraseBox(s, 518, 306, 728, 351);
  twoWords(s, 547, 324, "外来"_sj, 645, 324, "入院"_sj);
}

void KAKUDAKE(Surface& s) {
  font(s, gothic(), 16, true);
  textColour(s, kBlack);
  textAt(s, 400, 527, " Single 　1.5分(　  1/2回,"_sj);
  textAt(s, 662, 527, "1/4回 )"_sj);
  textAt(s, 762, 527, "Double　  ３分"_sj);
  s.setFontBold(false);
}

void KESITE_KAKU(Surface& s) {
  eraseBox(s, 395, 490, 946, 555);
  KAKUDAKE(s);
}

void AM_MARU(Surface& s) { ring(s, 463, 143, 27, 0.4f); }
void PM_MARU(Surface& s) { ring(s, 463, 171, 27, 0.4f); }
void MAL_MARU(Surface& s) { ring(s, 1103, 233, 15, 1.0f); }
void FEM_MARU(Surface& s) { ring(s, 1103, 261, 15, 1.0f); }
void GAI_MARU(Surface& s) { ring(s, 567, 332, 27, 0.4f); }
void NYU_MARU(Surface& s) { ring(s, 667, 332, 27, 0.4f); }

void MARU1_KAKU(Surface& s) { ring(s, 97, 493, 20, 1.0f); }
void MARU1_KESU(Surface& s) { eraseRing(s, 97, 493, 20); }
void MARU2_KAKU(Surface& s) { ring(s, 97, 535, 20, 1.0f); }
void MARU2_KESU(Surface& s) { eraseRing(s, 97, 535, 20); }

void CHECK_KAKU(Surface& s, Tick tick) {
  const TickPlace p = tickPlace(tick);
  font(s, mincho(), 32, true);
  textColour(s, kRed);
  // Drawn twice, one pixel apart, for a heavier stroke.
  textAt(s, p.x, p.y, "レ"_sj);
  textAt(s, p.x + 1, p.y + 1, "レ"_sj);
  s.setFontBold(false);
}

void CHECK_KESU(Surface& s, Tick tick) {
  const TickPlace p = tickPlace(tick);
  if (p.ex2 == 0) {
    KESITE_KAKU(s);
    return;
  }
  eraseBox(s, p.ex1, p.ey1, p.ex2, p.ey2);
}

void paintInitialPicture(Surface& s) {
  s.setBackColor(kWindowBackground);
  s.clear();
  AM_PM_KESITEKAKU(s);
  SEX_KESITEKAKU(s);
  IRAI_KESITEKAKU(s);

  font(s, gothic(), 42, false);
  // The title's shadow lies two pixels off, unlike the notes' one pixel.
  textColour(s, kShadow);
  textAt(s, 472, 17, "心　電　図"_sj);
  textColour(s, kBlack);
  textAt(s, 470, 15, "心　電　図"_sj);

  font(s, gothic(), 20, true);
  textColour(s, kBlack);
  textAt(s, 428, 60, "《 心電図自動解析装置専用 》"_sj);
  textAt(s, 85, 484, "１. 安静時心電図"_sj);
  textAt(s, 85, 525, "２. 負荷後心電図"_sj);
  s.setFontBold(false);

  font(s, gothic(), 14, false);
  textColour(s, kBlack);
  textAt(s, 947, 508, "(その他)"_sj);

  const struct {
    int y;
    const char* text;
  } notes[] = {
      {786, "※ 印刷の際は、カルテをプリンターの背面トレイにセットして、プリンターの印刷設定プロパティにおける「給紙方法」で「背面トレイ」を選択し印刷して下さい"},
      {805, "※ 入力欄に入力する場合は、最後に必ずエンターKeyを押して下さいますようお願いいたします"},
      {824, "※ 各種検索ルーチンまた、印刷ルーチンにおいて、途中で停止したい場合は、[Esc]keyを押して停止することができます"},
  };
  for (const auto& n : notes) {
    fw::printWithShadow(s, 35, n.y, fw::sj(n.text), fw::textPaletteColour(kWhite),
                        fw::textPaletteColour(kNote));
  }

  KESITE_KAKU(s);
}

void paintInitialPicture() {
  fw::Control& memo = fw::ctl("TEXT140");
  memo.setFontName(gothic());
  memo.setFontSize(22);
  paintInitialPicture(picture());
}

void repaintMarks(Surface& s, const ExamineeRecord& r) {
  AM_PM_KESITEKAKU(s);
  if (r.EXAM_AM == 1) AM_MARU(s);
  else if (r.EXAM_PM == 1) PM_MARU(s);

  SEX_KESITEKAKU(s);
  if (r.SEX_MALE == 1) MAL_MARU(s);
  else if (r.SEX_FEMALE == 1) FEM_MARU(s);

  IRAI_KESITEKAKU(s);
  if (r.OUTPATIENT == 1) GAI_MARU(s);
  else if (r.INPATIENT == 1) NYU_MARU(s);

  // The Master-test area and both circles are wiped first, so that marks of
  // the previous record never stay behind.
  KESITE_KAKU(s);
  if (r.ECG_REST == 1) MARU1_KAKU(s); else MARU1_KESU(s);
  if (r.ECG_STRESS == 1) MARU2_KAKU(s); else MARU2_KESU(s);
  if (r.MASTER_HALF == 1) CHECK_KAKU(s, Tick::Half);
  else if (r.MASTER_QUARTER == 1) CHECK_KAKU(s, Tick::Quarter);
  else if (r.MASTER_DOUBLE == 1) CHECK_KAKU(s, Tick::Double);
  else if (!fw::trim(r.STRESS_OTHER).empty()) CHECK_KAKU(s, Tick::StressOther);

  if (r.REQUEST_KIND >= 1) CHECK_KAKU(s, Tick::RequestKind);
  else CHECK_KESU(s, Tick::RequestKind);
}

void repaintMarks() {
  ExamineeRecord r;
  r.EXAM_AM = fw::ctl("CHECK1").value();
  r.EXAM_PM = fw::ctl("CHECK2").value();
  r.SEX_MALE = fw::ctl("CHECK3").value();
  r.SEX_FEMALE = fw::ctl("CHECK4").value();
  r.OUTPATIENT = fw::ctl("CHECK5").value();
  r.INPATIENT = fw::ctl("CHECK6").value();
  r.REQUEST_KIND = fw::ctl("COMBO2").selectedIndex();
  r.ECG_REST = fw::ctl("CHECK7").value();
  r.ECG_STRESS = fw::ctl("CHECK8").value();
  r.MASTER_HALF = fw::ctl("CHECK9").value();
  r.MASTER_QUARTER = fw::ctl("CHECK10").value();
  r.MASTER_DOUBLE = fw::ctl("CHECK11").value();
  r.STRESS_OTHER = fw::ctl("EDIT20").text();
  repaintMarks(picture(), r);
}

void AM_PM_KESITEKAKU() { AM_PM_KESITEKAKU(picture()); }
void SEX_KESITEKAKU() { SEX_KESITEKAKU(picture()); }
void IRAI_KESITEKAKU() { IRAI_KESITEKAKU(picture()); }
void KESITE_KAKU() { KESITE_KAKU(picture()); }
void KAKUDAKE() { KAKUDAKE(picture()); }
void AM_MARU() { AM_MARU(picture()); }
void PM_MARU() { PM_MARU(picture()); }
void MAL_MARU() { MAL_MARU(picture()); }
void FEM_MARU() { FEM_MARU(picture()); }
void GAI_MARU() { GAI_MARU(picture()); }
void NYU_MARU() { NYU_MARU(picture()); }
void MARU1_KAKU() { MARU1_KAKU(picture()); }
void MARU1_KESU() { MARU1_KESU(picture()); }
void MARU2_KAKU() { MARU2_KAKU(picture()); }
void MARU2_KESU() { MARU2_KESU(picture()); }
void CHECK_KAKU(Tick tick) { CHECK_KAKU(picture(), tick); }
void CHECK_KESU(Tick tick) { CHECK_KESU(picture(), tick); }

}  // namespace entry
