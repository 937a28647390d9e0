// Byte-string functions on Shift_JIS text. Positions are 1-based byte
// positions unless a name says characters. Bad arguments raise error 5.
//
// Where characters count, a lead byte and the byte after it are one
// double-byte character; a lead byte at the very end (a field cut in the
// middle of a character) counts as one single-byte character.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "framework/core/str.h"

namespace fw {

// True for a byte that starts a double-byte character (0x81..0x9F, 0xE0..0xFC).
bool isLeadByte(unsigned char b);

// The longest string the program's values can hold: lengths are 32-bit.
inline constexpr long kMaxStringBytes = 2147483647;

long len(const Str& s);
Str left(const Str& s, long n);                 // n < 0: error 5
Str right(const Str& s, long n);                // n < 0: error 5
Str mid(const Str& s, long k, long n = 2147483647);  // k < 1 or n < 0: error 5
// The longest start of s of at most n bytes that ends on a whole character:
// never a lead byte without its trail byte, also where s itself ends in one
// (a value cut by an older writer). For stored fields. n < 0: error 5.
Str leftWhole(const Str& s, long n);
// leftWhole(s, n) padded with blanks to exactly n bytes: a value in a
// fixed-width slot of a record or a line. n < 0: error 5.
Str fitWhole(const Str& s, long n);
long instr(long k, const Str& s, const Str& t);      // 0 when absent; k < 1: error 5
long instr(const Str& s, const Str& t);              // from position 1
// kind 0 all characters, 1 single-byte ones, 2 double-byte ones; kind > 2: error 5
long charCount(const Str& s, int kind = 0);
// k and the result count characters; t is only found where a character
// starts (never from the trail byte of one); an empty t gives k.
long charInstr(long k, const Str& s, const Str& t);
// Removes leading and trailing blanks: 0x20 and the full-width space 0x81 0x40,
// walking whole characters (the 0x40 trail byte of ァ is no blank). Zero bytes
// and control characters stay.
Str trim(const Str& s);
Str upper(const Str& s);       // single-byte a..z only; double-byte characters untouched
// Full-width letters, digits, punctuation (＂ ” “ -> ", ’ ‘ -> ', ￥ -> \,
// ￣ -> ~), the full-width space and katakana -> single-byte forms; voiced
// katakana become two bytes (ガ -> ｶﾞ, パ -> ﾊﾟ). Hiragana, kanji and the
// rest are kept.
Str toHalfWidth(const Str& s);
// ASCII 0x20..0x7E and half-width katakana -> double-byte forms (space ->
// 0x81 0x40, " -> ”, ' -> ’, \ -> ＼, ~ -> ～, - -> －); a half-width kana
// followed by ﾞ or ﾟ becomes one voiced character when it has one.
Str toFullWidth(const Str& s);
Str chr(std::initializer_list<int> bytes);     // a value outside 0..255: error 5
// n copies of s's first byte; n < 0 or an empty s: error 5, a count above
// kMaxStringBytes or too large for memory: error 7.
Str repeat(long n, const Str& s);
// Upper case, no leading zeros (26 -> "1A"); a negative value shows its two's
// complement in 32 bits when it fits there (-1 -> "FFFFFFFF"), else in 64.
Str hex(long long n);
Str date();                                    // today as "YYYY/MM/DD" (clock.h)
bool same(const Str& s, const Str& t);         // byte-wise equality

inline const Str CRLF = "\r\n";

}  // namespace fw
