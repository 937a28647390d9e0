// The print position corrections: file EKG_SYS\P_TYOUSEI.
//
// A record file of 2000-byte records; only record 1 is used. For every chart
// item k (1..34) two values in millimetres, vertical first:
//
//   offset      width  content
//   0           10     0x00
//   10*k        5      vertical correction of item k   (タテ; + moves down)
//   10*k + 5    5      horizontal correction of item k (ヨコ; + moves right)
//   350         1650   0x00
//
// Each value is CP932 text, left-aligned, space-padded, cut to 5 bytes (never
// inside a character). The
// writer stores "0" for an empty or zero value, so every file it writes holds
// 68 non-blank values. A file of 0 bytes means "no corrections".
#pragma once

#include <array>

#include "common/record_layout.h"
#include "framework/core/str.h"

namespace common {

inline constexpr int kCorrectionRecordBytes = 2000;
inline constexpr int kChartItemCount = 34;

enum class Axis { Vertical, Horizontal };

// One value of the record: where it lives and how wide it is.
struct CorrectionSlot {
  int item;  // chart item 1..34
  Axis axis;
  FieldSlot at;
};

inline constexpr int kCorrectionValueBytes = 5;

constexpr CorrectionSlot correctionSlot(int item, Axis axis) {
  return {item, axis, {10 * item + (axis == Axis::Horizontal ? 5 : 0), kCorrectionValueBytes}};
}

// The 68 slots in file order (item 1 vertical, item 1 horizontal, item 2 ...).
inline constexpr std::array<CorrectionSlot, 2 * kChartItemCount> kCorrectionSlots = [] {
  std::array<CorrectionSlot, 2 * kChartItemCount> slots{};
  for (int k = 1; k <= kChartItemCount; ++k) {
    slots[2 * (k - 1)] = correctionSlot(k, Axis::Vertical);
    slots[2 * (k - 1) + 1] = correctionSlot(k, Axis::Horizontal);
  }
  return slots;
}();

// The corrections as texts, indexed by chart item 1..34 (index 0 unused).
struct CorrectionTable {
  bool hasRecord = false;                    // false: the file was empty (all "0")
  std::array<fw::Str, kChartItemCount + 1> vertical;
  std::array<fw::Str, kChartItemCount + 1> horizontal;

  CorrectionTable();                         // every value "0"
  const fw::Str& text(int item, Axis axis) const;
  // Numeric value in millimetres (the program's text-to-number rule).
  double dyMillimetres(int item) const;
  double dxMillimetres(int item) const;
};

// Reads record 1 of EKG_SYS\P_TYOUSEI: the trimmed slot texts (0x00 bytes
// are kept; they make the value 0), without a lead byte left at the end of
// a slot. A missing file is created empty and
// gives every value "0". A file shorter than one record (a cut copy) is read
// as its bytes followed by blanks: the missing values are empty, i.e. 0. Errors of the file services are raised as
// RuntimeError; file number 1 is closed on every way out.
CorrectionTable readCorrections();

// Writes record 1 from the texts: trimmed, "0" when their numeric value is
// 0, cut to 5 bytes without splitting a character; 0x00 outside the slots. Records after the first are
// left as they are.
void writeCorrections(const std::array<fw::Str, kChartItemCount + 1>& vertical,
                      const std::array<fw::Str, kChartItemCount + 1>& horizontal);

// The stored form of one value: trimmed, "0" for a numeric value of 0.
fw::Str normaliseCorrection(const fw::Str& text);

}  // namespace common
