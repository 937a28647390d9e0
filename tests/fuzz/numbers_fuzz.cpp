// Text to number and number to text: never a runtime error on any text,
// never an infinite value, and a number written as text reads back as the
// same number (to the digits the text form keeps), its text then unchanged.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

#include "framework/core/error.h"
#include "framework/core/numbers.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

bool closeTo(double a, double b, double relative) {
  if (a == b) return true;
  return std::fabs(a - b) <= relative * std::max(std::fabs(a), std::fabs(b));
}

// A finite number through its text form and back.
void checkRoundTrip(double x) {
  const fw::Str text = fw::str(x);
  FUZZ_CHECK(!text.empty() && (text[0] == ' ' || text[0] == '-'));
  FUZZ_CHECK((text[0] == '-') == (x < 0));
  const double back = fw::val(text);
  FUZZ_CHECK(std::isfinite(back));
  // 15 significant digits are kept; values below the smallest normal double
  // lose more as text.
  if (std::fabs(x) >= 1e-300) FUZZ_CHECK(closeTo(back, x, 1e-14));
  FUZZ_CHECK(fw::str(back) == text);

  const float single = static_cast<float>(x);
  if (std::isfinite(single)) {
    const fw::Str singleText = fw::strSingle(single);
    const double singleBack = fw::val(singleText);
    if (std::fabs(single) >= 1e-30f) FUZZ_CHECK(closeTo(singleBack, single, 1e-6));
  }
}

// Rounding to an integer variable: the nearest value, or error 6 outside.
void checkIntegers(double x) {
  try {
    const std::int32_t i = fw::toInt32(x);
    FUZZ_CHECK(std::fabs(static_cast<double>(i) - x) <= 0.5);
  } catch (const fw::RuntimeError& e) {
    FUZZ_CHECK(e.number() == fw::err::Overflow);
    FUZZ_CHECK(!(std::fabs(x) < 2147483647.0));
  }
  try {
    const std::int16_t i = fw::toInt16(x);
    FUZZ_CHECK(std::fabs(static_cast<double>(i) - x) <= 0.5);
  } catch (const fw::RuntimeError& e) {
    FUZZ_CHECK(e.number() == fw::err::Overflow);
    FUZZ_CHECK(!(std::fabs(x) < 32767.0));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const fw::Str text(reinterpret_cast<const char*>(data), size);
  const double v = fw::val(text);
  FUZZ_CHECK(std::isfinite(v));
  checkRoundTrip(v);
  checkIntegers(v);
  // Leading blanks do not change the value.
  FUZZ_CHECK(fw::val(" \t" + text) == v);

  // The first eight bytes as a double: every finite value prints and reads.
  if (size >= 8) {
    double x;
    std::memcpy(&x, data, sizeof x);
    if (std::isfinite(x)) {
      checkRoundTrip(x);
      checkIntegers(x);
    } else {
      try {
        fw::str(x);
        FUZZ_CHECK(!"an infinite value or NaN was printed");
      } catch (const fw::RuntimeError& e) {
        FUZZ_CHECK(e.number() == fw::err::Overflow);
      }
    }
  }
  return 0;
}
