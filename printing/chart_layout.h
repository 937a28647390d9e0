// The FT-70 chart layout: 34 numbered chart items drawn onto one page.
//
// Page unit: 0.001 inch (scale mode 5), origin at the top-left of the
// printable area, y downward. Every position is a base position of the
// item, moved by its row of the correction table (40 page units per
// millimetre) and limited to x 100..11000, y 100..7900.
//
// The drawing runs under the print procedures' resume-next rule: every
// drawing statement that raises a RuntimeError is skipped and the drawing goes
// on with the next one. It never shows anything or touches a window; Esc is
// asked through the function passed in.
#pragma once

#include <bitset>
#include <functional>

#include "common/examinee_record.h"
#include "framework/core/str.h"
#include "framework/form/surface.h"
#include "common/correction_file.h"

namespace printing {

// The correction table is a stored format shared with other folders.
using common::Axis;
using common::CorrectionTable;
using common::kChartItemCount;

inline constexpr int kChartScaleMode = fw::scale::ThousandthInches;
inline constexpr double kPageUnitsPerMillimetre = 40;  // 40, not 39.37: the chart's rule
inline constexpr double kMinXThousandthsInch = 100, kMaxXThousandthsInch = 11000;
inline constexpr double kMinYThousandthsInch = 100, kMaxYThousandthsInch = 7900;

// The print options held in memory: font "1" ＭＳ ゴシック / "2" ＭＳ 明朝,
// colour "1" black / "2" blue. Another value selects nothing: the surface
// keeps its own face and colour (rings then use the foreground colour and
// check marks the black picture).
// The page offset is the printing printer's whole-page shift in millimetres
// (common/page_offset_file.h), added to every item's own correction.
struct PrintOptions {
  fw::Str font = "1";
  fw::Str colour = "1";
  double pageDxMillimetres = 0;
  double pageDyMillimetres = 0;
};

// The options every chart print to `queue` draws with: the font and colour
// held in memory and the queue's page offset (none when it cannot be read).
PrintOptions chartOptionsFor(const fw::Str& queue);

// Where the drawing looks at the Esc key: before the first item, after any
// item, after the second of the name's four size forms, after the
// blood-pressure slash.
struct EscCheckpoints {
  bool beforeFirstItem = false;
  std::bitset<kChartItemCount + 1> afterItem;
  bool afterSecondNameForm = false;
  bool afterSlash = false;
};
// The single chart print: before item 1 and after items 9, 10, 17, 20, 24,
// 30 and 34.
EscCheckpoints singlePrintCheckpoints();
// The multiple chart print (its entry loop checks before each page itself).
EscCheckpoints multiplePrintCheckpoints();

enum class ChartResult { Completed, StoppedByEsc };

// Items 1..20 come from the attribute record, 21..34 from the clinical one.
inline constexpr int kLastAttributeItem = 20;

struct ChartDrawing {
  int firstItem = 1;  // the multiple print draws 1..20 and 21..34 separately
  int lastItem = kChartItemCount;
  EscCheckpoints checkpoints;
  std::function<bool()> escHeld;  // empty: never stopped
};

// The corrected and limited position of a base position of chart item k,
// with the page offset added before the limits (an offset never pushes an
// item off the printable range).
struct PagePoint {
  double x, y;
};
PagePoint correctedPosition(const CorrectionTable& corrections, int item, double baseX,
                            double baseY, double pageDxMillimetres = 0,
                            double pageDyMillimetres = 0);

// Every base position of the chart, item by item (item 10 at the position
// its text's length selects, item 20 at its ring, 23 at its first text, 31
// at its check mark): where the position check marks each item.
PagePoint baseAnchor(int item, const common::ExamineeRecord& record);

// Sets the typeface and text colour of the options (never bold, italic or
// underlined). drawChart does this first; exposed for callers that set them apart.
void applyPrintOptions(fw::Surface& page, const PrintOptions& options);

// Draws the chart items firstItem..lastItem in order of k onto a page already
// in scale mode 5, after applying the print options. Returns StoppedByEsc as
// soon as escHeld() is true at a checkpoint; the caller then beeps, restores
// the pointer and ends the page. Text fields are printed trimmed, as they are;
// REQUEST_KIND 1..16 prints its category text, above 16 only the ring.
ChartResult drawChart(fw::Surface& page, const common::ExamineeRecord& record,
                      const CorrectionTable& corrections, const PrintOptions& options,
                      const ChartDrawing& drawing);

// The trimmed category text of a REQUEST_KIND index ("" outside 1..16).
fw::Str requestKindText(int index);

}  // namespace printing
