// The history as CSV, for a spreadsheet: CP932 text with CR LF line ends and
// a header row, one line per entry, the entry number first and then every
// stored field of the attribute and the clinical record in their record
// order (reserved fields and the deletion mark included), each value trimmed
// as every reader of the history trims it. Fields are quoted by RFC 4180: a
// value holding a comma, a double quote, CR or LF is put in double quotes,
// with its double quotes doubled.
#pragma once

#include <vector>

#include "framework/core/str.h"
#include "history/store/store.h"

namespace history {

fw::Str csvHeaderLine();         // with its CR LF
fw::Str csvLine(const Entry& entry);  // with its CR LF

// Writes the header and the given entries in the given order to `path`
// (CP932 name), replacing an existing file as a whole: until the last line
// is written the old file stays, and any failure (of writing the file or of
// reading the history, such as a record lock another program holds past its
// wait) leaves it byte for byte as it was, or no file where there was none.
// Numbers that are no longer entries of the history are left out. Raises the
// file services' errors; returns the number of entry lines written.
long writeHistoryCsv(const fw::Str& path, const std::vector<long>& entryNumbers);
// The same for every entry of the history, oldest first, deleted ones
// included.
long writeWholeHistoryCsv(const fw::Str& path);

}  // namespace history
