// CP932 <-> Unicode and the byte-string functions on the result: decoding
// always gives valid UTF-8, encoding never gives half a character, and a
// text converted once converts back to itself.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "framework/core/cp932.h"
#include "framework/core/strings.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const std::string kReplacement = "\xEF\xBF\xBD";

void checkCp932Text(const fw::Str& s) {
  FUZZ_CHECK(fuzz::wellFormedCp932(s));
  // The functions that work on characters keep them whole.
  const fw::Str trimmed = fw::trim(s);
  FUZZ_CHECK(fuzz::wellFormedCp932(trimmed));
  FUZZ_CHECK(fw::trim(trimmed) == trimmed);
  FUZZ_CHECK(s.find(trimmed) != fw::Str::npos);
  FUZZ_CHECK(fuzz::wellFormedCp932(fw::toHalfWidth(s)));
  FUZZ_CHECK(fuzz::wellFormedCp932(fw::toFullWidth(s)));
  FUZZ_CHECK(fuzz::wellFormedCp932(fw::upper(s)));
  FUZZ_CHECK(fw::charCount(s, 1) + fw::charCount(s, 2) == fw::charCount(s, 0));
  FUZZ_CHECK(fw::charCount(s, 1) + 2 * fw::charCount(s, 2) == fw::len(s));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  // The input as CP932 bytes (a field of a stored file).
  const std::string utf8 = fw::toUtf8(input);
  FUZZ_CHECK(fuzz::validUtf8(utf8));
  const fw::Str encoded = fw::fromUtf8(utf8);
  checkCp932Text(encoded);
  // Once through, the text is stable: back and forth again changes nothing.
  FUZZ_CHECK(fw::fromUtf8(fw::toUtf8(encoded)) == encoded);
  if (utf8.find(kReplacement) == std::string::npos) {
    // Every byte was part of a character: the same characters come back
    // (a character with two codes in CP932 comes back under one of them).
    FUZZ_CHECK(fw::toUtf8(encoded) == utf8);
    FUZZ_CHECK(fuzz::wellFormedCp932(input));
  }

  // The input as UTF-8 text (from Qt or the OS).
  const fw::Str fromText = fw::fromUtf8(input);
  checkCp932Text(fromText);
  FUZZ_CHECK(fuzz::validUtf8(fw::toUtf8(fromText)));
  FUZZ_CHECK(fw::fromUtf8(fw::toUtf8(fromText)) == fromText);
  // Well-formed UTF-8 loses exactly the characters reported as without a
  // CP932 form: one '?' for each of their occurrences, and no other. (A bad
  // byte is reported as U+FFFD, which stands for no particular bytes.)
  const std::vector<std::string> missing = fw::charactersWithoutCp932(input);
  if (std::find(missing.begin(), missing.end(), kReplacement) == missing.end()) {
    const auto count = [](std::string_view s, std::string_view part) {
      std::size_t n = 0;
      for (auto at = s.find(part); at != std::string_view::npos; at = s.find(part, at + part.size()))
        ++n;
      return n;
    };
    std::size_t lost = 0;
    for (const std::string& c : missing) lost += count(input, c);
    FUZZ_CHECK(count(fromText, "?") == count(input, "?") + lost);
  }
  // Plain ASCII passes unchanged both ways.
  bool ascii = true;
  for (unsigned char b : input) ascii = ascii && b < 0x80;
  if (ascii) {
    FUZZ_CHECK(fromText == input);
    FUZZ_CHECK(utf8 == input);
  }
  return 0;
}
