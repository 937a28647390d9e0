// The position check: a chart printed on plain A4 paper over a millimetre
// grid, with a small numbered cross at the corrected anchor of each chart
// item. Laid on an FT-70 sheet against the light it shows how far each row
// of the position window has to move.
#pragma once

#include "common/examinee_record.h"
#include "framework/core/str.h"
#include "framework/form/surface.h"
#include "printing/chart_layout.h"

namespace printing {

inline constexpr double kPageUnitsPerRealMillimetre = 1000 / 25.4;

// Light enough that the chart's values stay readable over them.
inline constexpr uint32_t kGridFine = fw::rgb(205, 225, 245);
inline constexpr uint32_t kGridStrong = fw::rgb(150, 190, 235);
inline constexpr uint32_t kGridNumber = fw::rgb(110, 150, 200);
inline constexpr uint32_t kCrossColour = fw::rgb(240, 130, 130);

// Where the number of row k is printed: beside the cross, above its right arm.
PagePoint crossLabelPosition(const PagePoint& anchor);
// The label of row k ("[10]"): brackets keep it apart from the grid's numbers.
fw::Str crossLabel(int item);
// Where the grid number of `millimetres` (a multiple of 10) is printed along
// the top edge and along the left edge.
PagePoint topGridNumberPosition(int millimetres);
PagePoint leftGridNumberPosition(int millimetres);

struct CheckSheet {
  double printableWidthMillimetres = 0, printableHeightMillimetres = 0;
  fw::Str queue;  // shown in the heading with its page offset
};

// Draws grid, chart and crosses onto a page already in the chart unit.
// Grid lines every millimetre from the printable corner (stronger every 5,
// numbered every 10), then the chart as a print to the queue would draw it,
// then the crosses and their row numbers, then a heading naming the queue
// and its page offset.
void drawPositionCheck(fw::Surface& page, const common::ExamineeRecord& record,
                       const CorrectionTable& corrections, const PrintOptions& options,
                       const CheckSheet& sheet);

// An examinee with every item filled, printed when the main window is empty.
common::ExamineeRecord checkSampleExaminee();

// The print itself (FORM4's command): confirmation-free, the print dialog
// preset to A4 landscape, document "PRINTER".
void ITIKAKUNIN_INSATU();

// Asks for a printer in the print dialog, then for its page offset
// (vertical, horizontal, the stored values proposed) and registers it after
// a confirmation (FORM4's other command). Nothing is printed.
void ZENTAI_HOSEI();

// The menu captions and shortcuts of FORM4's commands.
inline constexpr const char* kCheckPrintShortcut = "Ctrl+P";
inline constexpr const char* kPageOffsetShortcut = "Ctrl+Shift+P";

}  // namespace printing
