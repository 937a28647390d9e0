// The whole-page offset of each printer: file EKG_SYS\P_OFFSET.
//
// A chart's origin is the printable corner of the printer that prints it,
// and printers place that corner differently; this file keeps, per printer
// queue, one shift of the whole chart in millimetres, added to every item's
// own correction. A record file of 160-byte records, one per queue:
//
//   offset  width  content
//   0       128    queue name (CP932, left-aligned, space-padded)
//   128     8      vertical offset   (+ moves down)
//   136     8      horizontal offset (+ moves right)
//   144     16     0x00
//
// Values are stored like the item corrections: trimmed, "0" for a value of
// 0, cut to their width. A queue without a record has no offset, and a
// missing file is not created by reading, so charts print as they always
// did until an offset is registered.
#pragma once

#include <vector>

#include "framework/core/str.h"

namespace common {

inline constexpr int kPageOffsetRecordBytes = 160;
inline constexpr int kPageOffsetQueueBytes = 128;
inline constexpr int kPageOffsetValueBytes = 8;

struct PageOffset {
  fw::Str queue;
  fw::Str vertical = "0";
  fw::Str horizontal = "0";
  double dyMillimetres() const;
  double dxMillimetres() const;
};

// Every stored record, in file order (a trailing partial record is left out).
std::vector<PageOffset> readPageOffsets();
// The offset of the queue (compared after trimming, byte for byte); "0", "0"
// when there is none or the file does not exist.
PageOffset pageOffsetFor(const fw::Str& queue);
// Replaces the queue's record or appends one; other records keep their
// bytes. An empty queue name or one longer than the name field is error 5
// (it could not be found again).
void writePageOffset(const fw::Str& queue, const fw::Str& vertical, const fw::Str& horizontal);

}  // namespace common
