#pragma once
// 16-bit CMYK, which libtiff's RGBA reader does not take: read row by row
// and turned into light the way that reader does it for 8-bit inks.

#include <cstdint>
#include <vector>

#include <tiffio.h>

namespace imaging {

// True for the current directory of `tiff` when it holds 16-bit CMYK inks.
bool IsCmyk16(TIFF* tiff);
// Decodes the current directory (width × height pixels, strips, contiguous
// or planar) into `pixels` as blue, green, red, 255, top row first. False
// when libtiff cannot read a row.
bool ReadCmyk16(TIFF* tiff, uint32_t width, uint32_t height, std::vector<uint8_t>& pixels);

}  // namespace imaging
