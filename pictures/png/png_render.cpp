// Drawing the decoded picture onto a canvas, and rendering it into a TBitmap.

#include <algorithm>

#include "base/two_threads.h"
#include "pictures/canvas.h"
#include "pictures/png/png_draw_buffer.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_layout.h"

namespace {

// Brackets drawing that goes to a canvas's device context directly, so that
// the canvas's owner prepares its pixels and learns of the change. (Draw
// needs none: TCanvas::Draw brackets the graphic's drawing itself.)
class TCanvasPainting {
public:
    explicit TCanvasPainting(TCanvas& canvas) : FCanvas(canvas) {
        FCanvas.Lock();
        if (FCanvas.OnChanging) FCanvas.OnChanging();
    }
    ~TCanvasPainting() {
        if (FCanvas.OnChanged) FCanvas.OnChanged();
        FCanvas.Unlock();
    }
    TCanvasPainting(const TCanvasPainting&) = delete;
    TCanvasPainting& operator=(const TCanvasPainting&) = delete;

private:
    TCanvas& FCanvas;
};

TRect Ordered(const TRect& rect) {
    return {std::min(rect.Left, rect.Right), std::min(rect.Top, rect.Bottom), std::max(rect.Left, rect.Right),
            std::max(rect.Top, rect.Bottom)};
}

// The colour-table index of pixel x in a DIB row of 1, 4 or 8 bits.
inline unsigned DibIndex(const uint8_t* row, int x, int bitCount) {
    switch (bitCount) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15u;
    default: return row[x];
    }
}

// Runs `combine(pixel, sx, sy)` for every pixel of the target rectangle with
// the picture pixel it takes (nearest pixel when stretched).
template <class Combine>
void Composite(TCanvas& canvas, const TRect& rect, int pictureWidth, int pictureHeight, Combine combine) {
    const TRect target = Ordered(rect);
    if (target.Width() == 0 || target.Height() == 0) return;
    TPngDrawBuffer buffer(canvas.Handle(), target);
    const int width = buffer.Width(), height = buffer.Height();
    for (int y = 0; y < height; ++y) {
        const int sy = StretchSource(y, pictureHeight, height);
        uint8_t* pixel = buffer.Row(y);
        for (int x = 0; x < width; ++x, pixel += 4) combine(pixel, StretchSource(x, pictureWidth, width), sy);
    }
    buffer.CopyBack();
}

// Source over the buffer with straight alpha, for colour types 4 and 6.
inline void BlendStraight(uint8_t* pixel, uint8_t blue, uint8_t green, uint8_t red, unsigned alpha) {
    if (alpha == 0) return;
    if (alpha == 255) {
        pixel[0] = blue, pixel[1] = green, pixel[2] = red, pixel[3] = 255;
        return;
    }
    const unsigned rest = 255 - alpha;
    pixel[0] = uint8_t((rest * pixel[0] + alpha * blue + 127) / 255);
    pixel[1] = uint8_t((rest * pixel[1] + alpha * green + 127) / 255);
    pixel[2] = uint8_t((rest * pixel[2] + alpha * red + 127) / 255);
    pixel[3] = uint8_t(255 - ((255u - pixel[3]) * rest + 127) / 255);
}

gdi::HPALETTE CopyOf(const gdi::HPALETTE& palette) { return gdi::CreatePalette(gdi::GetPaletteEntries(palette)); }

TPixelFormat OpaqueFormat(const TIHDRData& ihdr) {
    switch (ihdr.BitDepth) {
    case 1: return pf1bit;
    case 2:
    case 4: return pf4bit;
    default: return ihdr.ColorType == ctPalette ? pf8bit : pf24bit;
    }
}

void CopyDib(const TChunkIHDR& header, const gdi::HDC& dc, const TRect& rect) {
    const int previousMode = gdi::SetStretchBltMode(dc, gdi::COLORONCOLOR);
    const int width = int(header.IHDRData().Width), height = int(header.IHDRData().Height);
    gdi::StretchDIBits(dc, rect.Left, rect.Top, rect.Width(), rect.Height(), 0, 0, width, height, header.ImageData(),
                       header.BitmapInfo(), gdi::SRCCOPY);
    gdi::SetStretchBltMode(dc, previousMode);
}

void DrawPartialColor(const TChunkIHDR& header, TCanvas& canvas, const TRect& rect) {
    const bool grey = header.IHDRData().ColorType == ctGreyAlpha;
    Composite(canvas, rect, int(header.IHDRData().Width), int(header.IHDRData().Height),
              [&](uint8_t* pixel, int sx, int sy) {
                  const uint8_t alpha = header.AlphaRow(sy)[sx];
                  const uint8_t* dib = header.DibRow(sy);
                  // Greys are taken as stored, not through the ramp: no gamma.
                  if (grey)
                      BlendStraight(pixel, dib[sx], dib[sx], dib[sx], alpha);
                  else
                      BlendStraight(pixel, dib[3 * sx], dib[3 * sx + 1], dib[3 * sx + 2], alpha);
              });
}

void DrawPartialPalette(const TChunkIHDR& header, const TChunktRNS& transparency, TCanvas& canvas, const TRect& rect) {
    const auto& entries = header.PlteEntries();
    const auto& alphas = transparency.PaletteValues();
    const int bitCount = header.BitmapInfo().Header.biBitCount;
    Composite(canvas, rect, int(header.IHDRData().Width), int(header.IHDRData().Height),
              [&](uint8_t* pixel, int sx, int sy) {
                  const unsigned index = DibIndex(header.DibRow(sy), sx, bitCount);
                  if (index >= entries.size()) throw EPngError(png_messages::NoSuchPaletteEntry);
                  const unsigned alpha = alphas[index], rest = 255 - alpha;
                  const gdi::PALETTEENTRY& color = entries[index];
                  pixel[0] = uint8_t((alpha * color.peBlue + rest * pixel[0] + 255) >> 8);
                  pixel[1] = uint8_t((alpha * color.peGreen + rest * pixel[1] + 255) >> 8);
                  pixel[2] = uint8_t((alpha * color.peRed + rest * pixel[2] + 255) >> 8);
                  pixel[3] = uint8_t(alpha);
              });
}

// Pixels of the transparent colour keep the canvas's pixels; the others are
// copied as a platform copy from a DIB would (fourth byte 0).
void DrawKeyed(const TChunkIHDR& header, TColor transparent, TCanvas& canvas, const TRect& rect) {
    const auto& table = header.BitmapInfo().Colors;
    const int bitCount = header.BitmapInfo().Header.biBitCount;
    Composite(canvas, rect, int(header.IHDRData().Width), int(header.IHDRData().Height),
              [&](uint8_t* pixel, int sx, int sy) {
                  const uint8_t* dib = header.DibRow(sy);
                  uint8_t blue, green, red;
                  if (bitCount == 24) {
                      blue = dib[3 * sx], green = dib[3 * sx + 1], red = dib[3 * sx + 2];
                  } else {
                      const gdi::RGBQUAD& color = table[DibIndex(dib, sx, bitCount)];
                      blue = color.rgbBlue, green = color.rgbGreen, red = color.rgbRed;
                  }
                  if (TColor(gdi::RGB(red, green, blue)) == transparent) return;
                  pixel[0] = blue, pixel[1] = green, pixel[2] = red, pixel[3] = 0;
              });
}

}  // namespace

void TPngImage::Draw(TCanvas& canvas, const TRect& rect) {
    if (Empty()) return;
    RequirePixels();
    const TChunkIHDR& header = Header();
    switch (TransparencyMode()) {
    case ptmBit: DrawKeyed(header, TransparentColor(), canvas, rect); break;
    case ptmPartial:
        if (header.IHDRData().ColorType == ctPalette)
            DrawPartialPalette(header, *FindChunk<TChunktRNS>(), canvas, rect);
        else
            DrawPartialColor(header, canvas, rect);
        break;
    case ptmNone: CopyDib(header, canvas.Handle(), rect); break;
    }
}

bool TPngImage::WriteOpaquePixels(const std::function<uint32_t*()>& target) {
    if (FPixelsHandedOver) return true;
    if (Empty() || TransparencyMode() != ptmNone) return false;
    const TChunkIHDR& header = Header();
    if (header.BitmapInfo().Header.biBitCount != 24) return false;
    const size_t width = size_t(Width());
    uint32_t* const pixels = target();
    // Both cores: most of the time goes to the kernel's first touch of the
    // target's pages, which two threads share well.
    OnTwoThreads(size_t(Height()), 64, [&](size_t first, size_t last) {
        for (size_t y = first; y < last; ++y) {
            const uint8_t* dib = header.DibRow(int64_t(y));
            uint32_t* pixel = pixels + y * width;
            for (size_t x = 0; x < width; ++x, dib += 3)
                *pixel++ = 0xFF000000u | uint32_t(dib[2]) << 16 | uint32_t(dib[1]) << 8 | dib[0];
        }
    });
    return true;
}

void TPngImage::RequirePixels() const {
    if (FPixelsHandedOver) throw EInvalidGraphicOperation("The PNG picture's pixels were handed over");
}

void TPngImage::RenderInto(TBitmap& dest) const {
    RequirePixels();
    const TChunkIHDR& header = Header();
    const TPNGTransparencyMode mode = TransparencyMode();
    const int width = Width(), height = Height();
    dest.SetSize(width, height);
    if (mode == ptmPartial) {
        // Onto transparent black: the result holds premultiplied colours.
        dest.SetPixelFormat(pf32bit);
        dest.SetAlphaFormat(afDefined);
        dest.Canvas().Brush().Color = clBlack;
        dest.Canvas().FillRect(Rect(0, 0, width, height));
    } else {
        dest.SetPixelFormat(OpaqueFormat(header.IHDRData()));
        dest.SetAlphaFormat(afIgnored);
    }
    if (header.HasPalette()) dest.SetPalette(CopyOf(header.ImagePalette()));
    if (mode == ptmBit) {
        dest.SetTransparentColor(TransparentColor());
        dest.SetTransparent(true);
        TCanvasPainting painting(dest.Canvas());
        CopyDib(header, dest.Canvas().Handle(), Rect(0, 0, width, height));
        return;
    }
    // A transparent colour left by an earlier picture must not cut pixels
    // out of this one.
    dest.SetTransparent(false);
    // Draw does not change the picture; TCanvas::Draw merely takes it non-const.
    dest.Canvas().Draw(0, 0, const_cast<TPngImage*>(this));
}
