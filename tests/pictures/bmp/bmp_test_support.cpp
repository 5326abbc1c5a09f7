#include "bmp_test_support.h"

#include <fstream>
#include <iterator>

#include "tests/support/byte_writers.h"

namespace bmptest {

std::string SuitePath(const std::string& relative) { return std::string(TW_TESTIMAGES_DIR) + "/bmpsuite/" + relative; }

void LoadBytes(TBitmap& bitmap, const std::vector<uint8_t>& bytes) {
    TMemoryStream stream(bytes);
    bitmap.LoadFromStream(stream);
}

std::vector<uint32_t> Pixels(TBitmap& bitmap) {
    const int width = bitmap.Width(), height = bitmap.Height();
    std::vector<uint32_t> pixels(static_cast<size_t>(width) * height);
    if (pixels.empty()) return pixels;
    gdi::BitmapInfo info;
    info.Header.biWidth = width;
    info.Header.biHeight = -height;
    info.Header.biBitCount = 32;
    const int rows = gdi::GetDIBits(bitmap.Handle(), 0, height, pixels.data(), info);
    if (rows != height) return {};
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

std::string LoadError(const std::vector<uint8_t>& bytes) {
    TBitmap bitmap;
    return MessageOf([&] { LoadBytes(bitmap, bytes); }, TMessageForm::WithClassName);
}

namespace {}  // namespace

std::vector<uint8_t> BmpWriter::Build() const {
    std::vector<uint8_t> header;
    PutLE32(header, HeaderSize);
    for (uint32_t field : {uint32_t(Width), uint32_t(Height)}) PutLE32(header, field);
    PutLE16(header, Planes);
    PutLE16(header, BitCount);
    for (uint32_t field : {Compression, ImageSize, 2835u, 2835u, ColorsUsed, 0u}) PutLE32(header, field);
    if (HeaderSize > 40)  // longer headers hold the masks
        for (uint32_t mask : Masks) PutLE32(header, mask);
    header.resize(HeaderSize, 0);
    if (HeaderSize == 40)
        for (uint32_t mask : Masks) PutLE32(header, mask);
    for (uint32_t color : Colors) PutLE32(header, color);  // blue, green, red, 0
    header.insert(header.end(), Gap.begin(), Gap.end());
    std::vector<uint8_t> file;
    const uint32_t offset = PixelOffset >= 0 ? static_cast<uint32_t>(PixelOffset) : 14 + header.size();
    PutLE16(file, 0x4D42);
    PutLE32(file, 14 + header.size() + Pixels.size());
    PutLE32(file, 0);
    PutLE32(file, offset);
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), Pixels.begin(), Pixels.end());
    return file;
}

}  // namespace bmptest
