// Number <-> text conversions with the program's exact rules.
#pragma once

#include <cstdint>

#include "framework/core/str.h"

namespace fw {

// Number to text: a blank before a value of zero or more, "-" before a
// negative one (str(0) is " 0", str(-1) is "-1"). Floating values carry at
// most 15 significant digits (7 for single precision), no trailing zeros, no
// point for whole values and no zero before the point (0.5 gives " .5").
// The plain form is used while the decimal exponent e of the rounded value
// lies in -5 <= e < 15 (single: -5 <= e < 7); otherwise one digit, the point
// and the rest, then D (double) or E (single), a sign and at least two
// exponent digits: 1e15 gives " 1D+15", 1.5e-6 gives " 1.5D-06". An infinite
// or NaN value is error 6.
Str str(long long n);
Str str(long n);
Str str(int n);
Str str(double x);
Str strSingle(float x);

// Text to number: skips leading blanks (0x20 and tab; a full-width space is
// not one), cuts the text at its next blank, then reads
//  - &H / &O and hexadecimal or octal digits: a value that fits 16 bits is
//    read as a 16-bit integer (&HFFFF is -1), else as 32 bits; more digits
//    than 32 bits hold give 2147483647;
//  - otherwise the longest prefix of: optional sign, digits, optional point
//    and digits, optional exponent (E or D, optional sign, digits).
// 0 when there is no number ("", "abc", "-", "."). Full-width digits are not
// digits. Never raises: a value too large for a double is the largest
// double with its sign, one too small is 0.
double val(const Str& s);

// Rounding to an integer variable: nearest, halves to even; error 6 when the
// result does not fit (or x is infinite or NaN).
int16_t toInt16(double x);
int32_t toInt32(double x);

}  // namespace fw
