// tessivo --verify-history: the change log's check from the command line,
// without a display, on the history of the current directory (the data
// folder, entered first).
#pragma once

#include <cstdio>

namespace history {

// Runs the check, writes the report (UTF-8) to `out` and returns the exit
// status: 0 when the log's chain is whole and explains every entry, 1 when
// it does not, 2 when the files cannot be read.
int verifyHistoryReport(std::FILE* out);

}  // namespace history
