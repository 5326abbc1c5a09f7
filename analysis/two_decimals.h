#pragma once
// A float printed with exactly two decimals the way the palette text shows
// luminosities: the value, widened exactly, is expanded to 18 significant
// digits and then rounded at the second decimal with a 5 in the third decimal
// rounding up. So 1.125 prints as 1.13 (C's printf gives 1.12) and 255 as
// 255.00. No digit grouping; the decimal separator is the caller's.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Longest text a float can give: 39 digits, a sign, a separator of up to
// 8 bytes and two decimals.
inline constexpr size_t MaxTwoDecimalsLength = 64;

// Writes the text to out (room for MaxTwoDecimalsLength bytes, no terminating
// zero) and returns its length. separator is at most 8 bytes long.
size_t FormatTwoDecimals(float value, std::string_view separator, char* out);
std::string FormatTwoDecimals(float value, std::string_view separator = ".");

// Writes the decimal digits of number to out (room for 20 bytes, no
// terminating zero) and returns their count.
size_t AppendDecimalDigits(uint64_t number, char* out);
