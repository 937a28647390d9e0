#include "history/store/list_lines.h"

#include "common/list_line.h"
#include "framework/core/strings.h"

namespace history {

using fw::Str;

Str listLine(int lineNumber, const RecordView& r, Column which, long entry, int trailingBlanks) {
  // One layout for both windows' lists: the multiple print's window shares it.
  return common::historyListLine(lineNumber, common::decodeAttributes(r.bytes()), which, entry,
                                 trailingBlanks);
}

LineSelection selectionOf(const Str& line) {
  LineSelection s;
  s.name = fw::trim(common::listPart(line, common::ListPart::Name));
  s.examDate = common::listPart(line, common::ListPart::ExamDate);
  s.entry = fw::trim(common::listPart(line, common::ListPart::EntryNumber));
  return s;
}

common::EntryNumber entryNumberOf(const LineSelection& selection) {
  return common::entryNumberOfText(selection.entry);
}

}  // namespace history
