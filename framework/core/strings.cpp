#include "framework/core/strings.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <new>
#include <stdexcept>
#include <string_view>

#include "framework/core/clock.h"
#include "framework/core/cp932.h"
#include "framework/core/error.h"

namespace fw {
namespace {

// Byte length of the character starting at s[i]: 2 for a lead byte that has
// a byte after it, else 1 (a lead byte cut off at the end counts as one byte).
std::size_t charLength(const Str& s, std::size_t i) {
  return isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Byte offset of the k-th character (0-based), or s.size() when there are
// fewer characters.
std::size_t charOffset(const Str& s, long k) {
  std::size_t i = 0;
  for (long c = 0; c < k && i < s.size(); ++c) i += charLength(s, i);
  return i;
}

// ---- code points of single characters, for the width conversions ----

char32_t decodeChar(const Str& bytes) {
  std::string u = toUtf8(bytes);
  const auto* p = reinterpret_cast<const unsigned char*>(u.data());
  if (u.size() == 1) return p[0];
  if (u.size() == 2) return (p[0] & 0x1Fu) << 6 | (p[1] & 0x3Fu);
  if (u.size() == 3) return (p[0] & 0x0Fu) << 12 | (p[1] & 0x3Fu) << 6 | (p[2] & 0x3Fu);
  return 0xFFFD;
}

Str encodeChar(char32_t c) {
  std::string u;
  if (c < 0x80) {
    u += static_cast<char>(c);
  } else if (c < 0x800) {
    u += static_cast<char>(0xC0 | c >> 6);
    u += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    u += static_cast<char>(0xE0 | c >> 12);
    u += static_cast<char>(0x80 | (c >> 6 & 0x3F));
    u += static_cast<char>(0x80 | (c & 0x3F));
  }
  return fromUtf8(u);
}

// Full-width katakana (and the marks of the half-width block) for the
// half-width katakana bytes 0xA1..0xDF, which are U+FF61..U+FF9F in order.
constexpr std::array<char32_t, 63> kHalfKanaToFull = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7,
    0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8,
    0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB,
    0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD,
    0x30CE, 0x30CF, 0x30D2, 0x30D5, 0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1,
    0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF,
    0x30F3, 0x309B, 0x309C};
constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

bool takesVoicedMark(char32_t kana) {
  switch (kana) {
    case 0x30A6: case 0x30AB: case 0x30AD: case 0x30AF: case 0x30B1: case 0x30B3:  // ウ カ行
    case 0x30B5: case 0x30B7: case 0x30B9: case 0x30BB: case 0x30BD:               // サ行
    case 0x30BF: case 0x30C1: case 0x30C4: case 0x30C6: case 0x30C8:               // タ行
    case 0x30CF: case 0x30D2: case 0x30D5: case 0x30D8: case 0x30DB:               // ハ行
      return true;
    default:
      return false;
  }
}
bool takesSemiVoicedMark(char32_t kana) {
  return kana == 0x30CF || kana == 0x30D2 || kana == 0x30D5 || kana == 0x30D8 || kana == 0x30DB;
}
char32_t withVoicedMark(char32_t kana) { return kana == 0x30A6 ? 0x30F4 : kana + 1; }

// Full-width forms of ASCII whose CP932 form is not the U+FF01.. one.
char32_t fullWidthOfAscii(unsigned char c) {
  switch (c) {
    case ' ': return 0x3000;
    case '"': return 0x201D;   // ” : CP932 has no plain full-width quote in JIS X 0208
    case '\'': return 0x2019;  // ’
    default: return 0xFF01 + (c - 0x21);
  }
}

}  // namespace

bool isLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

long len(const Str& s) { return static_cast<long>(s.size()); }

Str left(const Str& s, long n) {
  if (n < 0) raise(err::InvalidArgument);
  return s.substr(0, static_cast<std::size_t>(n));
}

Str leftWhole(const Str& s, long n) {
  if (n < 0) raise(err::InvalidArgument);
  const std::size_t limit = std::min(static_cast<std::size_t>(n), s.size());
  std::size_t end = 0;
  while (end < limit) {
    const std::size_t next = end + (isLeadByte(static_cast<unsigned char>(s[end])) ? 2 : 1);
    if (next > limit) break;
    end = next;
  }
  return s.substr(0, end);
}

Str fitWhole(const Str& s, long n) {
  Str fitted = leftWhole(s, n);
  fitted.resize(static_cast<std::size_t>(n), ' ');
  return fitted;
}

Str right(const Str& s, long n) {
  if (n < 0) raise(err::InvalidArgument);
  std::size_t keep = std::min(static_cast<std::size_t>(n), s.size());
  return s.substr(s.size() - keep);
}

Str mid(const Str& s, long k, long n) {
  if (k < 1 || n < 0) raise(err::InvalidArgument);
  std::size_t from = static_cast<std::size_t>(k - 1);
  if (from >= s.size()) return {};
  return s.substr(from, static_cast<std::size_t>(n));
}

long instr(long k, const Str& s, const Str& t) {
  if (k < 1) raise(err::InvalidArgument);
  if (t.empty()) return k;
  std::size_t from = static_cast<std::size_t>(k - 1);
  if (from >= s.size()) return 0;
  std::size_t at = s.find(t, from);
  return at == Str::npos ? 0 : static_cast<long>(at + 1);
}

long instr(const Str& s, const Str& t) { return instr(1, s, t); }

long charCount(const Str& s, int kind) {
  if (kind < 0 || kind > 2) raise(err::InvalidArgument);
  long singles = 0, doubles = 0;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = charLength(s, i);
    (n == 2 ? doubles : singles) += 1;
    i += n;
  }
  return kind == 0 ? singles + doubles : kind == 1 ? singles : doubles;
}

long charInstr(long k, const Str& s, const Str& t) {
  if (k < 1) raise(err::InvalidArgument);
  if (t.empty()) return k;
  // Only matches that start on a character boundary count: a match starting on
  // a trail byte would be half of one character and half of another.
  std::size_t i = charOffset(s, k - 1);
  for (long c = k; i < s.size(); ++c) {
    if (s.compare(i, t.size(), t) == 0) return c;
    i += charLength(s, i);
  }
  return 0;
}

Str trim(const Str& s) {
  auto blankAt = [&](std::size_t i) -> std::size_t {  // byte length of a blank at i, or 0
    if (s[i] == ' ') return 1;
    if (s[i] == '\x81' && i + 1 < s.size() && s[i + 1] == '\x40') return 2;
    return 0;
  };
  std::size_t start = 0;
  while (start < s.size()) {
    std::size_t b = blankAt(start);
    if (b == 0) break;
    start += b;
  }
  // Walk whole characters, so that the 0x40 trail byte of, say, ァ (0x83 0x40)
  // is never taken for the second half of a full-width blank.
  std::size_t end = start;
  for (std::size_t i = start; i < s.size();) {
    std::size_t n = charLength(s, i);
    if (blankAt(i) == 0) end = i + n;
    i += n;
  }
  return s.substr(start, end - start);
}

Str upper(const Str& s) {
  Str out = s;
  for (std::size_t i = 0; i < out.size();) {
    std::size_t n = charLength(out, i);
    if (n == 1 && out[i] >= 'a' && out[i] <= 'z') out[i] = static_cast<char>(out[i] - 'a' + 'A');
    i += n;
  }
  return out;
}

Str toFullWidth(const Str& s) {
  Str out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = charLength(s, i);
    auto b = static_cast<unsigned char>(s[i]);
    char32_t wide = 0;
    if (n == 1 && b >= 0x20 && b <= 0x7E) {
      wide = fullWidthOfAscii(b);
    } else if (n == 1 && b >= 0xA1 && b <= 0xDF) {
      wide = kHalfKanaToFull[b - 0xA1];
      // ｶﾞ and ﾊﾟ become one character, as a typed ガ or パ would be.
      if (i + 1 < s.size()) {
        auto next = static_cast<unsigned char>(s[i + 1]);
        if (next == kVoicedMark && takesVoicedMark(wide)) {
          wide = withVoicedMark(wide);
          n = 2;
        } else if (next == kSemiVoicedMark && takesSemiVoicedMark(wide)) {
          wide += 2;
          n = 2;
        }
      }
    }
    Str converted = wide ? encodeChar(wide) : Str();
    out += converted.size() == 2 ? converted : s.substr(i, n);
    i += n;
  }
  return out;
}

Str toHalfWidth(const Str& s) {
  Str out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = charLength(s, i);
    if (n == 1) {
      out += s[i++];
      continue;
    }
    char32_t c = decodeChar(s.substr(i, 2));
    int narrow = -1;
    char mark = 0;
    if (c >= 0xFF01 && c <= 0xFF5E) {
      narrow = static_cast<int>(c - 0xFF01 + 0x21);
    } else if (c == 0x3000) {
      narrow = ' ';
    } else if (c == 0x201D || c == 0x201C) {
      narrow = '"';
    } else if (c == 0x2019 || c == 0x2018) {
      narrow = '\'';
    } else if (c == 0xFFE5) {  // ￥: the yen sign sits on 0x5C in CP932
      narrow = '\\';
    } else if (c == 0xFFE3 || c == 0x301C) {  // ￣, and 〜 where ～ decodes so
      narrow = '~';
    } else if (c == 0x2212) {  // − where the full-width minus decodes so
      narrow = '-';
    } else {
      for (std::size_t k = 0; k < kHalfKanaToFull.size() && narrow < 0; ++k) {
        char32_t base = kHalfKanaToFull[k];
        if (c == base) {
          narrow = static_cast<int>(0xA1 + k);
        } else if (takesVoicedMark(base) && c == withVoicedMark(base)) {
          narrow = static_cast<int>(0xA1 + k);
          mark = static_cast<char>(kVoicedMark);
        } else if (takesSemiVoicedMark(base) && c == base + 2) {
          narrow = static_cast<int>(0xA1 + k);
          mark = static_cast<char>(kSemiVoicedMark);
        }
      }
    }
    if (narrow < 0) {
      out += s.substr(i, 2);
    } else {
      out += static_cast<char>(narrow);
      if (mark) out += mark;
    }
    i += 2;
  }
  return out;
}

Str chr(std::initializer_list<int> bytes) {
  Str out;
  for (int b : bytes) {
    if (b < 0 || b > 255) raise(err::InvalidArgument);
    out += static_cast<char>(b);
  }
  return out;
}

Str repeat(long n, const Str& s) {
  if (n < 0 || s.empty()) raise(err::InvalidArgument);
  // A count no memory can hold is the runtime's error 7, which the trap
  // reports, not a std::bad_alloc that would end the program unannounced.
  // The size is checked first: an allocator may abort on an absurd request
  // (the sanitizers' does) instead of throwing.
  if (n > kMaxStringBytes) raise(err::OutOfMemory);
  try {
    return Str(static_cast<std::size_t>(n), s[0]);
  } catch (const std::bad_alloc&) {
    raise(err::OutOfMemory);
  } catch (const std::length_error&) {
    raise(err::OutOfMemory);
  }
}

Str hex(long long n) {
  // A negative value shows its two's complement, in 32 bits when it fits
  // there (hex(-1) is FFFFFFFF), else in 64.
  unsigned long long u = n >= -2147483648LL && n < 0
                             ? static_cast<unsigned long long>(static_cast<uint32_t>(n))
                             : static_cast<unsigned long long>(n);
  char buf[24];
  std::snprintf(buf, sizeof buf, "%llX", u);
  return buf;
}

Str date() {
  LocalTime t = now();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04u/%02u/%02u", static_cast<unsigned>(t.year),
                static_cast<unsigned>(t.month), static_cast<unsigned>(t.day));
  return buf;
}

bool same(const Str& s, const Str& t) { return s == t; }

}  // namespace fw
