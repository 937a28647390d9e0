// The print position window FORM4: one row per chart item with a vertical
// and a horizontal edit box.
#pragma once

#include "common/correction_file.h"

namespace printing {

// The correction table is a stored format shared with other folders.
using common::Axis;
using common::CorrectionTable;
using common::kChartItemCount;

// Number of the edit box of chart item k: EDIT(23 + 2k) vertical,
// EDIT(24 + 2k) horizontal (row 1: EDIT25/EDIT26, row 34: EDIT91/EDIT92).
constexpr int correctionEditNumber(int item, Axis axis) {
  return 23 + 2 * item + (axis == Axis::Horizontal ? 1 : 0);
}

void registerPositionWindowProcedures();
void registerOptionWindowProcedures();

}  // namespace printing
