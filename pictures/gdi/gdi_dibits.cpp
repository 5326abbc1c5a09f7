// Conversions between bitmaps and described pixel blocks, and device-
// dependent bitmaps made from described (possibly run-length-encoded) pixels.

#include <algorithm>
#include <array>
#include <cstring>

#include "pictures/gdi/gdi_transfer.h"
#include "pictures/gdi/rle.h"

namespace gdi {
namespace {

// The part of a block that holds `lines` rows beginning at scan line `start`,
// where scan lines run in the block's own order (bottom-up blocks count from
// the bottom). Sets `rows` to where they lie in a bitmap of `height` rows.
bool BlockRows(const BitmapInfo& info, const void* bits, int start, int& lines, int32_t height, Surface& block,
               Area& rows) {
    if (bits == nullptr || !DescribeBlock(info, bits, block)) return false;
    if (start < 0 || lines <= 0 || start >= height) return false;
    lines = std::min(lines, height - start);
    block.Height = lines;
    rows.Height = lines;
    rows.Y = block.TopDown ? start : height - start - lines;
    return true;
}

int Refuse(int error) {
    SetLastError(error);
    return 0;
}

void ExpandRunLengths(const Bitmap& target, const BitmapInfo& info, const uint8_t* data, size_t size) {
    Surface block;
    BitmapInfo asIndexed = info;
    asIndexed.Header.biCompression = BI_RGB;
    DescribeBlock(asIndexed, data, block);
    std::array<uint32_t, 256> colors{};
    for (int i = 0; i < block.ColorCount; ++i) colors[i] = PackQuad(block.Colors[i]);
    // Pixels that no code reaches take colour index 0. A new bitmap's pixels
    // are zero already, and leaving them untouched keeps a sparse picture's
    // pages unmapped.
    if (colors[0] != 0) FillArea(target.View(), Area{0, 0, target.Width, target.Height}, colors[0]);
    const int32_t height = target.Height;
    ExpandRle(info.Header.biCompression, data, size, target.Width, height,
              [&](int32_t row, int32_t first, int32_t count, const uint8_t* indices) {
                  auto* out = target.Pixels() + (height - 1 - row) * target.RowBytes + int64_t{first} * 4;
                  for (int32_t x = 0; x < count; ++x, out += 4) std::memcpy(out, &colors[indices[x]], 4);
              });
}

}  // namespace

int GetDIBits(const HBITMAP& bitmap, int start, int lines, void* bits, const BitmapInfo& info) {
    if (!bitmap) return Refuse(ERROR_INVALID_HANDLE);
    Surface block;
    Area rows;
    if (!BlockRows(info, bits, start, lines, bitmap->Height, block, rows)) return Refuse(ERROR_INVALID_PARAMETER);
    if (block.Indexed() && block.ColorCount == 0) return Refuse(ERROR_INVALID_PARAMETER);
    const int32_t width = std::min(block.Width, bitmap->Width);
    CopyArea(block, Area{0, 0, width, lines}, bitmap->View(), Area{0, rows.Y, width, lines}, MonochromeRules{});
    return lines;
}

int SetDIBits(const HBITMAP& bitmap, int start, int lines, const void* bits, const BitmapInfo& info) {
    if (!bitmap) return Refuse(ERROR_INVALID_HANDLE);
    Surface block;
    Area rows;
    if (!BlockRows(info, bits, start, lines, bitmap->Height, block, rows)) return Refuse(ERROR_INVALID_PARAMETER);
    const int32_t width = std::min(block.Width, bitmap->Width);
    CopyArea(bitmap->View(), Area{0, rows.Y, width, lines}, block, Area{0, 0, width, lines}, MonochromeRules{});
    return lines;
}

namespace {

// A header the bitmap can be made from: a known size, a width, a height that
// can be negated; run-length data always runs bottom-up and codes 8- or
// 4-bit indices.
bool UsableDibHeader(const BITMAPINFOHEADER& header) {
    if (header.biSize < SmallestInfoHeader || header.biSize > LargestInfoHeader || header.biWidth <= 0 ||
        header.biHeight == 0 || header.biHeight == INT32_MIN)
        return false;
    const uint32_t compression = header.biCompression;
    if (compression != BI_RLE8 && compression != BI_RLE4) return true;
    return header.biHeight > 0 && header.biBitCount == (compression == BI_RLE8 ? 8 : 4);
}

// Copies the whole rows of `block` that lie within `bitsSize`; the rest stays zero.
void CopyWholeRows(Bitmap& bitmap, Surface block, size_t bitsSize) {
    const int32_t height = bitmap.Height;
    const int32_t available = static_cast<int32_t>(std::min<int64_t>(height, int64_t(bitsSize) / block.RowBytes));
    if (available <= 0) return;
    block.Height = available;
    const int32_t firstRow = block.TopDown ? 0 : height - available;
    CopyArea(bitmap.View(), Area{0, firstRow, bitmap.Width, available}, block, Area{0, 0, bitmap.Width, available},
             MonochromeRules{});
}

}  // namespace

HBITMAP CreateDIBitmap(const BitmapInfo& info, const void* bits, size_t bitsSize) {
    const BITMAPINFOHEADER& header = info.Header;
    const bool runLength = header.biCompression == BI_RLE8 || header.biCompression == BI_RLE4;
    Surface block;
    if (!UsableDibHeader(header) || (!runLength && !DescribeBlock(info, bits == nullptr ? "" : bits, block))) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const int32_t height = header.biHeight < 0 ? -header.biHeight : header.biHeight;
    HBITMAP bitmap = CreateBitmap(header.biWidth, height, 1, 32);
    if (!bitmap || bits == nullptr) return bitmap;
    if (runLength)
        ExpandRunLengths(*bitmap, info, static_cast<const uint8_t*>(bits), bitsSize);
    else
        CopyWholeRows(*bitmap, block, bitsSize);
    return bitmap;
}

}  // namespace gdi
