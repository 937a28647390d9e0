#include "printing/position_check.h"

#include <cmath>
#include <string>

#include "common/correction_file.h"
#include "common/print_texts.h"
#include "entry/main_window_interface.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/dialogs.h"
#include "framework/form/print_run.h"
#include "framework/form/printer.h"
#include "framework/form/trap.h"
#include "framework/form/window.h"
#include "common/page_offset_file.h"
#include "printing/procedures.h"

namespace printing {

using namespace fw::literals;

namespace {

constexpr double kCrossArm = 60;            // page units each side of the anchor
constexpr float kLabelPoints = 7;
constexpr float kGridNumberPoints = 6;
constexpr double kLabelDx = 40, kLabelDy = -130;
constexpr double kGridNumberInset = 20;

double unitsOf(double millimetres) { return millimetres * kPageUnitsPerRealMillimetre; }

void drawGrid(fw::Surface& page, const CheckSheet& sheet) {
  const int across = static_cast<int>(std::floor(sheet.printableWidthMillimetres));
  const int down = static_cast<int>(std::floor(sheet.printableHeightMillimetres));
  const double right = unitsOf(sheet.printableWidthMillimetres);
  const double bottom = unitsOf(sheet.printableHeightMillimetres);
  // Fine lines first, so that the stronger ones lie on top where they cross.
  for (const bool strong : {false, true}) {
    fw::resumeNext([&] { page.setForeColor(strong ? kGridStrong : kGridFine); });
    for (int mm = 0; mm <= across; ++mm) {
      if ((mm % 5 == 0) != strong) continue;
      fw::resumeNext([&] { page.line(unitsOf(mm), 0, unitsOf(mm), bottom); });
    }
    for (int mm = 0; mm <= down; ++mm) {
      if ((mm % 5 == 0) != strong) continue;
      fw::resumeNext([&] { page.line(0, unitsOf(mm), right, unitsOf(mm)); });
    }
  }
  fw::resumeNext([&] { page.setForeColor(kGridNumber); });
  fw::resumeNext([&] { page.setFontSize(kGridNumberPoints); });
  for (int mm = 10; mm <= across; mm += 10) {
    const PagePoint at = topGridNumberPosition(mm);
    fw::resumeNext([&] { page.setPosition(at.x, at.y); });
    fw::resumeNext([&] { page.print(fw::trim(fw::str(static_cast<long>(mm)))); });
  }
  for (int mm = 10; mm <= down; mm += 10) {
    const PagePoint at = leftGridNumberPosition(mm);
    fw::resumeNext([&] { page.setPosition(at.x, at.y); });
    fw::resumeNext([&] { page.print(fw::trim(fw::str(static_cast<long>(mm)))); });
  }
}

void drawCrosses(fw::Surface& page, const common::ExamineeRecord& record,
                 const CorrectionTable& corrections, const PrintOptions& options) {
  fw::resumeNext([&] { page.setFontSize(kLabelPoints); });
  for (int k = 1; k <= kChartItemCount; ++k) {
    const PagePoint base = baseAnchor(k, record);
    const PagePoint at = correctedPosition(corrections, k, base.x, base.y,
                                           options.pageDxMillimetres, options.pageDyMillimetres);
    fw::resumeNext([&] { page.setForeColor(kCrossColour); });
    fw::resumeNext([&] { page.line(at.x - kCrossArm, at.y, at.x + kCrossArm, at.y); });
    fw::resumeNext([&] { page.line(at.x, at.y - kCrossArm, at.x, at.y + kCrossArm); });
    const PagePoint label = crossLabelPosition(at);
    fw::resumeNext([&] { page.setPosition(label.x, label.y); });
    fw::resumeNext([&] { page.print(crossLabel(k)); });
  }
}

void drawHeading(fw::Surface& page, const CheckSheet& sheet, const PrintOptions& options) {
  const fw::Str queue = sheet.queue.empty() ? "(既定のプリンター)"_sj : sheet.queue;
  const fw::Str line = "位置確認印刷　プリンター："_sj + queue + "　全体補正　タテ"_sj +
                       fw::str(options.pageDyMillimetres) + " ｍｍ　ヨコ"_sj +
                       fw::str(options.pageDxMillimetres) + " ｍｍ"_sj;
  fw::resumeNext([&] { page.setForeColor(kGridNumber); });
  fw::resumeNext([&] { page.setFontSize(9); });
  fw::resumeNext([&] { page.setPosition(unitsOf(12), unitsOf(3.5)); });
  fw::resumeNext([&] { page.print(line); });
}

}  // namespace

PagePoint crossLabelPosition(const PagePoint& anchor) {
  return {anchor.x + kLabelDx, anchor.y + kLabelDy};
}

fw::Str crossLabel(int item) { return "[" + std::to_string(item) + "]"; }

PagePoint topGridNumberPosition(int millimetres) {
  return {unitsOf(millimetres) + kGridNumberInset, kGridNumberInset};
}

PagePoint leftGridNumberPosition(int millimetres) {
  return {kGridNumberInset, unitsOf(millimetres) + kGridNumberInset};
}

void drawPositionCheck(fw::Surface& page, const common::ExamineeRecord& record,
                       const CorrectionTable& corrections, const PrintOptions& options,
                       const CheckSheet& sheet) {
  drawGrid(page, sheet);
  drawHeading(page, sheet, options);
  fw::resumeNext([&] { drawChart(page, record, corrections, options, ChartDrawing{}); });
  drawCrosses(page, record, corrections, options);
}

common::ExamineeRecord checkSampleExaminee() {
  common::ExamineeRecord r;
  r.EXAM_NO = "12345";
  r.EXAM_YEAR = "2024";
  r.EXAM_MONTH = "１２"_sj;
  r.EXAM_DAY = "２４"_sj;
  r.EXAM_AM = r.EXAM_PM = 1;
  r.EXAM_HOUR = "１０"_sj;
  r.EXAM_MINUTE = "30";
  r.CHART_NO = "0000000123";
  r.NAME = "見本　太郎"_sj;
  r.BIRTH_YEAR = "昭和45"_sj;
  r.BIRTH_MONTH = "３"_sj;
  r.BIRTH_DAY = "１５"_sj;
  r.AGE = "５４"_sj;
  r.SEX_MALE = r.SEX_FEMALE = 1;
  r.HOSPITAL = "見本医院"_sj;
  r.OUTPATIENT = r.INPATIENT = 1;
  r.REQUEST_KIND = 1;
  r.DOCTOR = "見本"_sj;
  r.WEIGHT = "62.5";
  r.BP_HIGH = "128";
  r.BP_LOW = "84";
  r.MEDICATION = "なし"_sj;
  r.PREGNANCY_MONTHS = "３"_sj;
  r.ECG_REST = r.ECG_STRESS = 1;
  r.MASTER_HALF = r.MASTER_QUARTER = r.MASTER_DOUBLE = 1;
  r.STRESS_OTHER = "階段"_sj;
  r.MINNESOTA_CODE = "9-2";
  r.FINDING_NAME = "正常範囲"_sj;
  r.DOCTOR_FINDING = "異常なし"_sj;
  return r;
}

void ITIKAKUNIN_INSATU() {
  const fw::Str title = "位置確認印刷"_sj;
  fw::Window* owner = FORM4.get();

  CorrectionTable corrections;
  fw::resumeNext([&] { corrections = common::readCorrections(); });
  common::ExamineeRecord record;
  fw::resumeNext([&] { record = entry::readFromMainWindow(); });
  if (fw::trim(record.NAME).empty()) record = checkSampleExaminee();

  fw::PrintRun run;
  run.choose("", fw::kPaperA4, fw::kLandscape);
  if (run.dialog()) {
    if (owner) fw::resumeNext([&] { owner->setMousePointer(fw::pointer::Hourglass); });
    run.startDocument(common::text::kPrintDocumentName);
    run.newPage();
    fw::resumeNext([&] { run.printer().setScaleMode(kChartScaleMode); });
    CheckSheet sheet;
    sheet.queue = run.queueName();
    fw::resumeNext([&] {
      const fw::PageGeometry g = fw::pageGeometry(sheet.queue, fw::kPaperA4, fw::kLandscape);
      sheet.printableWidthMillimetres = g.printableWidth;
      sheet.printableHeightMillimetres = g.printableHeight;
    });
    const PrintOptions options = chartOptionsFor(sheet.queue);
    drawPositionCheck(run.printer(), record, corrections, options, sheet);
    run.endPage();
    run.endDocument();
    run.release();
  }
  run.choose("", fw::kPaperA4, fw::kPortrait);
  if (owner) fw::resumeNext([&] { owner->setMousePointer(fw::pointer::Arrow); });
  if (run.lost()) {
    fw::resumeNext([&] {
      fw::messageBox(owner, title, common::text::kJobNotDelivered, fw::mb::OK,
                     fw::mb::Information);
    });
  }
}

void ZENTAI_HOSEI() {
  const fw::Str title = "全体補正"_sj;
  fw::Window* owner = FORM4.get();
  // The printer is picked in the print dialog the charts are printed through;
  // nothing is printed.
  fw::Str queue;
  {
    fw::PrintRun run;
    run.choose("", fw::kPaperA4, fw::kLandscape);
    if (!run.dialog()) return;
    queue = run.queueName();
    run.release();
  }
  if (queue.empty()) {
    fw::resumeNext([&] {
      fw::messageBox(owner, title, "プリンターが設定されていません。"_sj, fw::mb::OK,
                     fw::mb::Information);
    });
    return;
  }
  const common::PageOffset stored = common::pageOffsetFor(queue);
  const fw::Str vertical =
      fw::inputBox(owner, title, "タテの補正値(ｍｍ、＋で下へ)："_sj, stored.vertical);
  if (vertical == "\x1b") return;
  const fw::Str horizontal =
      fw::inputBox(owner, title, "ヨコの補正値(ｍｍ、＋で右へ)："_sj, stored.horizontal);
  if (horizontal == "\x1b") return;
  const int answer = fw::messageBox(
      owner, title,
      "プリンター「"_sj + queue + "」の全体補正を"_sj + fw::CRLF + "タテ "_sj +
          common::normaliseCorrection(vertical) + " ｍｍ、ヨコ "_sj +
          common::normaliseCorrection(horizontal) + " ｍｍで登録します。"_sj + fw::CRLF +
          "よろしいですか？ "_sj,
      fw::mb::YesNo, fw::mb::Question);
  if (answer != fw::mb::ResYes) return;
  common::writePageOffset(queue, vertical, horizontal);
}

}  // namespace printing
