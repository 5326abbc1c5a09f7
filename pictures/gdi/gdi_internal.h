#pragma once
// Inside the software graphics layer: the objects behind the handles and a
// uniform view of pixel rows that every transfer works on. Not for callers
// outside gdi_*.cpp and the picture classes' own helpers.

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "pictures/gdi/gdi.h"
#include "pictures/gdi/pixel_block.h"

namespace gdi {

// How the pixels of a row are coded.
enum class PixelKind { Index1, Index4, Index8, Rgb555, Masked16, Bgr24, Bgra32, Masked32 };

struct ChannelMask {
    uint32_t Mask = 0;
    int Shift = 0;  // position of the mask's lowest bit
    int Bits = 0;   // width of the mask
};

// A view of a pixel block: where its rows are and how its pixels are coded.
// Pixels travel between views as packed 32-bit values: blue in bits 0-7,
// green 8-15, red 16-23, the fourth byte 24-31.
struct Surface {
    uint8_t* Bits = nullptr;
    int32_t Width = 0;
    int32_t Height = 0;
    int64_t RowBytes = 0;
    bool TopDown = true;
    PixelKind Kind = PixelKind::Bgra32;
    int BitCount = 32;
    ChannelMask Channels[3];  // red, green, blue of the masked kinds
    const RGBQUAD* Colors = nullptr;
    int ColorCount = 0;
    bool MonochromeDdb = false;  // converts through the contexts' text and background colours

    uint8_t* Row(int32_t y) const { return Bits + (TopDown ? y : Height - 1 - y) * RowBytes; }
    bool Empty() const { return Bits == nullptr || Width <= 0 || Height <= 0; }
    bool Indexed() const { return BitCount <= 8; }
};

// Sets the coding fields of `surface` from a bit count, compression and
// masks. False when the combination is not one this layer draws.
bool DescribeFormat(int bitCount, uint32_t compression, const uint32_t masks[3], Surface& surface);

// A view of a block described by `info` (rows and colour table); false when
// the description is not drawable. The view points into `info.Colors`.
bool DescribeBlock(const BitmapInfo& info, const void* bits, Surface& surface);

class Palette {
public:
    std::vector<PALETTEENTRY> Entries;
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(const Bitmap&) = delete;
    Bitmap& operator=(const Bitmap&) = delete;

    bool Dib = false;         // a DIB section; otherwise a device-dependent bitmap
    bool Monochrome = false;  // a monochrome device-dependent bitmap
    int32_t Width = 0;
    int32_t Height = 0;
    bool TopDown = true;
    int BitCount = 32;
    uint32_t Compression = BI_RGB;
    uint32_t Masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> Colors;
    int64_t RowBytes = 0;
    BITMAPINFOHEADER Header;  // as created (DIB sections)
    PixelBlock Block;         // zero-filled at creation
    uint8_t* Pixels() const { return Block.Data(); }

    Surface View() const;
};

class DeviceContext {
public:
    HBITMAP Selected;
    HPALETTE SelectedPalette;
    Pen CurrentPen;
    Brush CurrentBrush;
    POINT Position;
    int StretchMode = COLORONCOLOR;
    COLORREF BkColor = 0xFFFFFF;
    COLORREF TextColor = 0x000000;

    // The selected bitmap's pixels; empty when none is selected.
    Surface Target() const;
};

// A new bitmap of the given format with zero-filled pixels, or null with the
// last error set (ERROR_INVALID_PARAMETER for an impossible description,
// ERROR_NOT_ENOUGH_MEMORY above the pixel limit or when memory runs out).
HBITMAP NewBitmap(int32_t width, int32_t height, bool topDown, int bitCount, uint32_t compression,
                  const uint32_t masks[3], std::vector<RGBQUAD> colors, bool dib);

// Packs a COLORREF as a row pixel (fourth byte `alpha`).
constexpr uint32_t PackColor(COLORREF color, uint8_t alpha = 0) {
    return (GetBValue(color)) | (uint32_t(GetGValue(color)) << 8) | (uint32_t(GetRValue(color)) << 16) |
           (uint32_t(alpha) << 24);
}
constexpr uint32_t PackQuad(const RGBQUAD& quad) {
    return quad.rgbBlue | (uint32_t(quad.rgbGreen) << 8) | (uint32_t(quad.rgbRed) << 16);
}

}  // namespace gdi
