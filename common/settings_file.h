// Single-value settings files of EKG_SYS: one 256-byte record whose bytes
// 0..99 hold the value, space-padded (cut at byte 100, never inside a
// character), bytes 100..255 zero. A value read never ends in half a
// character either.
#pragma once

#include "framework/core/str.h"

namespace common {

inline constexpr int kSettingRecordBytes = 256;
inline constexpr int kSettingValueBytes = 100;

// Reads the trimmed value, or `fallback` when the file is empty or cannot
// be opened at all (a folder in its place, a link to nothing, no permission).
// A missing file is created empty. A file shorter than its record (a truncated copy, a
// hand edit) is read as its bytes padded to the record; garbage never ends
// the program. Takes a free file number, so it may run while other files
// are open.
fw::Str readSetting(const fw::Str& name, const fw::Str& fallback);
// Rewrites the whole record.
void writeSetting(const fw::Str& name, const fw::Str& value);
// Whether the file holds a value at all: a 0-byte (or missing, then created)
// file holds none, nor one that cannot be opened; a written one holds its
// value even when that is blank.
bool settingWritten(const fw::Str& name);
// A switch file (BYOUINMEI, TANTOUIMEI): on for any number above 0; an
// empty file is off.
bool switchedOn(const fw::Str& name);

}  // namespace common
