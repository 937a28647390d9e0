// tessivo --verify-history: the change log's check from the command line,
// without a display, on the history of the current directory.
#pragma once

#include <cstdio>
#include <optional>

namespace history {

inline constexpr const char* kVerifyOption = "--verify-history";

// When the arguments ask for the check: runs it, writes the report (UTF-8)
// to `out` and returns the exit status: 0 when the log's chain is whole and
// explains every entry, 1 when it does not, 2 when the files cannot be read.
// Nothing otherwise.
std::optional<int> runVerifyCommand(int argc, char** argv, std::FILE* out = stdout);

}  // namespace history
