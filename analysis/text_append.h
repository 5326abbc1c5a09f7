#pragma once
// Appending to a line being formatted in a buffer the caller sized: each
// returns the position after what it wrote.

#include <cstdint>
#include <cstring>

#include "analysis/two_decimals.h"

inline char* AppendText(const char* text, char* out) {
    const size_t length = std::strlen(text);
    std::memcpy(out, text, length);
    return out + length;
}

inline char* AppendNumber(uint64_t number, char* out) { return out + AppendDecimalDigits(number, out); }
