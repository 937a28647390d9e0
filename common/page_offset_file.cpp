#include "common/page_offset_file.h"

#include "common/correction_file.h"
#include "common/paths.h"
#include "common/record_layout.h"
#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/core/open_file.h"
#include "framework/core/strings.h"

namespace common {

namespace {

constexpr FieldSlot kQueueSlot{0, kPageOffsetQueueBytes};
constexpr FieldSlot kVerticalSlot{kPageOffsetQueueBytes, kPageOffsetValueBytes};
constexpr FieldSlot kHorizontalSlot{kPageOffsetQueueBytes + kPageOffsetValueBytes,
                                    kPageOffsetValueBytes};

fw::Str slotText(const fw::Str& record, FieldSlot slot) {
  return fw::trim(fw::Str(slotBytes(record, slot)));
}

PageOffset decode(const fw::Str& record) {
  PageOffset offset;
  offset.queue = slotText(record, kQueueSlot);
  offset.vertical = normaliseCorrection(slotText(record, kVerticalSlot));
  offset.horizontal = normaliseCorrection(slotText(record, kHorizontalSlot));
  return offset;
}

}  // namespace

double PageOffset::dyMillimetres() const { return fw::val(vertical); }
double PageOffset::dxMillimetres() const { return fw::val(horizontal); }

std::vector<PageOffset> readPageOffsets() {
  std::vector<PageOffset> offsets;
  // Looking must not leave a file behind: no file is the state of today.
  if (!fw::fileExists(files::kPageOffsets)) return offsets;
  fw::OpenFile file(files::kPageOffsets, fw::FileMode::Record, fw::Share::ReadWrite,
                    kPageOffsetRecordBytes);
  // A record cut short (a copy stopped by a full disk) could hold half a
  // name; it is not matched against any queue.
  const auto whole = static_cast<long>(fw::fileSize(file) / kPageOffsetRecordBytes);
  for (long n = 1; n <= whole; ++n) {
    fw::get(file, n);
    offsets.push_back(decode(fw::recordBuffer(file)));
  }
  return offsets;
}

PageOffset pageOffsetFor(const fw::Str& queue) {
  const fw::Str wanted = fw::trim(queue);
  for (PageOffset& offset : readPageOffsets()) {
    if (!wanted.empty() && offset.queue == wanted) return offset;
  }
  PageOffset none;
  none.queue = wanted;
  return none;
}

void writePageOffset(const fw::Str& queue, const fw::Str& vertical, const fw::Str& horizontal) {
  const fw::Str name = fw::trim(queue);
  if (name.empty() || static_cast<int>(name.size()) > kPageOffsetQueueBytes)
    fw::raise(fw::err::InvalidArgument);
  const std::vector<PageOffset> stored = readPageOffsets();
  long target = static_cast<long>(stored.size()) + 1;
  for (std::size_t i = 0; i < stored.size(); ++i) {
    if (stored[i].queue == name) {
      target = static_cast<long>(i) + 1;
      break;
    }
  }
  fw::Str record(kPageOffsetRecordBytes, '\0');
  putSlot(record, kQueueSlot, name);
  putSlot(record, kVerticalSlot, normaliseCorrection(vertical));
  putSlot(record, kHorizontalSlot, normaliseCorrection(horizontal));
  fw::OpenFile file(files::kPageOffsets, fw::FileMode::Record, fw::Share::ReadWrite,
                    kPageOffsetRecordBytes);
  fw::setRecordBuffer(file, record);
  fw::put(file, target);
}

}  // namespace common
