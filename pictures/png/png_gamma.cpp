#include "pictures/png/png_gamma.h"

#include <cmath>

TGammaTable IdentityGammaTable() {
    TGammaTable table{};
    for (int i = 0; i < 256; ++i) table[i] = uint8_t(i);
    return table;
}

void BuildGammaTables(uint32_t value, TGammaTable& gamma, TGammaTable& inverse) {
    if (value == 0) return;
    // Extended precision, so that values landing near a half round the same
    // way as the 80-bit arithmetic the table is defined by.
    const long double exponent = 1.0L / (static_cast<long double>(value) / 100000.0L * 2.2L);
    for (int i = 0; i < 256; ++i) {
        const long double base = static_cast<long double>(i) / 255.0L;
        const long double corrected = i == 0 ? 0.0L : std::pow(base, exponent) * 255.0L;
        // The default rounding mode rounds halves to even.
        const long double rounded = std::nearbyint(corrected);
        const uint8_t g = uint8_t(rounded > 255.0L ? 255.0L : rounded);
        gamma[i] = g;
        inverse[g] = uint8_t(i);
    }
}
