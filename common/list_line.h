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

#include <array>

#include "common/history_format.h"
#include "framework/core/str.h"

namespace common {

// Which number the second part of a line shows.
enum class ListColumn { Number, ChartNumber };

// The parts of a line and where they stand: first byte (from 1) and width.
// Everything between two parts is blanks; the entry number runs to the end.
enum class ListPart { LineNumber, Number, Name, Sex, BirthDate, Age, ExamDate, EntryNumber };
struct ListSlot {
  ListPart part;
  int firstByte;
  int widthBytes;  // 0: to the end of the line
};
inline constexpr std::array<ListSlot, 8> kListSlots{{
    {ListPart::LineNumber, 1, 4},
    {ListPart::Number, 8, 12},
    {ListPart::Name, 24, 24},
    {ListPart::Sex, 51, 2},
    {ListPart::BirthDate, 56, 20},
    {ListPart::Age, 77, 5},
    {ListPart::ExamDate, 86, 20},
    {ListPart::EntryNumber, 110, 0},
}};
constexpr ListSlot listSlot(ListPart p) { return kListSlots[static_cast<int>(p)]; }
inline constexpr int kListEntryNumberByte = listSlot(ListPart::EntryNumber).firstByte;

// The bytes of one part of a line as they stand (shorter or empty when the
// line ends early).
fw::Str listPart(const fw::Str& line, ListPart part);

// An entry number: record n of both history files, from 1; 0 is none.
using EntryNumber = long;

// The line of the entry `entryNumber` whose attribute record holds `a`
// (trimmed values, as decodeAttributes gives them).
fw::Str historyListLine(long lineNumber, const AttributeValues& a, ListColumn column,
                        EntryNumber entryNumber, int trailingBlanks = 0);

// The entry number a text names (a line's entry-number part): its leading
// number, whole, when that is 1 up to 2147483647; 0 otherwise.
EntryNumber entryNumberOfText(const fw::Str& text);
// The entry number of a list line: entryNumberOfText of its last part; 0
// for a line too short to hold one.
EntryNumber entryNumberOfListLine(const fw::Str& line);

}  // namespace common
