#pragma once
// Helpers of the BMP reader's tests: loading files and crafted bytes, the
// pixels of a loaded bitmap as 32-bit values, and a writer of small BMPs.

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/file_bytes.h"
#include "tests/support/raised_message.h"

#include "pictures/bitmap.h"

namespace bmptest {

std::string SuitePath(const std::string& relative);  // under the BMP suite
using ::ReadFileBytes;
void LoadBytes(TBitmap& bitmap, const std::vector<uint8_t>& bytes);

// The picture as 0x00RRGGBB values, top row first (the fourth byte dropped).
std::vector<uint32_t> Pixels(TBitmap& bitmap);

// "ClassName: message" of what a load raises; NothingRaised when it loads.
std::string LoadError(const std::vector<uint8_t>& bytes);

// A Windows BMP file built field by field; all fields little-endian.
struct BmpWriter {
    uint32_t HeaderSize = 40;
    int32_t Width = 1;
    int32_t Height = 1;
    uint16_t Planes = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t ImageSize = 0;
    uint32_t ColorsUsed = 0;
    std::vector<uint32_t> Masks;   // written after a 40-byte header, inside a longer one
    std::vector<uint32_t> Colors;  // 0x00RRGGBB
    std::vector<uint8_t> Gap;      // bytes between table and pixels
    std::vector<uint8_t> Pixels;
    int64_t PixelOffset = -1;  // -1: where the pixels really start

    std::vector<uint8_t> Build() const;
};

}  // namespace bmptest
