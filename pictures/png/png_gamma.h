#pragma once
// The gamma correction of a gAMA chunk, as a table look-up per sample.

#include <array>
#include <cstdint>

using TGammaTable = std::array<uint8_t, 256>;

// Entry i = i.
TGammaTable IdentityGammaTable();

// For a file gamma of value / 100000 and the fixed display exponent 2.2:
// gamma[i] = round((i / 255) ^ (1 / (value / 100000 × 2.2)) × 255), halves
// to even; inverse[gamma[i]] = i. A value of 0 changes nothing.
void BuildGammaTables(uint32_t value, TGammaTable& gamma, TGammaTable& inverse);
