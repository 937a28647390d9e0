// The history list's lines as the history window shows them and takes
// them back: the layout itself (parts, positions, widths) is the one of
// common/list_line.h.
#pragma once

#include "common/list_line.h"
#include "framework/core/str.h"
#include "history/store/store.h"

namespace history {

// Which number the second column shows.
using Column = common::ListColumn;

// The list line of entry `entry` as line `lineNumber` (1..9999).
fw::Str listLine(int lineNumber, const RecordView& record, Column column, long entry,
                 int trailingBlanks = 0);

// What opening and deleting take back from a line.
struct LineSelection {
  fw::Str name;         // bytes 24-47, trimmed
  fw::Str examDate;     // bytes 86-105 as they are
  fw::Str entry;        // from byte 110 to the end, trimmed; "" for no line
};
LineSelection selectionOf(const fw::Str& line);
// The entry number of a selection: its numeric value, 0 when not valid
// (a selection is valid when that value is at least 1).
common::EntryNumber entryNumberOf(const LineSelection& selection);

}  // namespace history
