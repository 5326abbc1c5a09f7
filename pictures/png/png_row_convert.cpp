#include "pictures/png/png_row_convert.h"

#include <array>
#include <cstddef>

#include "pictures/png/png_layout.h"

namespace {

const uint8_t* IdentityTable() {
    static const auto table = [] {
        std::array<uint8_t, 256> t{};
        for (int i = 0; i < 256; ++i) t[size_t(i)] = uint8_t(i);
        return t;
    }();
    return table.data();
}

// Sample k of a row of `Bits`-bit samples, the leftmost in the high bits.
template <int Bits>
inline unsigned PackedSample(const uint8_t* row, int64_t k) {
    const int64_t bit = k * Bits;
    return (row[bit >> 3] >> (8 - Bits - (bit & 7))) & ((1u << Bits) - 1);
}

template <int Bits>
inline void StorePacked(uint8_t* dib, int64_t column, unsigned value) {
    const int64_t bit = column * Bits;
    const int shift = 8 - Bits - int(bit & 7);
    const unsigned mask = ((1u << Bits) - 1) << shift;
    uint8_t& byte = dib[bit >> 3];
    byte = uint8_t((byte & ~mask) | (value << shift));
}

// Grey and palette at 1, 4 and 8 bits: the samples as they are. Only the
// row's own pixels are stored, never the unused bits of its last byte.
template <int Bits>
void ConvertPacked(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k)
        StorePacked<Bits>(target.Dib, at.FirstColumn + k * at.ColumnStep, PackedSample<Bits>(row, k));
}

// 2-bit palette indices keep their value in the 4-bit DIB.
void ConvertPalette2(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k)
        StorePacked<4>(target.Dib, at.FirstColumn + k * at.ColumnStep, PackedSample<2>(row, k));
}

// 2-bit greys become index 5 × v of the 16-entry ramp: grey 85 × v.
void ConvertGrey2(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k)
        StorePacked<4>(target.Dib, at.FirstColumn + k * at.ColumnStep, 5 * PackedSample<2>(row, k));
}

// Grey or palette at 16 bits: high byte into the DIB, low byte aside.
void ConvertSingle16(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k) {
        const int64_t c = at.FirstColumn + k * at.ColumnStep;
        target.Dib[c] = row[2 * k];
        target.Extra[c] = row[2 * k + 1];
    }
}

// RGB and RGB + alpha at 8 bits; `Channels` is 3 or 4. Without a gamma
// table (the identity) the samples are only reordered.
template <int Channels, bool Corrected>
void ConvertColor8Loop(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t* g) {
    uint8_t* dib = target.Dib + at.FirstColumn * 3;
    uint8_t* alpha = Channels == 4 ? target.Alpha + at.FirstColumn : nullptr;
    const int64_t step = at.ColumnStep;
    for (int64_t k = 0; k < at.PixelCount; ++k, row += Channels, dib += 3 * step) {
        if constexpr (Corrected) {
            dib[0] = g[row[2]];
            dib[1] = g[row[1]];
            dib[2] = g[row[0]];
        } else {
            dib[0] = row[2];
            dib[1] = row[1];
            dib[2] = row[0];
        }
        if constexpr (Channels == 4) alpha[k * step] = row[3];
    }
}

template <int Channels>
void ConvertColor8(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t* g) {
    if (g)
        ConvertColor8Loop<Channels, true>(row, target, at, g);
    else
        ConvertColor8Loop<Channels, false>(row, target, at, g);
}

// RGB and RGB + alpha at 16 bits: corrected high bytes into the DIB,
// corrected low bytes aside, the alpha's high byte into the plane.
template <int Channels>
void ConvertColor16(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t* g) {
    if (!g) g = IdentityTable();
    for (int64_t k = 0; k < at.PixelCount; ++k, row += 2 * Channels) {
        const int64_t c = at.FirstColumn + k * at.ColumnStep;
        for (int channel = 0; channel < 3; ++channel) {
            target.Dib[3 * c + 2 - channel] = g[row[2 * channel]];
            target.Extra[3 * c + 2 - channel] = g[row[2 * channel + 1]];
        }
        if constexpr (Channels == 4) target.Alpha[c] = row[6];
    }
}

// Grey + alpha: the grey goes in as it is; the ramp's colours carry the gamma.
void ConvertGreyAlpha8(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k) {
        const int64_t c = at.FirstColumn + k * at.ColumnStep;
        target.Dib[c] = row[2 * k];
        target.Alpha[c] = row[2 * k + 1];
    }
}

void ConvertGreyAlpha16(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& at, const uint8_t*) {
    for (int64_t k = 0; k < at.PixelCount; ++k) {
        const int64_t c = at.FirstColumn + k * at.ColumnStep;
        target.Dib[c] = row[4 * k];
        target.Extra[c] = row[4 * k + 1];
        target.Alpha[c] = row[4 * k + 2];
    }
}

}  // namespace

void ConvertColor8To32(const uint8_t* row, uint32_t* pixels, const TPngRowPlacement& at, const uint8_t* g) {
    uint32_t* pixel = pixels + at.FirstColumn;
    const int64_t step = at.ColumnStep;
    if (g) {
        for (int64_t k = 0; k < at.PixelCount; ++k, row += 3, pixel += step)
            *pixel = 0xFF000000u | uint32_t(g[row[0]]) << 16 | uint32_t(g[row[1]]) << 8 | g[row[2]];
    } else {
        for (int64_t k = 0; k < at.PixelCount; ++k, row += 3, pixel += step)
            *pixel = 0xFF000000u | uint32_t(row[0]) << 16 | uint32_t(row[1]) << 8 | row[2];
    }
}

TPngRowConverter PngRowConverter(uint8_t colorType, uint8_t bitDepth) {
    const bool indexed = colorType == ctGrey || colorType == ctPalette;
    if (indexed) {
        switch (bitDepth) {
        case 1: return ConvertPacked<1>;
        case 2: return colorType == ctPalette ? ConvertPalette2 : ConvertGrey2;
        case 4: return ConvertPacked<4>;
        case 8: return ConvertPacked<8>;
        case 16: return ConvertSingle16;
        default: return nullptr;
        }
    }
    if (bitDepth != 8 && bitDepth != 16) return nullptr;
    switch (colorType) {
    case ctRGB: return bitDepth == 8 ? ConvertColor8<3> : ConvertColor16<3>;
    case ctRGBAlpha: return bitDepth == 8 ? ConvertColor8<4> : ConvertColor16<4>;
    case ctGreyAlpha: return bitDepth == 8 ? ConvertGreyAlpha8 : ConvertGreyAlpha16;
    default: return nullptr;
    }
}
