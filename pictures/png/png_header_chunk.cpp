#include <algorithm>
#include <new>

#include "pictures/png/png_chunks.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_layout.h"
#include "pictures/png/png_palettes.h"

namespace {

// The format allows 2^31 − 1; this reader stops at 65535.
constexpr uint32_t MaxDimension = 65535;

bool KnownColorType(uint8_t colorType) {
    return colorType == ctGrey || colorType == ctRGB || colorType == ctPalette || colorType == ctGreyAlpha ||
           colorType == ctRGBAlpha;
}

[[noreturn]] void OutOfMemory() { throw EPNGOutMemory(png_messages::OutMemory); }

}  // namespace

// https://www.w3.org/TR/png/#11IHDR: width, height (4 bytes each, big-endian),
// bit depth, colour type, compression, filter and interlace method.
void TChunkIHDR::Process() {
    if (FData.size() < 13) throw EPngInvalidIHDR(png_messages::InvalidIHDR);
    FIHDRData.Width = ReadBigEndian32(&FData[0]);
    FIHDRData.Height = ReadBigEndian32(&FData[4]);
    FIHDRData.BitDepth = FData[8];
    FIHDRData.ColorType = FData[9];
    FIHDRData.CompressionMethod = FData[10];
    FIHDRData.FilterMethod = FData[11];
    FIHDRData.InterlaceMethod = FData[12];
    CheckHeader();
    // A second header chunk is kept as data only: the picture belongs to the
    // first, and preparing another would hold a second picture's memory.
    if (&Owner().Header() != this) return;
    Owner().FInterlaceMethod = FIHDRData.InterlaceMethod == 1 ? imAdam7 : imNone;
    PrepareImage();
}

// The checks in their order; the filter method is not tested.
void TChunkIHDR::CheckHeader() const {
    if (FIHDRData.Width > MaxDimension || FIHDRData.Height > MaxDimension)
        throw EPNGSizeExceeds(png_messages::SizeExceeds);
    if (FIHDRData.CompressionMethod != 0) throw EPNGUnknownCompression(png_messages::UnknownCompression);
    if (FIHDRData.InterlaceMethod > 1) throw EPNGUnknownInterlace(png_messages::UnknownInterlace);
    if (!KnownColorType(FIHDRData.ColorType)) throw EPNGUnknownColorType(png_messages::UnknownColorType);
    if (FIHDRData.BitDepth == 0) throw EPNGInvalidBitDepth(png_messages::InvalidBitDepth);
}

void TChunkIHDR::PrepareImage() {
    const int bitCount = PngDibBitCount(FIHDRData.ColorType, FIHDRData.BitDepth);
    const int64_t width = FIHDRData.Width;
    const int64_t height = FIHDRData.Height;
    // No DIB for an empty picture, a depth without DIB format, or a picture
    // above the graphics layer's pixel limit: refused before any allocation.
    if (bitCount == 0 || width == 0 || height == 0 || !gdi::MayAllocatePixels(width, height, bitCount)) OutOfMemory();
    DescribeDib(bitCount);
    AllocatePlanes();
    if (bitCount <= 8) {
        // A palette picture shows the halftone palette until its PLTE chunk arrives.
        if (FIHDRData.ColorType == ctPalette)
            SetPalette(gdi::GetPaletteEntries(gdi::CreateHalftonePalette()));
        else
            SetPalette(GreyRamp(1 << bitCount, Owner().GammaTable()));
    }
}

void TChunkIHDR::DescribeDib(int bitCount) {
    gdi::BITMAPINFOHEADER& header = FBitmapInfo.Header;
    header.biWidth = int32_t(FIHDRData.Width);
    header.biHeight = int32_t(FIHDRData.Height);
    header.biPlanes = 1;
    header.biBitCount = uint16_t(bitCount);
    header.biCompression = gdi::BI_RGB;
    FBytesPerRow = gdi::DibRowBytes(FIHDRData.Width, bitCount);
    header.biSizeImage = uint32_t(FBytesPerRow * int64_t{FIHDRData.Height});
}

// The picture's planes together (pixels, alpha, low bytes) stay below the
// pixel budget too: a tiny file must not claim gigabytes.
void TChunkIHDR::AllocatePlanes() {
    const int64_t width = FIHDRData.Width;
    const int64_t height = FIHDRData.Height;
    const bool hasAlpha = FIHDRData.ColorType == ctGreyAlpha || FIHDRData.ColorType == ctRGBAlpha;
    const int64_t dibBytes = FBytesPerRow * height;
    const int64_t planeBytes = dibBytes + (hasAlpha ? width * height : 0) + (FIHDRData.BitDepth == 16 ? dibBytes : 0);
    if (planeBytes >= gdi::MaxPixelBytes()) OutOfMemory();
    TPngImage& owner = Owner();
    owner.FDecodeIntoTarget = owner.FOpaqueTarget && FIHDRData.ColorType == ctRGB && FIHDRData.BitDepth == 8;
    if (owner.FDecodeIntoTarget) return;
    try {
        FImageData = TPngPlane(size_t(dibBytes));
        FImageData.PrepareFromTheEnd();
        if (hasAlpha) FImageAlpha = TPngPlane(size_t(width * height));
        if (FIHDRData.BitDepth == 16) FExtraImageData = TPngPlane(size_t(dibBytes));
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    }
}

uint8_t* TChunkIHDR::AlphaRow(int64_t y) {
    return FImageAlpha.empty() ? nullptr : FImageAlpha.data() + y * int64_t(FIHDRData.Width);
}

const uint8_t* TChunkIHDR::AlphaRow(int64_t y) const {
    return FImageAlpha.empty() ? nullptr : FImageAlpha.data() + y * int64_t(FIHDRData.Width);
}

void TChunkIHDR::SetPalette(const std::vector<gdi::PALETTEENTRY>& entries) {
    const int bitCount = FBitmapInfo.Header.biBitCount;
    if (bitCount == 0 || bitCount > 8) return;
    // The colour table always has an entry for every index the DIB can hold
    // (black where the palette has none), so that no index reads past it.
    const size_t tableSize = size_t(1) << bitCount;
    const size_t used = std::min(entries.size(), tableSize);
    std::vector<gdi::PALETTEENTRY> paletteEntries(entries.begin(), entries.begin() + std::ptrdiff_t(used));
    FBitmapInfo.Colors.assign(tableSize, gdi::RGBQUAD{});
    for (size_t i = 0; i < used; ++i)
        FBitmapInfo.Colors[i] = gdi::RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    FBitmapInfo.Header.biClrUsed = 0;
    FImagePalette = paletteEntries.empty() ? nullptr : gdi::CreatePalette(paletteEntries);
}

void TChunkIHDR::SetPlteEntries(std::vector<gdi::PALETTEENTRY> entries) {
    FPlteEntries = std::move(entries);
    SetPalette(FPlteEntries);
}
