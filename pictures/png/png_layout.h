#pragma once
// Sizes that follow from a PNG header: bits per pixel of the decoder's own
// DIB, bytes of a filtered row, the filter's pixel distance, and the passes
// of Adam7 interlacing. All in 64 bits: the header's width goes up to 65535
// and the bit depth up to 255 before the depth is checked.

#include <cstdint>

enum TPngColorType : uint8_t {
    ctGrey = 0,
    ctRGB = 2,
    ctPalette = 3,
    ctGreyAlpha = 4,
    ctRGBAlpha = 6,
};

// Bits per pixel of the DIB that holds a picture of this colour type and
// depth; 0 when no DIB can hold it (e.g. grey at depth 3).
int PngDibBitCount(uint8_t colorType, uint8_t bitDepth);

// Bytes of one filtered row of `width` pixels, without its filter byte.
uint64_t PngRowBytes(uint8_t colorType, uint8_t bitDepth, uint64_t width);

// Bytes per complete pixel, at least 1: the filters' distance to the left.
unsigned PngPixelOffset(uint8_t colorType, uint8_t bitDepth);

struct TAdam7Pass {
    int ColumnStart, ColumnStep, RowStart, RowStep;
};
inline constexpr TAdam7Pass Adam7Passes[7] = {
    {0, 8, 0, 8}, {4, 8, 0, 8}, {0, 4, 4, 8}, {2, 4, 0, 4}, {0, 2, 2, 4}, {1, 2, 0, 2}, {0, 1, 1, 2},
};

// Pixels of one row of a pass in a picture `width` wide.
inline int64_t Adam7PassWidth(const TAdam7Pass& pass, int64_t width) {
    return width > pass.ColumnStart ? (width - pass.ColumnStart + pass.ColumnStep - 1) / pass.ColumnStep : 0;
}
