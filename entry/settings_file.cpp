#include "entry/settings_file.h"

#include <algorithm>

#include "framework/core/files.h"
#include "framework/core/strings.h"

namespace entry {

using fw::Str;

namespace {

constexpr int kFile = 1;

// Closes the file on every way out, so that a failed read does not leave
// file number 1 taken for the rest of the session.
struct CloseOnExit {
  ~CloseOnExit() {
    try {
      if (fw::isFileOpen(kFile)) fw::close(kFile);
    } catch (...) {
    }
  }
};

// The value bytes of record 1, padded with spaces when the file is shorter
// than its record. Copies made by hand or cut short by a full disk must not
// stop the program at start, so a short file is read as far as it goes.
Str valueBytes(const Str& name) {
  CloseOnExit guard;
  fw::open(name, fw::FileMode::Record, fw::Share::ReadWrite, kFile, kSettingRecordBytes);
  const long size = fw::fileSize(kFile);
  if (size == 0) {
    fw::close(kFile);
    return {};
  }
  if (size >= kSettingRecordBytes) {
    fw::get(kFile, 1);
    Str bytes = fw::recordBuffer(kFile);
    fw::close(kFile);
    return bytes.substr(0, kSettingValueBytes);
  }
  fw::close(kFile);
  // Reopen with a record as long as the file to read what is there.
  fw::open(name, fw::FileMode::Record, fw::Share::ReadWrite, kFile, int(size));
  fw::get(kFile, 1);
  Str bytes = fw::recordBuffer(kFile);
  fw::close(kFile);
  bytes.resize(std::min<std::size_t>(bytes.size(), kSettingValueBytes));
  return bytes;
}

}  // namespace

Str readSetting(const Str& name, const Str& fallback) {
  Str bytes = valueBytes(name);
  // A written value is space-padded; a zero byte inside the value field
  // only comes from a damaged file, and ends what is usable of it.
  if (auto zero = bytes.find('\0'); zero != Str::npos) bytes.resize(zero);
  Str value = fw::trim(bytes);
  if (value.empty()) return fallback;
  return value;
}

void writeSetting(const Str& name, const Str& value) {
  CloseOnExit guard;
  fw::open(name, fw::FileMode::Record, fw::Share::ReadWrite, kFile, kSettingRecordBytes);
  fw::FieldVar text, rest;
  fw::field(kFile, {{kSettingValueBytes, &text},
                    {kSettingRecordBytes - kSettingValueBytes, &rest}});
  fw::lset(text, value);
  fw::put(kFile, 1);
  fw::close(kFile);
}

}  // namespace entry
