// Normalisation rules applied when a box of the main window is committed
// with Enter. Pure functions on CP932 text: no window, no file.
#pragma once

#include <optional>

#include "framework/core/str.h"

namespace entry::rules {

using fw::Str;

// Takes the commit out of a box's text: removes the first CR LF and trims
// half- and full-width blanks. Returns nullopt when the text holds no CR LF
// (the operator has not pressed Enter yet; the box is left alone).
std::optional<Str> takeCommit(const Str& boxText);

// Month, day, hour, age: one byte becomes its full-width form ("5" -> "５");
// a value starting with the digit 0 becomes the full-width form of its last
// character ("05" -> "５"); anything else stays.
Str month(const Str& value);

// Minute: one byte gets a leading "0" ("5" -> "05"); anything else stays.
Str minute(const Str& value);

// Year: a western year ("2024") or an era name of two full-width characters
// followed by the year in the era. The era's year number is made half-width,
// or full-width when below 10 ("令和3" -> "令和３", "令和１２" -> "令和12").
// nullopt: rejected (no number either before or after byte 4: "令和", "abc").
std::optional<Str> year(const Str& value);

// Examinee and chart numbers, checked in this order.
enum class NumberFault { None, TooLong, FullWidth, BelowOne };
inline constexpr long kNumberMaxBytes = 10;
NumberFault checkNumber(const Str& value);

// Chart number: an accepted non-empty value padded on the left with "0" to
// 10 characters; an empty value stays empty.
Str fillChartNumber(const Str& value);

}  // namespace entry::rules
