// The doctor list EKG_SYS\HOKENNI and its default EKG_SYS\HOKENNI_DF.
//
// HOKENNI holds one entry per line: a double quote, the entry, a double
// quote, CR LF. An empty list is the single line "" CR LF (the file exists
// from the first registration on). HOKENNI_DF is a single-value file holding
// the list position (from 0) of the default doctor as decimal text, "-1" for
// none.
#pragma once

#include <vector>

#include "framework/core/str.h"

namespace common {

// The list holds at most this many doctors; one more is refused.
inline constexpr int kMaxDoctors = 500;

// The entries in file order, trimmed, empty ones skipped; blank lines and
// blanks after the last line end the list. An empty list when the file does
// not exist or cannot be opened (a folder, a link to nothing, no
// permission). Errors while reading are runtime errors (program trap).
std::vector<fw::Str> readDoctorList();

// An entry that can be stored: no double quote (it would end the quoted
// item early on reading) and no line break (it would split the line).
bool storableDoctorName(const fw::Str& name);

// Rewrites HOKENNI whole with the entries in order; the old list stays as it
// was until the new one is complete, and on every failure. Errors are
// runtime errors (program trap).
void writeDoctorList(const std::vector<fw::Str>& doctors);

// The default position d, -1 when there is none (empty or missing file).
int readDefaultPosition();
// Writes d as decimal text without blanks ("-1" removes the default).
void writeDefaultPosition(int position);

}  // namespace common
