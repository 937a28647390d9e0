// Single-value settings files of EKG_SYS: one 256-byte record whose bytes
// 0..99 hold the value, space-padded (cut at byte 100), bytes 100..255 zero.
#pragma once

#include "framework/core/str.h"

namespace entry {

inline constexpr int kSettingRecordBytes = 256;
inline constexpr int kSettingValueBytes = 100;

// Reads the trimmed value, or `fallback` when the file is empty. A missing
// file is created empty. A file shorter than its record (a truncated copy, a
// hand edit) is read as its bytes padded to the record; garbage never ends
// the program.
fw::Str readSetting(const fw::Str& name, const fw::Str& fallback);
// Rewrites the whole record.
void writeSetting(const fw::Str& name, const fw::Str& value);

}  // namespace entry
