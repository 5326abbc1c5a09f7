// TBitmap: drawing onto a canvas (plain, masked, alpha-blended) and the
// transparent colour.

#include "pictures/bitmap.h"

namespace {

constexpr TColor TransparentFlag = 0x02000000;

gdi::HDC ContextHolding(const gdi::HBITMAP& bitmap) {
    gdi::HDC dc = gdi::CreateCompatibleDC();
    if (!dc) RaiseOutOfResources();
    gdi::SelectObject(dc, bitmap);
    return dc;
}

// Restores a context's palette and stretch mode when drawing ends, also
// when it ends by an exception.
class DrawingState {
public:
    explicit DrawingState(gdi::HDC dc) : FDC(std::move(dc)) {}
    ~DrawingState() {
        if (FModeSet) gdi::SetStretchBltMode(FDC, FOldMode);
        if (FPaletteSet) gdi::SelectPalette(FDC, FOldPalette);
    }
    DrawingState(const DrawingState&) = delete;
    DrawingState& operator=(const DrawingState&) = delete;

    void UsePalette(const gdi::HPALETTE& palette) {
        FOldPalette = gdi::SelectPalette(FDC, palette);
        FPaletteSet = true;
        gdi::RealizePalette(FDC);
    }
    void UseMode(int mode) {
        FOldMode = gdi::SetStretchBltMode(FDC, mode);
        FModeSet = FOldMode != 0;
    }

private:
    gdi::HDC FDC;
    gdi::HPALETTE FOldPalette;
    int FOldMode = 0;
    bool FPaletteSet = false;
    bool FModeSet = false;
};

}  // namespace

void TBitmap::Draw(TCanvas& canvas, const TRect& rect) {
    HandleNeeded();
    // Holding the image keeps it alive even if drawing replaces ours.
    const std::shared_ptr<TBitmapImage> image = FImage;
    if (!image->FHandle) return;
    const gdi::HDC target = canvas.Handle();
    const gdi::HDC source = ContextHolding(image->FHandle);
    DrawingState state(target);
    if (image->FPalette) state.UsePalette(image->FPalette);
    const int targetBits = gdi::GetDeviceCaps(target, gdi::BITSPIXEL);
    const int bits = image->FDIB.BitsPixel;
    if (targetBits <= 8 && targetBits < bits)
        state.UseMode(gdi::HALFTONE);
    else if (!Monochrome())
        state.UseMode(gdi::COLORONCOLOR);
    const int width = image->FDIB.Width, height = image->FDIB.Height;
    if (Transparent()) {
        DrawTransparent(target, rect, source);
    } else if (bits == 32 && FAlphaFormat != afIgnored) {
        gdi::AlphaBlend(target, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width, height);
    } else {
        gdi::StretchBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), source, 0, 0, width, height,
                        static_cast<uint32_t>(canvas.CopyMode()));
    }
}

void TBitmap::DrawTransparent(const gdi::HDC& target, const TRect& rect, const gdi::HDC& source) {
    const gdi::HBITMAP mask = MaskHandle();
    const int width = Width(), height = Height();
    if (rect.Width() == width && rect.Height() == height) {
        gdi::MaskBlt(target, rect.Left, rect.Top, width, height, source, 0, 0, mask, 0, 0, gdi::MASKBLT_TRANSPARENT);
        return;
    }
    if (rect.Width() <= 0 || rect.Height() <= 0) return;
    // Stretched: the picture and its mask are each stretched to the target
    // size first, then copied with the mask at equal size.
    const gdi::HBITMAP picture = gdi::CreateBitmap(rect.Width(), rect.Height(), 1, 32);
    const gdi::HBITMAP stretchedMask = gdi::CreateBitmap(rect.Width(), rect.Height(), 1, 1);
    if (!picture || !stretchedMask) RaiseOutOfResources();
    const gdi::HDC pictureDC = ContextHolding(picture);
    gdi::StretchBlt(pictureDC, 0, 0, rect.Width(), rect.Height(), source, 0, 0, width, height, gdi::SRCCOPY);
    gdi::StretchBlt(ContextHolding(stretchedMask), 0, 0, rect.Width(), rect.Height(), ContextHolding(mask), 0, 0, width,
                    height, gdi::SRCCOPY);
    gdi::MaskBlt(target, rect.Left, rect.Top, rect.Width(), rect.Height(), pictureDC, 0, 0, stretchedMask, 0, 0,
                 gdi::MASKBLT_TRANSPARENT);
}

gdi::HBITMAP TBitmap::MaskHandle() {
    HandleNeeded();
    const gdi::COLORREF color = static_cast<gdi::COLORREF>(TransparentColor()) & 0xFFFFFF;
    TBitmapImage& image = *FImage;
    if (image.FMaskHandle && image.FMaskColor == color) return image.FMaskHandle;
    gdi::HBITMAP mask = gdi::CreateBitmap(Width(), Height(), 1, 1);
    if (!mask) RaiseOutOfResources();
    // A colour-to-monochrome copy marks the pixels of the source context's
    // background colour, matched in the image's own format.
    const gdi::HDC source = ContextHolding(image.FHandle);
    gdi::SetBkColor(source, color);
    gdi::BitBlt(ContextHolding(mask), 0, 0, Width(), Height(), source, 0, 0, gdi::SRCCOPY);
    image.FMaskHandle = mask;
    image.FMaskColor = color;
    return mask;
}

TColor TBitmap::TransparentColor() const {
    if (FTransparentColor != clDefault) return static_cast<TColor>(ColorToRGB(FTransparentColor)) | TransparentFlag;
    if (Monochrome()) return 0x02FFFFFF;
    if (!FImage->FHandle && FImage->FSaveStream) {
        // The pixels exist only as the kept run-length copy: the corner is
        // read from a bitmap made from it, and this one stays as it is.
        TBitmap copy;
        FImage->FSaveStream->SetPosition(0);
        copy.LoadFromStream(*FImage->FSaveStream);
        return copy.TransparentColor();
    }
    const gdi::HDC dc = ContextHolding(FImage->FHandle);
    return static_cast<TColor>(gdi::GetPixel(dc, 0, Height() - 1)) | TransparentFlag;
}

void TBitmap::SetTransparentColor(TColor value) {
    if (value == FTransparentColor) return;
    FTransparentMode = value == clDefault ? tmAuto : tmFixed;
    FTransparentColor = value;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
    if (value == FTransparentMode) return;
    if (value == tmAuto)
        SetTransparentColor(clDefault);
    else
        SetTransparentColor(TransparentColor());
}
