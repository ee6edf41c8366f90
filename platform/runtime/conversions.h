// Number and text conversions of the launcher's form runtime. Plain code: no
// display, no FLTK. They keep the exact shapes stored files and the settings
// dialog rely on (a blank before non-negative numbers, ties rounded to even,
// text read up to its first non-digit), and never depend on the C locale.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// A whole number as text: one leading blank for zero and above, "-" for
// negative numbers, no other padding.  2 -> " 2", 0 -> " 0", -1 -> "-1".
std::string numberText(long long value);

// Reads a number from the start of a text: blanks, tabs, CR and LF are
// skipped wherever they stand (so "12 34" reads as 1234); then an optional
// sign, decimal digits and at most one decimal point are taken up to the
// first other character. No digits give 0.  "1234" -> 1234, "12.5x" -> 12.5,
// "abc" -> 0, "" -> 0.
double leadingNumber(const std::string& text);

// The numeric test: true when the whole text, blanks around it allowed, is
// a decimal number: optional sign, digits with at most one decimal point
// (at least one digit), optional exponent (E or D, optional sign, digits).
// Thousands separators, currency signs and hexadecimal forms are not
// accepted. On success `value` holds the number; a number too large for a
// double is not numeric.
bool parseNumber(const std::string& text, double& value);

// Rounding to the nearest whole number, halves to the even neighbour:
// 2.5 -> 2, 3.5 -> 4, -2.5 -> -2.
double roundHalfEven(double value);

// Rounded (halves to even) into a 16- or 32-bit integer. False, with `out`
// untouched, when the rounded value does not fit or the value is not a number.
bool toInt16Rounded(double value, int16_t& out);
bool toInt32Rounded(double value, int32_t& out);

// The number pattern "##": the decimal number without leading zeros, and
// empty text for 0.  0 -> "", 7 -> "7", 30 -> "30", -3 -> "-3".
std::string formatHashes(long long value);

}  // namespace platform
