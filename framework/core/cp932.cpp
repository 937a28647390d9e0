#include "framework/core/cp932.h"

#include <algorithm>
#include <cstddef>

#include "framework/core/internal/os.h"

namespace fw {
namespace {

// Length of the UTF-8 sequence starting with b (1 for a stray byte, so that
// the encoder always makes progress).
std::size_t utf8Length(unsigned char b) {
  if (b >= 0xF0 && b <= 0xF4) return 4;
  if (b >= 0xE0) return b <= 0xEF ? 3 : 1;
  if (b >= 0xC2) return 2;
  return 1;
}

// Length of the well-formed UTF-8 sequence at the start of s, 0 when there
// is none (a stray or cut byte, an overlong form, a surrogate).
std::size_t wellFormedLength(std::string_view s) {
  const auto b = static_cast<unsigned char>(s[0]);
  const std::size_t n = b < 0x80 ? 1 : b < 0xC2 ? 0 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : b < 0xF5 ? 4 : 0;
  if (n == 0 || s.size() < n) return 0;
  char32_t code = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto t = static_cast<unsigned char>(s[k]);
    if ((t & 0xC0) != 0x80) return 0;
    code = code << 6 | (t & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < kSmallest[n] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

std::string toUtf8(std::string_view cp932) {
  std::string out;
  out.reserve(cp932.size() * 3 / 2);
  std::size_t at = 0;
  while (at < cp932.size()) {
    at += os::decodeCp932(cp932.substr(at), out);
    if (at == cp932.size()) break;
    // An invalid byte, or a lead byte cut off at the end of a field: mark it
    // and go on with the next byte, which may well start a valid character.
    out += "\xEF\xBF\xBD";
    ++at;
  }
  return out;
}

Str fromUtf8(std::string_view utf8) {
  Str out;
  out.reserve(utf8.size());
  std::size_t at = 0;
  while (at < utf8.size()) {
    at += os::encodeCp932(utf8.substr(at), out);
    if (at == utf8.size()) break;
    out += '?';
    std::size_t skip = utf8Length(static_cast<unsigned char>(utf8[at]));
    at += skip <= utf8.size() - at ? skip : utf8.size() - at;
  }
  return out;
}

std::vector<std::string> charactersWithoutCp932(std::string_view utf8) {
  std::vector<std::string> found;
  std::string converted;
  std::size_t at = 0;
  while (at < utf8.size()) {
    converted.clear();
    at += os::encodeCp932(utf8.substr(at), converted);
    if (at == utf8.size()) break;
    const std::size_t n = wellFormedLength(utf8.substr(at));
    std::string character = n > 0 ? std::string(utf8.substr(at, n)) : std::string("\xEF\xBF\xBD");
    at += n > 0 ? n : 1;
    if (std::find(found.begin(), found.end(), character) == found.end())
      found.push_back(std::move(character));
  }
  return found;
}

}  // namespace fw
