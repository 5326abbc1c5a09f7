#include "pictures/bmp_read_image.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

[[noreturn]] void RaiseRefused() {
    const int code = gdi::GetLastError();
    if (code != gdi::ERROR_SUCCESS)
        throw EOSError(Format("System Error.  Code: %d.\r\n%s%s", code, gdi::SystemErrorText(code).c_str(), ""));
    throw EInvalidGraphic("Bitmap image is not valid");
}

bool IsKnownBitCount(uint16_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32;
}

// A header that describes more pixels than the graphics layer holds is
// refused here exactly as the layer refuses it, before the pixel block or
// the bytes to expand are allocated. Descriptions refused for other reasons
// (no width, an unknown bit count) are left to the layer.
void RefuseAboveLimit(const gdi::BITMAPINFOHEADER& header, int bitCountInMemory) {
    const int64_t width = header.biWidth;
    const int64_t height = std::abs(int64_t{header.biHeight});
    if (width <= 0 || height == 0 || !IsKnownBitCount(header.biBitCount)) return;
    if (gdi::WithinPixelLimit(width, height, bitCountInMemory)) return;
    gdi::SetLastError(gdi::ERROR_NOT_ENOUGH_MEMORY);
    RaiseRefused();
}

gdi::HPALETTE PaletteFromTable(const std::vector<gdi::RGBQUAD>& table) {
    std::vector<gdi::PALETTEENTRY> entries;
    entries.reserve(std::min<size_t>(table.size(), 256));
    for (size_t i = 0; i < table.size() && i < 256; ++i)
        entries.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0});
    return gdi::CreatePalette(entries);
}

std::shared_ptr<TBitmapImage> ReadDib(const BmpHeaders& headers) {
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    RefuseAboveLimit(header, header.biBitCount);
    void* bits = nullptr;
    gdi::HBITMAP dib = gdi::CreateDIBSection(headers.Info, &bits);
    if (!dib || !bits) RaiseRefused();

    auto image = std::make_shared<TBitmapImage>();
    image->FHandle = dib;
    image->FDIBHandle = dib;
    gdi::GetDibSection(dib, image->FDIB);
    // The file's image-size field may claim more than the block holds; the
    // block's own size bounds the read. Bytes not in the file stay zero.
    const int64_t blockBytes = BmpRowBytes(header.biWidth, header.biBitCount) * image->FDIB.Height;
    const int64_t count = std::min(headers.BytesToRead, blockBytes);
    if (count > 0) headers.PixelSource->ReadBuffer(bits, static_cast<size_t>(count));

    const uint16_t bitCount = header.biBitCount;
    if (header.biClrUsed != 0 && ((bitCount > 8 && bitCount <= 16) || bitCount == 32))
        image->FPalette = PaletteFromTable(headers.ColorTable);
    return image;
}

// Run-length-encoded pixels (and compressions the layer may not know) are
// expanded by the graphics layer into a device-dependent bitmap.
std::shared_ptr<TBitmapImage> ReadRunLengthImage(const BmpHeaders& headers) {
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    RefuseAboveLimit(header, 32);  // device-dependent bitmaps hold 32 bits per pixel
    // Bounded by what the file holds, so never larger than the file itself.
    std::vector<uint8_t> encoded(static_cast<size_t>(headers.BytesToRead));
    if (!encoded.empty()) headers.PixelSource->ReadBuffer(encoded.data(), encoded.size());

    gdi::HPALETTE palette = header.biClrUsed != 0 ? PaletteFromTable(headers.ColorTable) : nullptr;
    static const uint8_t nothing = 0;  // no bytes still means "expand", not "leave uninitialised"
    gdi::HBITMAP ddb = gdi::CreateDIBitmap(headers.Info, encoded.empty() ? &nothing : encoded.data(), encoded.size());
    if (!ddb) RaiseRefused();

    auto image = std::make_shared<TBitmapImage>();
    image->FHandle = ddb;
    image->FPalette = palette;
    image->FSaveStream = headers.SaveStream;
    gdi::DibSection& description = image->FDIB;
    description.Width = gdi::BitmapWidth(ddb);
    description.Height = gdi::BitmapHeight(ddb);
    description.BitsPixel = static_cast<uint16_t>(gdi::BitmapBitCount(ddb));
    description.WidthBytes = static_cast<int32_t>(BmpRowBytes(description.Width, description.BitsPixel));
    description.Header = gdi::BITMAPINFOHEADER{};
    description.Header.biSize = 0;  // a device-dependent image has no header
    return image;
}

// The created bitmap's description, corrected with what the file says: the
// signed height (so a top-down file stays top-down), resolution and colours.
void TakeFileDescription(gdi::BITMAPINFOHEADER& description, const gdi::BITMAPINFOHEADER& file) {
    if (std::abs(int64_t{description.biHeight}) == std::abs(int64_t{file.biHeight}))
        description.biHeight = file.biHeight;
    description.biXPelsPerMeter = file.biXPelsPerMeter;
    description.biYPelsPerMeter = file.biYPelsPerMeter;
    description.biClrUsed = file.biClrUsed;
    description.biClrImportant = file.biClrImportant;
}

}  // namespace

std::shared_ptr<TBitmapImage> ReadBmpImage(const BmpHeaders& headers) {
    const uint32_t compression = headers.Info.Header.biCompression;
    const bool dib = compression == gdi::BI_RGB || compression == gdi::BI_BITFIELDS;
    auto image = dib ? ReadDib(headers) : ReadRunLengthImage(headers);
    TakeFileDescription(image->FDIB.Header, headers.Info.Header);
    image->FOS2Format = headers.OS2;
    return image;
}
