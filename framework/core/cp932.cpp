#include "framework/core/cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <stdexcept>

namespace fw {
namespace {

// One conversion descriptor per direction, opened on first use and kept: the
// history search converts thousands of short strings.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw std::runtime_error(std::string("iconv cannot convert ") + from + " to " + to);
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Converts as much of [in, in + n) as possible and appends it to out.
  // Returns the number of input bytes consumed; *failure is the errno of the
  // stop (0 when all was converted).
  std::size_t convert(const char* in, std::size_t n, std::string& out, int* failure) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in);
    std::size_t left = n;
    char chunk[256];
    *failure = 0;
    while (left > 0) {
      char* dst = chunk;
      std::size_t room = sizeof chunk;
      std::size_t r = iconv(cd_, &src, &left, &dst, &room);
      out.append(chunk, static_cast<std::size_t>(dst - chunk));
      if (r == static_cast<std::size_t>(-1)) {
        if (errno == E2BIG) continue;
        *failure = errno;
        break;
      }
    }
    return n - left;
  }

 private:
  iconv_t cd_;
};

Converter& decoder() {
  thread_local Converter c("UTF-8", "CP932");
  return c;
}

Converter& encoder() {
  thread_local Converter c("CP932", "UTF-8");
  return c;
}

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
    int failure = 0;
    at += decoder().convert(cp932.data() + at, cp932.size() - at, out, &failure);
    if (failure == 0) break;
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
    int failure = 0;
    at += encoder().convert(utf8.data() + at, utf8.size() - at, out, &failure);
    if (failure == 0) break;
    out += '?';
    std::size_t skip = utf8Length(static_cast<unsigned char>(utf8[at]));
    at += skip <= utf8.size() - at ? skip : utf8.size() - at;
  }
  return out;
}

}  // namespace fw
