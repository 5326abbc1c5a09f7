// TBitmap: making images anew (size, pixel format, palette) and copying
// shared images before they change.

#include <algorithm>
#include <cstring>
#include <iterator>

#include "pictures/bitmap.h"
#include "pictures/bitmap_canvas.h"

std::shared_ptr<TBitmapImage> MakeDibImage(const gdi::HBITMAP& dib, gdi::HPALETTE palette) {
    auto image = std::make_shared<TBitmapImage>();
    image->FHandle = dib;
    image->FDIBHandle = dib;
    gdi::GetDibSection(dib, image->FDIB);
    image->FPalette = std::move(palette);
    return image;
}

std::shared_ptr<TBitmapImage> MakeDeviceImage(const gdi::HBITMAP& ddb, gdi::HPALETTE palette) {
    auto image = std::make_shared<TBitmapImage>();
    image->FHandle = ddb;
    image->FPalette = std::move(palette);
    gdi::DibSection& description = image->FDIB;
    description.Width = gdi::BitmapWidth(ddb);
    description.Height = gdi::BitmapHeight(ddb);
    description.BitsPixel = static_cast<uint16_t>(gdi::BitmapBitCount(ddb));
    description.WidthBytes = static_cast<int32_t>(gdi::DibRowBytes(description.Width, description.BitsPixel));
    description.Header = gdi::BITMAPINFOHEADER{};
    description.Header.biSize = 0;  // a device-dependent image has no header
    return image;
}

namespace {

std::vector<gdi::RGBQUAD> ToColorTable(const std::vector<gdi::PALETTEENTRY>& entries, size_t count) {
    std::vector<gdi::RGBQUAD> colors;
    for (size_t i = 0; i < std::min(count, entries.size()); ++i)
        colors.push_back(gdi::RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0});
    return colors;
}

// The colour table of a rebuilt indexed image: the new palette's entries,
// else the old image's table; black and white for a 1-bit image made from
// nothing, and the standard palette of the depth when nothing else is known.
std::vector<gdi::RGBQUAD> ColorTableFor(int bitCount, const TBitmapImage& old, const gdi::HPALETTE& palette) {
    const size_t count = size_t{1} << bitCount;
    std::vector<gdi::RGBQUAD> colors;
    if (palette) {
        colors = ToColorTable(gdi::GetPaletteEntries(palette), count);
    } else if (old.FHandle) {
        colors = gdi::GetDIBColorTable(old.FDIBHandle);
    }
    if (colors.size() > count) colors.resize(count);
    if (!colors.empty()) return colors;
    if (bitCount == 4) return ToColorTable(gdi::GetPaletteEntries(gdi::SystemPalette16()), count);
    if (bitCount == 8) return ToColorTable(gdi::GetPaletteEntries(gdi::CreateHalftonePalette()), count);
    return {gdi::RGBQUAD{0, 0, 0, 0}, gdi::RGBQUAD{255, 255, 255, 0}};
}

gdi::HDC ContextFor(const gdi::HBITMAP& bitmap) {
    gdi::HDC dc = gdi::CreateCompatibleDC();
    if (!dc) RaiseOutOfResources();
    gdi::SelectObject(dc, bitmap);
    return dc;
}

// A private copy of a bitmap handle with the same pixels.
gdi::HBITMAP Duplicate(const gdi::HBITMAP& handle) {
    gdi::DibSection section;
    if (gdi::GetDibSection(handle, section)) {
        gdi::BitmapInfo info;
        info.Header = section.Header;
        std::copy(section.Masks, section.Masks + 3, info.Masks);
        info.Colors = gdi::GetDIBColorTable(handle);
        void* bits = nullptr;
        gdi::HBITMAP copy = gdi::CreateDIBSection(info, &bits);
        if (!copy) RaiseOutOfResources();
        std::memcpy(bits, section.Bits, size_t(section.WidthBytes) * size_t(section.Height));
        return copy;
    }
    gdi::HBITMAP copy = gdi::CreateBitmap(section.Width, section.Height, 1, section.BitsPixel == 1 ? 1 : 32);
    if (!copy) RaiseOutOfResources();
    gdi::BitBlt(ContextFor(copy), 0, 0, section.Width, section.Height, ContextFor(handle), 0, 0, gdi::SRCCOPY);
    return copy;
}

}  // namespace

TBitmap::ImageFormat TBitmap::CurrentFormat() const {
    ImageFormat format;
    format.Dib = HandleType() == bmDIB;
    if (!format.Dib) {
        format.Monochrome = Monochrome();
        return format;
    }
    const gdi::BITMAPINFOHEADER& header = FImage->FDIB.Header;
    format.BitCount = header.biBitCount != 0 ? header.biBitCount : 32;
    format.Compression = header.biCompression == gdi::BI_BITFIELDS ? gdi::BI_BITFIELDS : gdi::BI_RGB;
    std::copy(FImage->FDIB.Masks, FImage->FDIB.Masks + 3, format.Masks);
    return format;
}

void TBitmap::CopyImageIfShared() {
    {
        std::lock_guard guard(BitmapImageLock());
        if (FImage.use_count() <= 1) return;
    }
    auto copy = std::make_shared<TBitmapImage>(*FImage);
    copy->FMaskHandle.reset();
    copy->FMaskColor = gdi::CLR_INVALID;
    if (FImage->FHandle) {
        const bool dib = FImage->FHandle == FImage->FDIBHandle;
        copy->FHandle = Duplicate(FImage->FHandle);
        copy->FDIBHandle = dib ? copy->FHandle : nullptr;
        gdi::DibSection section;
        if (gdi::GetDibSection(copy->FHandle, section)) copy->FDIB.Bits = section.Bits;
    }
    InstallImage(std::move(copy));
}

namespace {

// Makes the pixels of a DIB image; an empty one keeps only its description.
void MakeDibPixels(TBitmapImage& image, const gdi::BitmapInfo& info, bool hasPixels, void*& bits) {
    gdi::DibSection& dib = image.FDIB;
    if (!hasPixels) {
        dib.Header = info.Header;
        dib.BitsPixel = info.Header.biBitCount;
        std::copy(info.Masks, info.Masks + 3, dib.Masks);
        return;
    }
    image.FHandle = gdi::CreateDIBSection(info, &bits);
    if (!image.FHandle) RaiseOutOfResources();
    image.FDIBHandle = image.FHandle;
    gdi::GetDibSection(image.FHandle, dib);
}

void MakeDevicePixels(TBitmapImage& image, int width, int height, bool monochrome) {
    gdi::DibSection& dib = image.FDIB;
    if (width <= 0 || height <= 0) {
        dib.BitsPixel = monochrome ? 1 : 32;
        dib.Header.biSize = 0;
        return;
    }
    image.FHandle = gdi::CreateBitmap(width, height, 1, monochrome ? 1 : 32);
    if (!image.FHandle) RaiseOutOfResources();
    gdi::GetDibSection(image.FHandle, dib);
}

}  // namespace

// The header of a rebuilt DIB; a top-down image at an unchanged height stays top-down.
gdi::BitmapInfo TBitmap::DibInfoFor(int width, int height, const ImageFormat& format, const TBitmapImage& old,
                                    const gdi::HPALETTE& palette) {
    gdi::BitmapInfo info;
    gdi::BITMAPINFOHEADER& header = info.Header;
    const bool keepTopDown = old.FDIB.Header.biSize != 0 && old.FDIB.Header.biHeight < 0 && old.FDIB.Height == height;
    header.biWidth = width;
    header.biHeight = keepTopDown ? -height : height;
    header.biBitCount = static_cast<uint16_t>(format.BitCount);
    header.biCompression = format.Compression;
    if (format.Compression == gdi::BI_BITFIELDS) std::copy(format.Masks, format.Masks + 3, info.Masks);
    if (format.BitCount <= 8) info.Colors = ColorTableFor(format.BitCount, old, palette);
    return info;
}

void TBitmap::RebuildImage(int width, int height, const ImageFormat& format, const gdi::HPALETTE& palette,
                           bool halftone) {
    if (width < 0 || height < 0) {
        gdi::SetLastError(gdi::ERROR_INVALID_PARAMETER);
        RaiseOutOfResources();
    }
    HandleNeeded();
    const std::shared_ptr<TBitmapImage> old = FImage;
    auto image = std::make_shared<TBitmapImage>();
    image->FPalette = palette;
    image->FHalftone = palette && halftone;
    gdi::BitmapInfo info;
    void* bits = nullptr;
    if (format.Dib) {
        info = DibInfoFor(width, height, format, *old, palette);
        MakeDibPixels(*image, info, width > 0 && height > 0, bits);
    } else {
        MakeDevicePixels(*image, width, height, format.Monochrome);
    }
    image->FDIB.Width = width;
    image->FDIB.Height = height;
    if (image->FHandle) FillNewImage(image->FHandle, *old, info, bits);
    InstallImage(std::move(image));
}

void TBitmap::FillNewImage(const gdi::HBITMAP& handle, const TBitmapImage& old, const gdi::BitmapInfo& info,
                           void* bits) {
    const int width = gdi::BitmapWidth(handle), height = gdi::BitmapHeight(handle);
    const bool sameSize = old.FHandle && old.FDIB.Width == width && old.FDIB.Height == height;
    // Deeper formats at the same size take the old pixels converted in one go.
    if (sameSize && gdi::BitmapBitCount(handle) > 8) {
        if (bits != nullptr)
            gdi::GetDIBits(old.FHandle, 0, height, bits, info);
        else
            gdi::BitBlt(ContextFor(handle), 0, 0, width, height, ContextFor(old.FHandle), 0, 0, gdi::SRCCOPY);
        return;
    }
    const gdi::HDC dc = ContextFor(handle);
    if (FCanvas)
        gdi::FillRect(dc, gdi::RECT{0, 0, width, height}, gdi::Brush{ColorToRGB(FCanvas->Brush().Color)});
    else
        gdi::PatBlt(dc, 0, 0, width, height, gdi::WHITENESS);
    if (old.FHandle)
        gdi::BitBlt(dc, 0, 0, old.FDIB.Width, old.FDIB.Height, ContextFor(old.FHandle), 0, 0, gdi::SRCCOPY);
}

void TBitmap::SetSize(int width, int height) {
    if (width == Width() && height == Height()) return;
    HandleNeeded();
    RebuildImage(width, height, CurrentFormat(), FImage->FPalette, FImage->FHalftone);
    Changed();
}

namespace {

// How each pixel format is made: bits, coding, and the palette an indexed
// format takes on (the system's 16 colours, the halftone palette, or the one
// the bitmap has).
enum class PaletteRule { Keep, System16, Halftone };
struct PixelFormatRow {
    TPixelFormat Format;
    int BitCount;
    uint32_t Compression;
    uint32_t Masks[3];
    PaletteRule Palette;
};
constexpr PixelFormatRow PixelFormatRows[] = {
    {pf1bit, 1, gdi::BI_RGB, {0, 0, 0}, PaletteRule::Keep},
    {pf4bit, 4, gdi::BI_RGB, {0, 0, 0}, PaletteRule::System16},
    {pf8bit, 8, gdi::BI_RGB, {0, 0, 0}, PaletteRule::Halftone},
    {pf15bit, 16, gdi::BI_RGB, {0, 0, 0}, PaletteRule::Keep},
    {pf16bit, 16, gdi::BI_BITFIELDS, {0xF800, 0x07E0, 0x001F}, PaletteRule::Keep},
    {pf24bit, 24, gdi::BI_RGB, {0, 0, 0}, PaletteRule::Keep},
    {pf32bit, 32, gdi::BI_RGB, {0, 0, 0}, PaletteRule::Keep},
};

const PixelFormatRow& RowOf(TPixelFormat format) {
    for (const PixelFormatRow& row : PixelFormatRows)
        if (row.Format == format) return row;
    return PixelFormatRows[std::size(PixelFormatRows) - 1];
}

}  // namespace

void TBitmap::SetPixelFormat(TPixelFormat value) {
    if (value == PixelFormat()) return;
    if (value == pfCustom) throw EInvalidGraphic("Invalid pixel format");
    HandleNeeded();
    ImageFormat format;
    gdi::HPALETTE palette = FImage->FPalette;
    bool halftone = FImage->FHalftone;
    if (value == pfDevice) {
        format.Dib = false;
        format.Monochrome = Monochrome();
    } else {
        const PixelFormatRow& row = RowOf(value);
        format.BitCount = row.BitCount;
        format.Compression = row.Compression;
        std::copy(std::begin(row.Masks), std::end(row.Masks), format.Masks);
        if (row.Palette != PaletteRule::Keep) {
            halftone = row.Palette == PaletteRule::Halftone;
            palette = halftone ? gdi::CreateHalftonePalette() : gdi::SystemPalette16();
        }
    }
    RebuildImage(Width(), Height(), format, palette, halftone);
    FPaletteModified = palette != nullptr;
    Changed();
}

gdi::HPALETTE TBitmap::Palette() const {
    TBitmapImage& image = *FImage;
    // An indexed image without a palette gets one from its colour table; our
    // screen has 32 bits, so no deeper image ever needs the halftone palette.
    if (!image.FPalette && image.FDIBHandle && image.FDIB.Header.biBitCount <= 8) {
        std::vector<gdi::PALETTEENTRY> entries;
        for (const gdi::RGBQUAD& color : gdi::GetDIBColorTable(image.FDIBHandle))
            entries.push_back(gdi::PALETTEENTRY{color.rgbRed, color.rgbGreen, color.rgbBlue, 0});
        image.FPalette = gdi::CreatePalette(entries);
    }
    return image.FPalette;
}

void TBitmap::SetPalette(const gdi::HPALETTE& value) {
    if (value == FImage->FPalette) return;
    HandleNeeded();
    RebuildImage(Width(), Height(), CurrentFormat(), value, false);
    FPaletteModified = true;
    Changed();
}
