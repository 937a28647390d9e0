#include "history/store/list_lines.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "common/list_line.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace history {

using fw::Str;

Str listLine(int lineNumber, const RecordView& r, Column which, long entry) {
  // One layout for both windows' lists: the multiple print's window shares it.
  return common::historyListLine(
      lineNumber, common::decodeAttributes(r.bytes()),
      which == Column::Number ? common::ListNumberColumn::ExamNo
                              : common::ListNumberColumn::ChartNo,
      entry);
}

LineSelection selectionOf(const Str& line) {
  LineSelection s;
  s.name = fw::trim(fw::mid(line, 24, 24));
  s.examDate = fw::mid(line, 86, 20);
  s.entry = fw::trim(fw::mid(line, kEntryNumberByte));
  return s;
}

long entryNumberOf(const LineSelection& selection) {
  const double v = fw::val(selection.entry);
  if (!(v >= 1)) return 0;
  // Larger than any history can hold: no such entry, never a wrapped number.
  if (v > 2147483647.0) return 2147483647L;
  return static_cast<long>(std::nearbyint(v));
}

}  // namespace history
