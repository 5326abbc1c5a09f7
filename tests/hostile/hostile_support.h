#pragma once
// What the hostile-input tests share: the picture road run on bytes, the
// peak memory of a piece of work, and builders for crafted files.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pictures/graphic.h"
#include "tests/support/byte_writers.h"

using TByteString = std::vector<uint8_t>;

// How one input ended: loaded and converted, or refused with one of our
// exceptions. Anything else escapes to the test.
struct TRoadOutcome {
    bool Loaded = false;
    std::string ClassName;
    std::string Message;
};

// Load, DecodedBitmap.Assign, BMP32.Assign; an empty picture stops after
// loading and counts as loaded.
TRoadOutcome RunRoad(TGraphic& picture, const TByteString& bytes);

// Runs work in a child process and returns how far its peak resident size
// rose above the size at its start, in bytes. A fresh process gives every
// case its own peak. The child's crash or escaping exception fails the test.
int64_t PeakMemoryRise(const std::function<void()>& work);

TByteString ReadTestImage(const std::string& relativePath);

// A PNG: signature, IHDR of the given fields, the chunks given after it
// (already framed by PngChunk), IEND.
TByteString PngChunk(const char* type, const TByteString& data);
TByteString PngFile(uint32_t width, uint32_t height, uint8_t bitDepth, uint8_t colorType, const TByteString& chunks);
TByteString Deflate(const TByteString& raw);

// A GIF89a with a two-colour global table and the given screen size; frames
// are appended with GifFrame and the file closed with its trailer.
TByteString GifHeader(uint16_t screenWidth, uint16_t screenHeight);
// One frame at (0, 0) whose pixels are all index 0, LZW-coded for real.
TByteString GifFrame(uint16_t width, uint16_t height);
TByteString GifLzw(const TByteString& indices, int minimumCodeSize);

// A BMP with a 40-byte header; bits are the pixel bytes as stored.
TByteString BmpFile(int32_t width, int32_t height, uint16_t bitCount, uint32_t compression,
                    const TByteString& colorTable, const TByteString& bits);
