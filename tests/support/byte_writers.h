#pragma once
// Appending integers to crafted test files, in either byte order.

#include <cstdint>
#include <vector>

inline void PutLE16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}

inline void PutLE32(std::vector<uint8_t>& out, uint32_t value) {
    PutLE16(out, value & 0xFFFF);
    PutLE16(out, value >> 16);
}

inline void PutBE32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t(value >> shift));
}
