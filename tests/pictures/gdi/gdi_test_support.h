#pragma once
// Small helpers shared by the graphics-layer tests: bitmaps selected into
// contexts, pixel reads in a known layout, and BMP files from the suites.

#include <cstdint>
#include <string>
#include <vector>

#include "pictures/gdi/gdi.h"

namespace testing_support {

inline uint32_t Packed(const gdi::RGBQUAD& q) { return q.rgbBlue | (q.rgbGreen << 8) | (uint32_t(q.rgbRed) << 16); }

gdi::BitmapInfo Describe(int width, int height, int bitCount, std::vector<gdi::RGBQUAD> colors = {},
                         uint32_t compression = gdi::BI_RGB);

struct Dib {
    gdi::HBITMAP Handle;
    gdi::HDC DC;
    uint8_t* Bits = nullptr;
    int RowBytes = 0;
};
Dib MakeDib(const gdi::BitmapInfo& info);

// Every pixel of a bitmap as packed blue | green << 8 | red << 16 | x << 24,
// rows top first, read through a top-down 32-bit block.
std::vector<uint32_t> ReadAll(const gdi::HBITMAP& bitmap);

// A BMP file split into its description and pixel bytes.
struct BmpFile {
    gdi::BitmapInfo Info;
    std::vector<uint8_t> Pixels;
};
BmpFile LoadBmp(const std::string& path);

}  // namespace testing_support
