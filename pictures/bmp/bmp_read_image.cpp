#include "pictures/bmp/bmp_read_image.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// The reason travels as an argument: the layer's last error is read once,
// right after the call it describes, and only there.
[[noreturn]] void RaiseRefused(int code) {
    if (code != gdi::ERROR_SUCCESS)
        throw EOSError(Format("System Error.  Code: %d.\r\n%s%s", code, gdi::SystemErrorText(code).c_str(), ""));
    throw EInvalidGraphic("Bitmap image is not valid");
}

// A header that describes more pixels than the graphics layer holds is
// refused here exactly as the layer refuses it, before the pixel block or
// the bytes to expand are allocated. Descriptions refused for other reasons
// (no width, an unknown bit count) are left to the layer.
void RefuseAboveLimit(const gdi::BITMAPINFOHEADER& header, int bitCountInMemory) {
    const int64_t width = header.biWidth;
    const int64_t height = std::abs(int64_t{header.biHeight});
    if (width <= 0 || height == 0 || !gdi::IsDibBitCount(header.biBitCount)) return;
    if (gdi::WithinPixelLimit(width, height, bitCountInMemory)) return;
    RaiseRefused(gdi::ERROR_NOT_ENOUGH_MEMORY);
}

gdi::HPALETTE PaletteFromTable(const std::vector<gdi::RGBQUAD>& table) {
    std::vector<gdi::PALETTEENTRY> entries;
    entries.reserve(std::min<size_t>(table.size(), 256));
    for (size_t i = 0; i < table.size() && i < 256; ++i)
        entries.push_back({table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, 0});
    return gdi::CreatePalette(entries);
}

BmpPixels ReadDib(const BmpHeaders& headers) {
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    RefuseAboveLimit(header, header.biBitCount);
    void* bits = nullptr;
    gdi::SetLastError(gdi::ERROR_SUCCESS);
    gdi::HBITMAP dib = gdi::CreateDIBSection(headers.Info, &bits);
    if (!dib || !bits) RaiseRefused(gdi::GetLastError());

    // The file's image-size field may claim more than the block holds; the
    // block's own size bounds the read. Bytes not in the file stay zero.
    const int64_t blockBytes = gdi::DibRowBytes(header.biWidth, header.biBitCount) * gdi::BitmapHeight(dib);
    const int64_t count = std::min(headers.BytesToRead, blockBytes);
    if (count > 0) headers.PixelSource->ReadBuffer(bits, static_cast<size_t>(count));

    BmpPixels pixels{dib, true, nullptr};
    const uint16_t bitCount = header.biBitCount;
    if (header.biClrUsed != 0 && ((bitCount > 8 && bitCount <= 16) || bitCount == 32))
        pixels.Palette = PaletteFromTable(headers.ColorTable);
    return pixels;
}

// Run-length-encoded pixels (and compressions the layer may not know) are
// expanded by the graphics layer into a device-dependent bitmap.
BmpPixels ReadRunLengthImage(const BmpHeaders& headers) {
    const gdi::BITMAPINFOHEADER& header = headers.Info.Header;
    RefuseAboveLimit(header, 32);  // device-dependent bitmaps hold 32 bits per pixel
    // Bounded by what the file holds, so never larger than the file itself.
    std::vector<uint8_t> encoded(static_cast<size_t>(headers.BytesToRead));
    if (!encoded.empty()) headers.PixelSource->ReadBuffer(encoded.data(), encoded.size());

    gdi::HPALETTE palette = header.biClrUsed != 0 ? PaletteFromTable(headers.ColorTable) : nullptr;
    static const uint8_t nothing = 0;  // no bytes still means "expand", not "leave uninitialised"
    gdi::SetLastError(gdi::ERROR_SUCCESS);
    gdi::HBITMAP ddb = gdi::CreateDIBitmap(headers.Info, encoded.empty() ? &nothing : encoded.data(), encoded.size());
    if (!ddb) RaiseRefused(gdi::GetLastError());
    return BmpPixels{ddb, false, palette};
}

}  // namespace

BmpPixels ReadBmpPixels(const BmpHeaders& headers) {
    const uint32_t compression = headers.Info.Header.biCompression;
    const bool dib = compression == gdi::BI_RGB || compression == gdi::BI_BITFIELDS;
    return dib ? ReadDib(headers) : ReadRunLengthImage(headers);
}
