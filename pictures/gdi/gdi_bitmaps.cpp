// Bitmaps of the graphics layer: DIB sections, device-dependent bitmaps and
// the facts callers read from them.

#include <algorithm>
#include <cstring>
#include <limits>

#include "pictures/gdi/gdi_internal.h"

namespace gdi {
namespace {

// Header sizes from the plain 40-byte information header up to the largest
// extended version; anything else is a description this layer cannot know.

HBITMAP Refuse(int error) {
    SetLastError(error);
    return nullptr;
}

std::vector<RGBQUAD> MonochromeColors() {
    std::vector<RGBQUAD> colors(2);
    colors[1] = RGBQUAD{255, 255, 255, 0};
    return colors;
}

}  // namespace

Surface Bitmap::View() const {
    Surface surface;
    DescribeFormat(BitCount, Compression, Masks, surface);
    surface.Bits = Pixels();
    surface.Width = Width;
    surface.Height = Height;
    surface.RowBytes = RowBytes;
    surface.TopDown = TopDown;
    surface.Colors = Colors.data();
    surface.ColorCount = static_cast<int>(Colors.size());
    surface.MonochromeDdb = Monochrome;
    return surface;
}

Surface DeviceContext::Target() const {
    if (!Selected) return Surface{};
    return Selected->View();
}

HBITMAP NewBitmap(int32_t width, int32_t height, bool topDown, int bitCount, uint32_t compression,
                  const uint32_t masks[3], std::vector<RGBQUAD> colors, bool dib) {
    Surface format;
    if (width <= 0 || height <= 0 || !DescribeFormat(bitCount, compression, masks, format))
        return Refuse(ERROR_INVALID_PARAMETER);
    // The pixel limit is checked before anything is multiplied or allocated.
    if (!MayAllocatePixels(width, height, bitCount)) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    const int64_t rowBytes = DibRowBytes(width, bitCount);
    const int64_t size = rowBytes * height;
    // The owner exists before the pixels, so that no later failure to
    // allocate can leave them without one.
    auto bitmap = std::make_shared<Bitmap>();
    bitmap->Block = PixelBlock(static_cast<size_t>(size));
    if (bitmap->Pixels() == nullptr) return Refuse(ERROR_NOT_ENOUGH_MEMORY);
    bitmap->Dib = dib;
    bitmap->Width = width;
    bitmap->Height = height;
    bitmap->TopDown = topDown;
    bitmap->BitCount = bitCount;
    bitmap->Compression = compression;
    if (compression == BI_BITFIELDS) std::copy(masks, masks + 3, bitmap->Masks);
    if (bitCount <= 8) {
        colors.resize(std::min<size_t>(colors.size(), size_t{1} << bitCount));
        bitmap->Colors = std::move(colors);
    }
    bitmap->RowBytes = rowBytes;
    BITMAPINFOHEADER& header = bitmap->Header;
    header.biWidth = width;
    header.biHeight = topDown ? -height : height;
    header.biBitCount = static_cast<uint16_t>(bitCount);
    header.biCompression = compression;
    header.biSizeImage = static_cast<uint32_t>(size);
    return bitmap;
}

HBITMAP CreateDIBSection(const BitmapInfo& info, void** bits) {
    if (bits != nullptr) *bits = nullptr;
    const BITMAPINFOHEADER& header = info.Header;
    if (header.biSize < SmallestInfoHeader || header.biSize > LargestInfoHeader || header.biPlanes != 1 ||
        header.biHeight == std::numeric_limits<int32_t>::min())
        return Refuse(ERROR_INVALID_PARAMETER);
    std::vector<RGBQUAD> colors;
    if (header.biBitCount <= 8) {
        size_t count = info.Colors.size();
        if (header.biClrUsed != 0) count = std::min<size_t>(count, header.biClrUsed);
        colors.assign(info.Colors.begin(), info.Colors.begin() + static_cast<ptrdiff_t>(count));
    }
    const bool topDown = header.biHeight < 0;
    HBITMAP bitmap = NewBitmap(header.biWidth, topDown ? -header.biHeight : header.biHeight, topDown, header.biBitCount,
                               header.biCompression, info.Masks, std::move(colors), true);
    if (!bitmap) return nullptr;
    bitmap->Header.biXPelsPerMeter = header.biXPelsPerMeter;
    bitmap->Header.biYPelsPerMeter = header.biYPelsPerMeter;
    bitmap->Header.biClrUsed = header.biClrUsed;
    bitmap->Header.biClrImportant = header.biClrImportant;
    if (bits != nullptr) *bits = bitmap->Pixels();
    return bitmap;
}

HBITMAP CreateBitmap(int width, int height, int planes, int bitCount) {
    if (planes == 1 && bitCount == 1) {
        HBITMAP bitmap = NewBitmap(width, height, true, 1, BI_RGB, nullptr, MonochromeColors(), false);
        if (bitmap) bitmap->Monochrome = true;
        return bitmap;
    }
    return NewBitmap(width, height, true, 32, BI_RGB, nullptr, {}, false);
}

HBITMAP CreateCompatibleBitmap(const HDC& dc, int width, int height) {
    if (dc && dc->Selected && dc->Selected->Monochrome) return CreateBitmap(width, height, 1, 1);
    return CreateBitmap(width, height, 1, 32);
}

bool IsDib(const HBITMAP& bitmap) { return bitmap && bitmap->Dib; }

bool GetDibSection(const HBITMAP& bitmap, DibSection& section) {
    section = DibSection{};
    if (!bitmap) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    section.Width = bitmap->Width;
    section.Height = bitmap->Height;
    section.WidthBytes = static_cast<int32_t>(bitmap->RowBytes);
    section.BitsPixel = static_cast<uint16_t>(bitmap->BitCount);
    if (!bitmap->Dib) {
        // A device-dependent bitmap describes only its size and depth: no
        // header (biSize 0) and no accessible pixels.
        section.Header.biSize = 0;
        return false;
    }
    section.Bits = bitmap->Pixels();
    section.Header = bitmap->Header;
    section.Header.biSize = 40;
    std::copy(bitmap->Masks, bitmap->Masks + 3, section.Masks);
    return true;
}

int BitmapWidth(const HBITMAP& bitmap) { return bitmap ? bitmap->Width : 0; }
int BitmapHeight(const HBITMAP& bitmap) { return bitmap ? bitmap->Height : 0; }
int BitmapBitCount(const HBITMAP& bitmap) { return bitmap ? bitmap->BitCount : 0; }

std::vector<RGBQUAD> GetDIBColorTable(const HBITMAP& bitmap) {
    if (!bitmap || !bitmap->Dib) return {};
    return bitmap->Colors;
}

void SetDIBColorTable(const HBITMAP& bitmap, const std::vector<RGBQUAD>& colors) {
    if (!bitmap || !bitmap->Dib || bitmap->BitCount > 8) return;
    const size_t count = std::min<size_t>(colors.size(), size_t{1} << bitmap->BitCount);
    bitmap->Colors.assign(colors.begin(), colors.begin() + static_cast<ptrdiff_t>(count));
}

}  // namespace gdi
