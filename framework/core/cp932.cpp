#include "framework/core/cp932.h"

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

}  // namespace fw
