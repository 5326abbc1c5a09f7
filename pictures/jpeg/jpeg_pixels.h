#pragma once
// In-place conversions of decoded rows into the bitmap's byte order.

#include <cstddef>
#include <cstdint>

// Four bytes c0, c1, c2, c3 per pixel, the file's cyan, magenta, yellow and
// black as stored, become blue, green, red and 255. The stored values are
// taken as inverted inks (255 = no ink), as Adobe-written files store them:
// blue = c2 × c3 div 255, green = c1 × c3 div 255, red = c0 × c3 div 255.
void ConvertInvertedCmykRow(uint8_t* row, size_t pixelCount);

// Three bytes per pixel: red, green, blue become blue, green, red. For
// libjpeg builds that cannot deliver blue-green-red themselves.
void ReverseRgbRow(uint8_t* row, size_t pixelCount);
