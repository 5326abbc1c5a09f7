#pragma once
// Helpers of the TIFF tests: files of the public suite, small TIFFs written
// field by field, and the pixels a TWICImage leaves in a TBitmap.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/raised_message.h"

#include "pictures/bitmap.h"
#include "pictures/tiff/wic_image.h"

namespace tifftest {

std::string SuitePath(const std::string& relative);  // under the TIFF suite
using ::ReadFileBytes;
void LoadBytes(TWICImage& image, const std::vector<uint8_t>& bytes);
// The message a load raises; NothingRaised when it loads.
std::string LoadError(const std::vector<uint8_t>& bytes);

// The 32-bit pixels (blue, green, red, fourth byte) of a TBitmap, top row
// first, as 0xAARRGGBB values.
std::vector<uint32_t> Pixels32(TBitmap& bitmap);
// The picture as DecodedBitmap receives it.
std::vector<uint32_t> DecodedPixels(const std::string& relative);

// A little-endian TIFF of one uncompressed strip, 8 bits a sample.
// extraSample: 0 none, 1 associated alpha, 2 unassociated alpha.
std::vector<uint8_t> MakeTiff(uint32_t width, uint32_t height, uint16_t samples, uint16_t photometric,
                              uint16_t extraSample, const std::vector<uint8_t>& pixels);

}  // namespace tifftest
