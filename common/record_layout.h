// Every stored file of the program is made of fixed-length records, and
// every value in a record has a fixed place: its first byte (from 0) and its
// width. A file's layout is a table of such slots; these two functions are
// the only way bytes go into a slot and come out of one, so no writer can
// store half a character or spill into the next value.
#pragma once

#include <string_view>

#include "framework/core/str.h"

namespace common {

struct FieldSlot {
  int offsetBytes;
  int widthBytes;
};

// The slot's bytes as they stand: shorter, or empty, where the record ends
// before the slot does.
std::string_view slotBytes(std::string_view record, FieldSlot slot);

// Writes `value` into the slot of `record`, which is at least as long as the
// slot's end: cut to the slot's width without splitting a double-byte
// character (a lead byte left over becomes a blank), padded with blanks.
void putSlot(fw::Str& record, FieldSlot slot, const fw::Str& value);

}  // namespace common
