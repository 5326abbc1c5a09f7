#include "tiff_test_support.h"

#include <fstream>
#include <iterator>

#include "tests/support/byte_writers.h"

namespace tifftest {

std::string SuitePath(const std::string& relative) { return std::string(TW_TESTIMAGES_DIR) + "/tiff/" + relative; }

void LoadBytes(TWICImage& image, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    image.LoadFromStream(stream);
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    TWICImage image;
    return MessageOf([&] { LoadBytes(image, bytes); });
}

std::vector<uint32_t> Pixels32(TBitmap& bitmap) {
    const int width = bitmap.Width(), height = bitmap.Height();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = -height;
    info.Header.biBitCount = 32;
    if (pixels.empty() || gdi::GetDIBits(bitmap.Handle(), 0, height, pixels.data(), info) != height) return {};
    return pixels;
}

std::vector<uint32_t> DecodedPixels(const std::string& relative) {
    TWICImage image;
    image.LoadFromFile(SuitePath(relative));
    TBitmap decoded;
    decoded.Assign(&image);
    return Pixels32(decoded);
}

namespace {

void Entry(std::vector<uint8_t>& out, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    PutLE16(out, tag);
    PutLE16(out, type);
    PutLE32(out, count);
    PutLE32(out, value);
}

constexpr uint16_t Short = 3;
constexpr uint16_t Long = 4;

}  // namespace

std::vector<uint8_t> MakeTiff(uint32_t width, uint32_t height, uint16_t samples, uint16_t photometric,
                              uint16_t extraSample, const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> out = {'I', 'I', 42, 0};
    const uint32_t pixelOffset = 8;
    const uint32_t bitsOffset = pixelOffset + static_cast<uint32_t>(pixels.size());
    const uint32_t ifdOffset = bitsOffset + 2 * samples;
    PutLE32(out, ifdOffset);
    out.insert(out.end(), pixels.begin(), pixels.end());
    for (uint16_t i = 0; i < samples; ++i) PutLE16(out, 8);
    const uint16_t entries = extraSample ? 11 : 10;
    PutLE16(out, entries);
    Entry(out, 256, Long, 1, width);
    Entry(out, 257, Long, 1, height);
    Entry(out, 258, Short, samples, samples <= 2 ? 8 | (samples == 2 ? 8u << 16 : 0) : bitsOffset);
    Entry(out, 259, Short, 1, 1);
    Entry(out, 262, Short, 1, photometric);
    Entry(out, 273, Long, 1, pixelOffset);
    Entry(out, 277, Short, 1, samples);
    Entry(out, 278, Long, 1, height);
    Entry(out, 279, Long, 1, static_cast<uint32_t>(pixels.size()));
    Entry(out, 284, Short, 1, 1);
    if (extraSample) Entry(out, 338, Short, 1, extraSample);
    PutLE32(out, 0);
    return out;
}

}  // namespace tifftest
