#include "common/settings_file.h"

#include <algorithm>

#include "common/record_layout.h"
#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"

namespace common {

using fw::Str;

namespace {


// Record 1 read with the given record length.
Str readRecordOne(const Str& name, int recordLength) {
  fw::OpenFile file(name, fw::FileMode::Record, fw::Share::ReadWrite, recordLength);
  if (fw::recordCount(file) == 0) return {};
  fw::get(file, 1);
  return fw::recordBuffer(file);
}

std::int64_t sizeOf(const Str& name) {
  fw::OpenFile file(name, fw::FileMode::Record, fw::Share::ReadWrite, kSettingRecordBytes);
  return fw::fileSize(file);
}

// The size of the file, or -1 when it cannot be opened at all: a folder in
// its place, a link to nothing, no permission to read it. Every settings
// file is read at start, and one that cannot be must not end the program.
std::int64_t sizeIfReadable(const Str& name) {
  try {
    return sizeOf(name);
  } catch (const fw::RuntimeError&) {
    return -1;
  }
}

// The value bytes of record 1. Copies made by hand or cut short by a full
// disk must not stop the program at start, so a file shorter than its record
// is read as far as it goes.
Str valueBytes(const Str& name, std::int64_t size) {
  if (size == 0) return {};
  // A short file is read with a record as long as the file: what is there.
  Str bytes = readRecordOne(name, int(std::min<std::int64_t>(size, kSettingRecordBytes)));
  bytes.resize(std::min<std::size_t>(bytes.size(), kSettingValueBytes));
  return bytes;
}

}  // namespace

Str readSetting(const Str& name, const Str& fallback) {
  const std::int64_t size = sizeIfReadable(name);
  if (size < 0) return fallback;
  Str bytes = valueBytes(name, size);
  // A written value is space-padded; a zero byte inside the value field
  // only comes from a damaged file, and ends what is usable of it.
  if (auto zero = bytes.find('\0'); zero != Str::npos) bytes.resize(zero);
  // A value cut inside a character (by an older writer at byte 100, or a
  // copy cut short) loses the half character: written back padded, its lead
  // byte would take the first blank as its second half.
  Str value = fw::trim(fw::leftWhole(bytes, fw::len(bytes)));
  if (value.empty()) return fallback;
  return value;
}

void writeSetting(const Str& name, const Str& value) {
  // The value, blank-padded; the rest of the record stays zero bytes.
  Str record(kSettingRecordBytes, '\0');
  putSlot(record, {0, kSettingValueBytes}, value);
  fw::OpenFile file(name, fw::FileMode::Record, fw::Share::ReadWrite, kSettingRecordBytes);
  fw::setRecordBuffer(file, record);
  fw::put(file, 1);
}

bool settingWritten(const Str& name) { return sizeIfReadable(name) > 0; }

bool switchedOn(const Str& name) { return fw::val(readSetting(name, "0")) > 0; }

}  // namespace common
