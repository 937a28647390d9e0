#include "framework/core/numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

#include "framework/core/error.h"

namespace fw {
namespace {

// Plain notation is used while the decimal exponent of the rounded value is
// in [kLowestPlainExponent, significant digits): 1e-5 is written out, 1e-6 is
// not; a double is plain up to 999999999999999 (15 digits), a single up to
// 9999999 (7 digits).
constexpr int kLowestPlainExponent = -5;

// to_chars, not printf: the form layer sets the process locale, and a decimal
// comma must never reach the stored data.
Str formatFloating(double x, int digits, char exponentLetter) {
  if (!std::isfinite(x)) raise(err::Overflow);
  if (x == 0) return " 0";  // also -0
  Str out = x < 0 ? "-" : " ";
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                           digits - 1);
  std::string sci(buf, res.ptr);  // d.ddddde±XX
  std::size_t ePos = sci.find('e');
  int exponent = std::stoi(sci.substr(ePos + 1));
  std::string mantissa = sci.substr(0, 1) + (ePos > 2 ? sci.substr(2, ePos - 2) : "");
  while (mantissa.size() > 1 && mantissa.back() == '0') mantissa.pop_back();

  if (exponent >= kLowestPlainExponent && exponent < digits) {
    if (exponent >= 0) {
      std::size_t whole = static_cast<std::size_t>(exponent) + 1;
      if (mantissa.size() <= whole) {
        out += mantissa + std::string(whole - mantissa.size(), '0');
      } else {
        out += mantissa.substr(0, whole) + "." + mantissa.substr(whole);
      }
    } else {
      // No zero before the point: 0.5 is written " .5".
      out += "." + std::string(static_cast<std::size_t>(-exponent - 1), '0') + mantissa;
    }
    return out;
  }
  out += mantissa.substr(0, 1);
  if (mantissa.size() > 1) out += "." + mantissa.substr(1);
  out += exponentLetter;
  out += exponent < 0 ? '-' : '+';
  std::string e = std::to_string(std::abs(exponent));
  if (e.size() < 2) e.insert(0, "0");
  return out + e;
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  else if (c >= 'A' && c <= 'F') v = c - 'A' + 10;
  else if (c >= 'a' && c <= 'f') v = c - 'a' + 10;
  return v >= 0 && v < base ? v : -1;
}

// &H / &O literal: the value is read in 16 bits when it fits there and in 32
// bits otherwise, so &HFFFF is -1 and &H10000 is 65536.
double radixValue(const Str& t, std::size_t i, int base) {
  unsigned long long v = 0;
  bool any = false;
  for (; i < t.size(); ++i) {
    int d = digitValue(t[i], base);
    if (d < 0) break;
    v = v * static_cast<unsigned>(base) + static_cast<unsigned>(d);
    if (v > 0xFFFFFFFFULL) return 2147483647;  // too long: the largest value
    any = true;
  }
  if (!any) return 0;
  if (v <= 0xFFFF) return static_cast<int16_t>(static_cast<uint16_t>(v));
  return static_cast<int32_t>(static_cast<uint32_t>(v));
}

double roundHalfEven(double x) {
  double floor = std::floor(x);
  double diff = x - floor;
  if (diff > 0.5) return floor + 1;
  if (diff < 0.5) return floor;
  return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace

Str str(long long n) {
  return (n < 0 ? "" : " ") + std::to_string(n);
}
Str str(long n) { return str(static_cast<long long>(n)); }
Str str(int n) { return str(static_cast<long long>(n)); }
Str str(double x) { return formatFloating(x, 15, 'D'); }
Str strSingle(float x) { return formatFloating(x, 7, 'E'); }

double val(const Str& s) {
  std::size_t start = 0;
  while (start < s.size() && isBlank(s[start])) ++start;
  std::size_t end = start;
  while (end < s.size() && !isBlank(s[end])) ++end;
  Str t = s.substr(start, end - start);

  if (t.size() >= 2 && t[0] == '&') {
    if (t[1] == 'H' || t[1] == 'h') return radixValue(t, 2, 16);
    if (t[1] == 'O' || t[1] == 'o') return radixValue(t, 2, 8);
    return 0;
  }

  std::size_t i = 0;
  bool negative = false;
  if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
  std::string number;  // digits, point and exponent in from_chars syntax
  std::size_t mantissaDigits = 0;
  // Decimal places of the leading non-zero digit: 1 for 5, 2 for 12,
  // 0 for .5, -1 for .05; decides the direction of an out-of-range value.
  long long leadingPlace = 0;
  bool seenNonZero = false;
  while (i < t.size() && isDigit(t[i])) {
    if (t[i] != '0') seenNonZero = true;
    if (seenNonZero) ++leadingPlace;
    number += t[i++], ++mantissaDigits;
  }
  if (i < t.size() && t[i] == '.') {
    number += t[i++];
    while (i < t.size() && isDigit(t[i])) {
      if (!seenNonZero && t[i] == '0') --leadingPlace;
      if (t[i] != '0') seenNonZero = true;
      number += t[i++], ++mantissaDigits;
    }
  }
  if (mantissaDigits == 0) return 0;
  long long exponentValue = 0;  // saturated: only its sign and size matter here
  if (i < t.size() && (t[i] == 'E' || t[i] == 'e' || t[i] == 'D' || t[i] == 'd')) {
    std::size_t j = i + 1;
    std::string exponent = "e";
    bool negativeExponent = false;
    if (j < t.size() && (t[j] == '+' || t[j] == '-')) {
      negativeExponent = t[j] == '-';
      exponent += t[j++];
    }
    if (j < t.size() && isDigit(t[j])) {  // "12e" or "12ex" keeps just 12
      while (j < t.size() && isDigit(t[j])) {
        exponentValue = std::min(exponentValue * 10 + (t[j] - '0'), 1'000'000'000LL);
        exponent += t[j++];
      }
      if (negativeExponent) exponentValue = -exponentValue;
      number += exponent;
    }
  }
  double v = 0;
  auto res = std::from_chars(number.data(), number.data() + number.size(), v);
  if (res.ec == std::errc::result_out_of_range) {
    // Reading a text never fails: the operator's or a file's digits decide
    // only how large the value is. Too small to hold is 0, too large the
    // largest value with its sign (a hand-edited "1e999" in a settings file
    // must not end the program at start). Which of the two is decided by the
    // place of the leading digit, not by the exponent's sign alone: a long
    // run of zeros after the point is tiny without any exponent.
    if (leadingPlace + exponentValue <= 0) return 0;
    v = std::numeric_limits<double>::max();
  }
  return negative ? -v : v;
}

int16_t toInt16(double x) {
  if (!std::isfinite(x)) raise(err::Overflow);
  double r = roundHalfEven(x);
  if (r < -32768 || r > 32767) raise(err::Overflow);
  return static_cast<int16_t>(r);
}

int32_t toInt32(double x) {
  if (!std::isfinite(x)) raise(err::Overflow);
  double r = roundHalfEven(x);
  if (r < -2147483648.0 || r > 2147483647.0) raise(err::Overflow);
  return static_cast<int32_t>(r);
}

}  // namespace fw
