// The fixed-layout text line that lists one history entry, shared by the
// history window's list and the multiple-print window's list. Positions are
// 1-based bytes of CP932; the open, delete and print commands take the parts
// back out of the line by these positions, so the layout never moves:
//
//   bytes    width  content
//     1-4       4   line number, right-aligned
//     8-19     12   examinee number (or chart number), cut
//    24-47     24   name, cut
//    51-52      2   "男" (sex code 1), "女" (2), else blanks
//    56-75     20   year "年" month "月" day "日生", cut; blanks when all are empty
//    77-81      5   age right-aligned in 3 bytes, "才"; blanks when empty (a
//                   full-width age that would be cut inside a character is
//                   narrowed first, so "５４" shows as 54, not as ４)
//    86-105    20   examination year "年" month "月" day "日" (blanks for an
//                   empty part: 4 for the year, 2 for month and day), cut
//   110-            entry number in decimal, then the trailing blanks asked for
//
// Everything between the parts is blanks. A part is cut at its width
// without splitting a double-byte character (the byte left over becomes a
// blank), so no part ever spills into the next one.
#pragma once

#include "common/history_format.h"
#include "framework/core/str.h"

namespace common {

enum class ListNumberColumn { ExamNo, ChartNo };

inline constexpr int kListEntryNumberByte = 110;

// The line of the entry `entryNumber` whose attribute record holds `a`
// (trimmed values, as decodeAttributes gives them).
fw::Str historyListLine(long lineNumber, const AttributeValues& a, ListNumberColumn column,
                        long entryNumber, int trailingBlanks = 0);

// The entry number of a list line: the bytes from byte 110 to the end,
// trimmed, read as a number; 0 for a line too short to hold one.
long entryNumberOfListLine(const fw::Str& line);

// `text` cut to `widthBytes` without splitting a double-byte character and
// padded with blanks to exactly that width; not trimmed.
fw::Str fitBytes(const fw::Str& text, int widthBytes);

}  // namespace common
