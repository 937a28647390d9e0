#include "printing/chart_layout.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "common/page_offset_file.h"
#include "common/print_options.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"
#include "framework/form/trap.h"

namespace printing {

using namespace fw::literals;
using common::ExamineeRecord;

namespace {

enum class Rule {
  Text,           // the field at (x, y) in `points`
  Ring,           // six ellipses around (x, y) when the flag is 1
  Check,          // check mark at (x, y) when the flag is 1
  Name,           // four sizes by length
  SizedByLength,  // hospital, doctor, medication: two sizes by length
  Request,        // ring and category text
  BloodPressure,  // high, slash, low
  StressOther,    // check mark and text when not empty
};

struct ChartItem {
  int item;
  Rule rule;
  double x = 0, y = 0;
  float points = 0;
  fw::Str ExamineeRecord::*text = nullptr;
  int ExamineeRecord::*flag = nullptr;
  double ringRadius = 0;
  float ringAspect = 1.0f;
};

// The aspect of the A.M./P.M. rings, as the single-precision number nearest to 0.4.
constexpr float kFlatRing = 0.4f;

ChartItem text(int k, fw::Str ExamineeRecord::*field, double x, double y, float points) {
  return {k, Rule::Text, x, y, points, field};
}
ChartItem ring(int k, int ExamineeRecord::*flag, double x, double y, double r, float aspect) {
  return {k, Rule::Ring, x, y, 0, nullptr, flag, r, aspect};
}
ChartItem check(int k, int ExamineeRecord::*flag, double x, double y) {
  return {k, Rule::Check, x, y, 0, nullptr, flag};
}
ChartItem byRule(int k, Rule rule, fw::Str ExamineeRecord::*field = nullptr) {
  return {k, rule, 0, 0, 0, field};
}

const std::array<ChartItem, kChartItemCount>& chartItems() {
  using R = ExamineeRecord;
  static const std::array<ChartItem, kChartItemCount> items = {{
      text(1, &R::EXAM_NO, 9390, 1000, 20),
      text(2, &R::EXAM_YEAR, 1200, 2920, 20),
      text(3, &R::EXAM_MONTH, 2360, 2920, 20),
      text(4, &R::EXAM_DAY, 3040, 2920, 20),
      ring(5, &R::EXAM_AM, 3850, 2990, 200, kFlatRing),
      ring(6, &R::EXAM_PM, 3850, 3120, 200, kFlatRing),
      text(7, &R::EXAM_HOUR, 4170, 2920, 20),
      text(8, &R::EXAM_MINUTE, 4780, 2920, 20),
      text(9, &R::CHART_NO, 8100, 2920, 20),
      byRule(10, Rule::Name, &R::NAME),
      text(11, &R::BIRTH_YEAR, 4990, 3760, 20),
      text(12, &R::BIRTH_MONTH, 6300, 3760, 20),
      text(13, &R::BIRTH_DAY, 6870, 3760, 20),
      text(14, &R::AGE, 8140, 3760, 20),
      ring(15, &R::SEX_MALE, 9300, 3960, 140, 1.0f),
      ring(16, &R::SEX_FEMALE, 9620, 3960, 140, 1.0f),
      byRule(17, Rule::SizedByLength, &R::HOSPITAL),
      ring(18, &R::OUTPATIENT, 4900, 4583, 220, 1.0f),
      ring(19, &R::INPATIENT, 5520, 4583, 220, 1.0f),
      byRule(20, Rule::Request),
      byRule(21, Rule::SizedByLength, &R::DOCTOR),
      text(22, &R::WEIGHT, 1560, 5100, 16),
      byRule(23, Rule::BloodPressure),
      byRule(24, Rule::SizedByLength, &R::MEDICATION),
      text(25, &R::PREGNANCY_MONTHS, 7840, 5100, 16),
      ring(26, &R::ECG_REST, 1210, 6060, 170, 1.0f),
      ring(27, &R::ECG_STRESS, 1210, 6470, 170, 1.0f),
      check(28, &R::MASTER_HALF, 5500, 6120),
      check(29, &R::MASTER_QUARTER, 6060, 6120),
      check(30, &R::MASTER_DOUBLE, 8010, 6120),
      byRule(31, Rule::StressOther, &R::STRESS_OTHER),
      text(32, &R::MINNESOTA_CODE, 3180, 6740, 14),
      text(33, &R::FINDING_NAME, 3180, 7140, 14),
      text(34, &R::DOCTOR_FINDING, 3180, 7530, 14),
  }};
  return items;
}

// Two sizes by byte length: long texts (20 bytes or more) in the smaller type.
struct TwoSizes {
  double x, yShort, yLong;
  float pointsShort, pointsLong;
};
constexpr TwoSizes kHospital{1910, 4500, 4520, 12, 10};
constexpr TwoSizes kDoctor{7130, 4500, 4520, 12, 10};
constexpr TwoSizes kMedication{5970, 5140, 5140, 12, 10};
constexpr long kLongTextBytes = 20;

// The name's four forms, longest text first, and the blood pressure's texts.
struct Placed {
  double x, y;
  float points;
};
constexpr Placed kNameOver20{1100, 3740, 16}, kName15To20{1200, 3690, 20},
    kName10To14{1250, 3640, 24}, kNameUnder10{1350, 3560, 30};
constexpr Placed kBpHigh{3445, 5005, 14}, kBpSlash{3620, 5040, 18}, kBpLow{3790, 5130, 14};

constexpr double kRequestRingX = 6120, kRequestRingY = 4583, kRequestRingRadius = 220;
constexpr double kRequestTextY = 4490;
constexpr double kRequestTextX4Bytes = 5930, kRequestTextX2Bytes = 6030;
constexpr float kRequestTextPoints = 14;

constexpr double kStressCheckX = 8650, kStressCheckY = 6120;
constexpr double kStressTextX = 8720, kStressTextY = 6380;
constexpr float kStressTextPoints = 14;

// The check-mark picture: a 198 x 131 pixel part from (1, 1), stretched.
constexpr int kCheckSrcX = 1, kCheckSrcY = 1, kCheckSrcWidth = 198, kCheckSrcHeight = 131;
constexpr double kCheckWidth = 435.6, kCheckHeight = 288.2;

constexpr int kRingCount = 6;  // r, r+1 .. r+5: one thick-looking ring

struct Stop {};

class ChartDrawer {
 public:
  ChartDrawer(fw::Surface& page, const ExamineeRecord& record, const CorrectionTable& corrections,
              const PrintOptions& options, const ChartDrawing& drawing)
      : page_(page), record_(record), corrections_(corrections), drawing_(drawing),
        pageDx_(options.pageDxMillimetres), pageDy_(options.pageDyMillimetres) {
    const double colour = fw::val(options.colour);
    if (colour == 1) {
      ringColour_ = 0;  // shape palette: black
    } else if (colour == 2) {
      ringColour_ = 3;  // shape palette: blue (0, 0, 255)
      checkPicture_ = "CHECK_2";
    }
  }

  void draw() {
    if (drawing_.checkpoints.beforeFirstItem) checkpoint();
    for (const ChartItem& item : chartItems()) {
      if (item.item < drawing_.firstItem || item.item > drawing_.lastItem) continue;
      drawItem(item);
      if (drawing_.checkpoints.afterItem.test(item.item)) checkpoint();
    }
  }

 private:
  void drawItem(const ChartItem& item) {
    switch (item.rule) {
      case Rule::Text:
        printText(item.item, item.x, item.y, item.points, record_.*item.text);
        break;
      case Rule::Ring:
        if (record_.*item.flag == 1) drawRing(item.item, item.x, item.y, item.ringRadius, item.ringAspect);
        break;
      case Rule::Check:
        if (record_.*item.flag == 1) drawCheck(item.item, item.x, item.y);
        break;
      case Rule::Name:
        drawName(item);
        break;
      case Rule::SizedByLength: {
        const TwoSizes& sizes =
            item.item == 17 ? kHospital : item.item == 21 ? kDoctor : kMedication;
        const fw::Str value = fw::trim(record_.*item.text);
        const bool longText = fw::len(value) >= kLongTextBytes;
        printText(item.item, sizes.x, longText ? sizes.yLong : sizes.yShort,
                  longText ? sizes.pointsLong : sizes.pointsShort, value);
        break;
      }
      case Rule::Request:
        drawRequest(item.item);
        break;
      case Rule::BloodPressure:
        drawBloodPressure(item.item);
        break;
      case Rule::StressOther: {
        const fw::Str value = fw::trim(record_.*item.text);
        if (value.empty()) break;
        drawCheck(item.item, kStressCheckX, kStressCheckY);
        printText(item.item, kStressTextX, kStressTextY, kStressTextPoints, value);
        break;
      }
    }
  }

  // Exactly one of four forms; the larger the type, the further right and up.
  void drawName(const ChartItem& item) {
    const fw::Str name = fw::trim(record_.*item.text);
    const long bytes = fw::len(name);
    if (bytes > 20) printText(item.item, kNameOver20, name);
    if (bytes >= 15 && bytes <= 20) printText(item.item, kName15To20, name);
    if (drawing_.checkpoints.afterSecondNameForm) checkpoint();
    if (bytes >= 10 && bytes <= 14) printText(item.item, kName10To14, name);
    if (bytes < 10) printText(item.item, kNameUnder10, name);
  }

  void drawRequest(int k) {
    const int index = record_.REQUEST_KIND;
    if (index < 1) return;
    drawRing(k, kRequestRingX, kRequestRingY, kRequestRingRadius, 1.0f);
    const fw::Str word = requestKindText(index);
    const long bytes = fw::len(word);
    if (bytes == 4) printText(k, kRequestTextX4Bytes, kRequestTextY, kRequestTextPoints, word);
    if (bytes == 2) printText(k, kRequestTextX2Bytes, kRequestTextY, kRequestTextPoints, word);
  }

  // The three parts share the correction of the row.
  void drawBloodPressure(int k) {
    const fw::Str high = fw::trim(record_.BP_HIGH);
    const fw::Str low = fw::trim(record_.BP_LOW);
    printText(k, kBpHigh, high);
    if (!high.empty() || !low.empty()) printText(k, kBpSlash, "／"_sj);
    if (drawing_.checkpoints.afterSlash) checkpoint();
    printText(k, kBpLow, low);
  }

  void printText(int k, const Placed& at, const fw::Str& value) {
    printText(k, at.x, at.y, at.points, value);
  }

  void printText(int k, double baseX, double baseY, float points, const fw::Str& value) {
    const PagePoint at = correctedPosition(corrections_, k, baseX, baseY, pageDx_, pageDy_);
    const fw::Str shown = fw::trim(value);
    fw::resumeNext([&] { page_.setFontSize(points); });
    fw::resumeNext([&] { page_.setPosition(at.x, at.y); });
    fw::resumeNext([&] { page_.print(shown); });
  }

  void drawRing(int k, double baseX, double baseY, double radius, float aspect) {
    const PagePoint at = correctedPosition(corrections_, k, baseX, baseY, pageDx_, pageDy_);
    for (int i = 0; i < kRingCount; ++i) {
      fw::resumeNext([&] { page_.circle(at.x, at.y, radius + i, ringColour_, aspect); });
    }
  }

  void drawCheck(int k, double baseX, double baseY) {
    const PagePoint at = correctedPosition(corrections_, k, baseX, baseY, pageDx_, pageDy_);
    if (!checkBitmap_) {
      fw::resumeNext([&] { checkBitmap_ = fw::Bitmap::load(checkPicture_); });
      if (!checkBitmap_) return;  // no picture: nothing to draw (error already skipped)
    }
    fw::resumeNext([&] {
      page_.drawBitmap(at.x, at.y, kCheckWidth, kCheckHeight, *checkBitmap_, kCheckSrcX,
                       kCheckSrcY, kCheckSrcWidth, kCheckSrcHeight);
    });
  }

  void checkpoint() {
    if (!drawing_.escHeld) return;
    bool held = false;
    fw::resumeNext([&] { held = drawing_.escHeld(); });
    if (held) throw Stop{};
  }

  fw::Surface& page_;
  const ExamineeRecord& record_;
  const CorrectionTable& corrections_;
  const ChartDrawing& drawing_;
  double pageDx_, pageDy_;
  int ringColour_ = -1;  // -1: the surface's foreground colour
  fw::Str checkPicture_ = "CHECK_1";
  std::optional<fw::Bitmap> checkBitmap_;
};

double limited(double value, double low, double high) {
  if (std::isnan(value)) return low;
  return std::clamp(value, low, high);
}

}  // namespace

EscCheckpoints singlePrintCheckpoints() {
  EscCheckpoints points;
  points.beforeFirstItem = true;
  for (int k : {9, 10, 17, 20, 24, 30, 34}) points.afterItem.set(k);
  return points;
}

EscCheckpoints multiplePrintCheckpoints() {
  EscCheckpoints points;
  for (int k : {3, 6, 9, 10, 12, 15, 16, 17, 19, 20, 21, 24, 27, 29, 30, 32, 34})
    points.afterItem.set(k);
  points.afterSecondNameForm = true;
  points.afterSlash = true;
  return points;
}

PagePoint correctedPosition(const CorrectionTable& corrections, int item, double baseX,
                            double baseY, double pageDxMillimetres, double pageDyMillimetres) {
  const double x =
      baseX + kPageUnitsPerMillimetre * (corrections.dxMillimetres(item) + pageDxMillimetres);
  const double y =
      baseY + kPageUnitsPerMillimetre * (corrections.dyMillimetres(item) + pageDyMillimetres);
  return {limited(x, kMinXThousandthsInch, kMaxXThousandthsInch),
          limited(y, kMinYThousandthsInch, kMaxYThousandthsInch)};
}

void applyPrintOptions(fw::Surface& page, const PrintOptions& options) {
  const double font = fw::val(options.font);
  if (font == 1) fw::resumeNext([&] { page.setFontName("ＭＳ ゴシック"_sj); });
  if (font == 2) fw::resumeNext([&] { page.setFontName("ＭＳ 明朝"_sj); });
  const double colour = fw::val(options.colour);
  if (colour == 1) fw::resumeNext([&] { page.setForeColor(fw::rgb(0, 0, 0)); });
  if (colour == 2) fw::resumeNext([&] { page.setForeColor(fw::rgb(0, 0, 255)); });
  fw::resumeNext([&] { page.setFontBold(false); });
  fw::resumeNext([&] { page.setFontItalic(false); });
  fw::resumeNext([&] { page.setFontUnderline(false); });
}

PrintOptions chartOptionsFor(const fw::Str& queue) {
  PrintOptions options{common::PRINT_FONT, common::PRINT_COLOUR};
  fw::resumeNext([&] {
    const common::PageOffset offset = common::pageOffsetFor(queue);
    options.pageDxMillimetres = offset.dxMillimetres();
    options.pageDyMillimetres = offset.dyMillimetres();
  });
  return options;
}

ChartResult drawChart(fw::Surface& page, const ExamineeRecord& record,
                      const CorrectionTable& corrections, const PrintOptions& options,
                      const ChartDrawing& drawing) {
  applyPrintOptions(page, options);
  try {
    ChartDrawer(page, record, corrections, options, drawing).draw();
  } catch (const Stop&) {
    return ChartResult::StoppedByEsc;
  }
  return ChartResult::Completed;
}

PagePoint baseAnchor(int item, const ExamineeRecord& record) {
  if (item < 1 || item > kChartItemCount) return {0, 0};
  const ChartItem& entry = chartItems()[item - 1];
  switch (entry.rule) {
    case Rule::Name: {
      const long bytes = fw::len(fw::trim(record.NAME));
      const Placed& form = bytes > 20    ? kNameOver20
                           : bytes >= 15 ? kName15To20
                           : bytes >= 10 ? kName10To14
                                         : kNameUnder10;
      return {form.x, form.y};
    }
    case Rule::SizedByLength: {
      const TwoSizes& sizes = item == 17 ? kHospital : item == 21 ? kDoctor : kMedication;
      const bool longText = fw::len(fw::trim(record.*entry.text)) >= kLongTextBytes;
      return {sizes.x, longText ? sizes.yLong : sizes.yShort};
    }
    case Rule::Request:
      return {kRequestRingX, kRequestRingY};
    case Rule::BloodPressure:
      return {kBpHigh.x, kBpHigh.y};
    case Rule::StressOther:
      return {kStressCheckX, kStressCheckY};
    default:
      return {entry.x, entry.y};
  }
}

fw::Str requestKindText(int index) {
  static const std::array<fw::Str, 17> words = {
      "",          "一般"_sj, "出稼"_sj, "中央"_sj, "BG健"_sj, "愛職"_sj,
      "YS健"_sj,   "訪問"_sj, "介護"_sj, "生保"_sj, "診"_sj,   "愛"_sj,
      "病"_sj,     "健"_sj,   "労"_sj,   "母"_sj,   "子"_sj,
  };
  if (index < 1 || index >= static_cast<int>(words.size())) return {};
  return words[index];
}

}  // namespace printing
