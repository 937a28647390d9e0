// Number <-> text conversions with the program's exact rules.
#pragma once

#include <cstdint>

#include "framework/core/str.h"

namespace fw {

// Number to text: a blank before a value of zero or more, "-" before a
// negative one; floating values with at most 15 significant digits (7 for
// single precision), no trailing zeros, no point for whole values; very large
// or small values as d.dddD+nn (double) or d.dddE+nn (single).
Str str(long long n);
Str str(int n);
Str str(double x);
Str strSingle(float x);

// Text to number: skips leading blanks, cuts at the first blank, reads &H / &O
// prefixes, else the longest numeric prefix; 0 when there is none. Full-width
// digits are not digits.
double val(const Str& s);

// Rounding to an integer variable: nearest, halves to even; error 6 when the
// result does not fit.
int16_t toInt16(double x);
int32_t toInt32(double x);

}  // namespace fw
