#pragma once
// Conversion of unfiltered PNG rows into the decoder's own picture: the DIB
// row (indices, greys or blue-green-red), the block of low bytes of 16-bit
// samples and the alpha plane.

#include <cstdint>

// Where one row goes: the picture's DIB row, the same place in the low-byte
// block (null unless the depth is 16) and the alpha-plane row (null unless
// the colour type has alpha).
struct TPngRowTarget {
    uint8_t* Dib = nullptr;
    uint8_t* Extra = nullptr;
    uint8_t* Alpha = nullptr;
};

// Pixel k of the row goes to column FirstColumn + k × ColumnStep.
struct TPngRowPlacement {
    int64_t FirstColumn = 0;
    int64_t ColumnStep = 1;
    int64_t PixelCount = 0;
};

// `gamma` maps each colour sample to its corrected value; null stands for
// the identity.
using TPngRowConverter = void (*)(const uint8_t* row, const TPngRowTarget& target, const TPngRowPlacement& placement,
                                  const uint8_t* gamma);

// 8-bit RGB straight into 32-bit pixels (blue, green, red, 255): `pixels`
// is the picture's row, pixel k going to column FirstColumn + k × ColumnStep.
void ConvertColor8To32(const uint8_t* row, uint32_t* pixels, const TPngRowPlacement& placement, const uint8_t* gamma);

// The converter for a colour type and depth; null when there is none.
TPngRowConverter PngRowConverter(uint8_t colorType, uint8_t bitDepth);
