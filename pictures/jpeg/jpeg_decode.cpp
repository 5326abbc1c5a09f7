#include "pictures/jpeg/jpeg_decode.h"

#include <functional>
#include <vector>

#include "pictures/jpeg/jpeg_error.h"

namespace {

TPixelFormat PixelFormatOf(TJPEGOutputKind kind) {
    switch (kind) {
    case TJPEGOutputKind::Indexed8: return pf8bit;
    case TJPEGOutputKind::Bgra32:
    case TJPEGOutputKind::Cmyk32: return pf32bit;
    case TJPEGOutputKind::Bgr24:
    case TJPEGOutputKind::Unsupported: break;
    }
    return pf24bit;
}

// A header may describe a picture far beyond what we can hold (up to
// 65500 × 65500); refuse it before libjpeg allocates its buffers for it.
void RequireWithinPixelLimit(const TJPEGOutput& output) {
    if (output.Kind == TJPEGOutputKind::Unsupported) {
        return;  // refused by TJPEGContext::Start with its own code
    }
    if (!gdi::MayAllocatePixels(output.Width, output.Height, output.BitsPerPixel())) {
        gdi::SetLastError(gdi::ERROR_NOT_ENOUGH_MEMORY);
        RaiseOutOfResources();
    }
}

// The bitmap libjpeg writes into: a bottom-up DIB of the output's format,
// built directly rather than through SetSize, which would first paint the
// whole picture white only for libjpeg to overwrite it.
std::unique_ptr<TBitmap> MakeTarget(const TJPEGOutput& output, const std::vector<gdi::PALETTEENTRY>& colors) {
    gdi::BitmapInfo info;
    info.Header.biWidth = output.Width;
    info.Header.biHeight = output.Height;
    info.Header.biBitCount = static_cast<uint16_t>(output.BitsPerPixel());
    for (const gdi::PALETTEENTRY& color : colors) {
        info.Colors.push_back({color.peBlue, color.peGreen, color.peRed, 0});
    }
    void* bits = nullptr;
    gdi::HBITMAP dib = gdi::CreateDIBSection(info, &bits);
    if (!dib || bits == nullptr) {
        RaiseOutOfResources();
    }
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetImage(MakeDibImage(dib, colors.empty() ? nullptr : gdi::CreatePalette(colors)));
    if (bitmap->PixelFormat() != PixelFormatOf(output.Kind)) {
        throw EInvalidGraphicOperation("JPEG target bitmap has an unexpected format");
    }
    return bitmap;
}

}  // namespace

std::unique_ptr<TBitmap> DecodeJPEGToBitmap(const uint8_t* data, size_t size, const TJPEGDecodeSettings& settings,
                                            size_t portion) {
    TJPEGContext context(data, size, portion);
    TJPEGOutput output = context.Configure(settings);
    RequireWithinPixelLimit(output);
    context.Start();
    std::unique_ptr<TBitmap> bitmap = MakeTarget(output, context.ColorMap());
    uint8_t* firstRow = bitmap->ScanLine(0);
    ptrdiff_t step = output.Height >= 2 ? bitmap->ScanLine(1) - firstRow : 0;
    size_t rowBytes = static_cast<size_t>(gdi::DibRowBytes(output.Width, output.BitsPerPixel()));
    context.ReadRows(firstRow, step, rowBytes);
    context.Finish();
    return bitmap;
}

bool DecodeJPEGToOpaquePixels(const uint8_t* data, size_t size, TJPEGDecodeSettings settings,
                              const std::function<uint32_t*()>& target) {
    settings.FourBytes = true;
    TJPEGContext context(data, size);
    TJPEGOutput output = context.Configure(settings);
    if (output.Kind != TJPEGOutputKind::Bgra32 && output.Kind != TJPEGOutputKind::Cmyk32) return false;
    // The limit of the bitmap the picture would otherwise be decoded into:
    // three bytes a pixel for colour, four for CMYK.
    RequireWithinPixelLimit(
        {output.Width, output.Height, output.Kind == TJPEGOutputKind::Cmyk32 ? output.Kind : TJPEGOutputKind::Bgr24});
    context.Start();
    const size_t rowBytes = size_t(output.Width) * 4;
    context.ReadRows(reinterpret_cast<uint8_t*>(target()), static_cast<ptrdiff_t>(rowBytes), rowBytes);
    context.Finish();
    return true;
}
