// One line of the history list (LIST1 of the history window): a fixed
// layout of CP932 bytes that the list shows in a fixed-pitch font, and from
// which opening, deleting and the list print take their values back by byte
// position. Positions from 1:
//
//   1-4    line number, right-aligned        56-75  birth date: year年month月day日生,
//   5-7    blanks                                   20 blanks when all three are blank
//   8-19   EXAM_NO or CHART_NO               76     blank
//   20-23  blanks                            77-81  AGE right-aligned in 3 bytes + 才,
//   24-47  NAME                                     5 blanks when AGE is blank
//   48-50  blanks                            82-85  blanks
//   51-52  男 / 女 / 2 blanks (SEX_CODE)      86-105 examination date: year年month月day日,
//   53-55  blanks                                   a blank part as 4 / 2 / 2 blanks
//                                            106-109 blanks
//                                            110-   entry number, decimal; the line ends
//
// Every column is left-aligned and blank-filled unless said otherwise. A
// value too long for its column is cut at the last whole character that
// fits and the column filled with blanks, so a column never ends in half a
// character (the list would show a broken character there, and the list
// print would print it). An AGE whose last 3 bytes would start inside a character is
// narrowed to half-width first (５４ shows as 54).
#pragma once

#include "framework/core/str.h"
#include "history/store/store.h"

namespace history {

// Which number the second column shows.
enum class Column { Number, ChartNumber };

inline constexpr int kEntryNumberByte = 110;

// The list line of entry `entry` as line `lineNumber` (1..9999).
fw::Str listLine(int lineNumber, const RecordView& record, Column column, long entry);

// What opening and deleting take back from a line.
struct LineSelection {
  fw::Str name;         // bytes 24-47, trimmed
  fw::Str examDate;     // bytes 86-105 as they are
  fw::Str entry;        // from byte 110 to the end, trimmed; "" for no line
};
LineSelection selectionOf(const fw::Str& line);
// The entry number of a selection: its numeric value, 0 when not valid
// (a selection is valid when that value is at least 1).
long entryNumberOf(const LineSelection& selection);

}  // namespace history
