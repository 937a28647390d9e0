#include "entry/rules.h"

#include <limits>

#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "framework/core/strings.h"

namespace entry::rules {

namespace {

// The last character of s, a double-byte one taken whole.
Str lastCharacter(const Str& s) {
  std::size_t i = 0, start = 0;
  while (i < s.size()) {
    start = i;
    i += fw::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
  }
  return s.substr(start);
}

constexpr long kEraBytes = 4;  // two full-width characters

}  // namespace

std::optional<Str> takeCommit(const Str& boxText) {
  const long at = fw::instr(1, boxText, fw::CRLF);
  if (at == 0) return std::nullopt;
  Str text = boxText;
  text.erase(static_cast<std::size_t>(at - 1), 2);
  return fw::trim(text);
}

Str month(const Str& value) {
  if (fw::len(value) == 1) return fw::toFullWidth(value);
  // The last character, not the last byte: "0５" must not turn the trail
  // byte of ５ into a letter, nor leave half a character behind.
  if (fw::left(value, 1) == "0") return fw::toFullWidth(lastCharacter(value));
  return value;
}

Str minute(const Str& value) {
  if (fw::len(value) == 1) return "0" + value;
  return value;
}

std::optional<Str> year(const Str& value) {
  if (value.empty()) return value;
  const Str era = fw::left(value, kEraBytes);
  if (fw::val(era) != 0) return value;  // a western year
  const Str number = fw::toHalfWidth(fw::trim(fw::mid(value, kEraBytes + 1)));
  const double yearInEra = fw::val(number);
  if (yearInEra == 0) return std::nullopt;
  if (yearInEra < 10) return era + fw::toFullWidth(number);
  return era + number;
}

NumberFault checkNumber(const Str& value) {
  if (fw::len(value) > kNumberMaxBytes) return NumberFault::TooLong;
  if (fw::charCount(value, 2) > 0) return NumberFault::FullWidth;
  if (!value.empty() && fw::val(value) < 1) return NumberFault::BelowOne;
  return NumberFault::None;
}

Str fillChartNumber(const Str& value) {
  if (value.empty()) return value;
  return fw::right(Str(kNumberMaxBytes, '0') + value, kNumberMaxBytes);
}

}  // namespace entry::rules
