// Block transfers between device contexts and from described pixel blocks.

#include "pictures/gdi/gdi_transfer.h"

namespace gdi {
namespace {

bool Fail(int error) {
    SetLastError(error);
    return false;
}

MonochromeRules Rules(const DeviceContext& target, const DeviceContext* source) {
    MonochromeRules rules;
    rules.SourceKey = PackColor(source != nullptr ? source->BkColor : 0xFFFFFF);
    rules.ZeroColor = PackColor(target.TextColor);
    rules.OneColor = PackColor(target.BkColor);
    return rules;
}

// The raster operations that need no source.
bool FillOperation(const HDC& dst, int x, int y, int width, int height, uint32_t rop, bool& handled) {
    handled = rop == WHITENESS || rop == BLACKNESS;
    return handled ? PatBlt(dst, x, y, width, height, rop) : false;
}

}  // namespace

bool BitBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, uint32_t rop) {
    return StretchBlt(dst, x, y, width, height, src, sx, sy, width, height, rop);
}

bool StretchBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, int sw, int sh,
                uint32_t rop) {
    if (!dst) return Fail(ERROR_INVALID_HANDLE);
    bool handled = false;
    const bool filled = FillOperation(dst, x, y, width, height, rop, handled);
    if (handled) return filled;
    if (rop != SRCCOPY) return Fail(ERROR_INVALID_PARAMETER);
    if (!src) return Fail(ERROR_INVALID_HANDLE);
    CopyArea(dst->Target(), Area{x, y, width, height}, src->Target(), Area{sx, sy, sw, sh}, Rules(*dst, src.get()));
    return true;
}

int StretchDIBits(const HDC& dst, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BitmapInfo& info, uint32_t rop) {
    if (!dst) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    bool handled = false;
    const bool filled = FillOperation(dst, x, y, width, height, rop, handled);
    if (handled) return filled ? (height < 0 ? -height : height) : 0;
    Surface source;
    if (rop != SRCCOPY || bits == nullptr || !DescribeBlock(info, bits, source)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    CopyArea(dst->Target(), Area{x, y, width, height}, source, Area{sx, sy, sw, sh}, Rules(*dst, nullptr));
    return source.Height;
}

bool MaskBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, const HBITMAP& mask,
             int mx, int my, uint32_t rop) {
    if (!dst || !src) return Fail(ERROR_INVALID_HANDLE);
    if (!mask) return BitBlt(dst, x, y, width, height, src, sx, sy, rop & 0x00FFFFFF);
    if (rop != MASKBLT_TRANSPARENT) return Fail(ERROR_INVALID_PARAMETER);
    const Surface maskView = mask->View();
    if (maskView.BitCount != 1) return Fail(ERROR_INVALID_PARAMETER);
    MaskedCopy(dst->Target(), Area{x, y, width, height}, src->Target(), sx, sy, maskView, mx, my,
               Rules(*dst, src.get()));
    return true;
}

bool AlphaBlend(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, int sw, int sh) {
    if (!dst || !src) return Fail(ERROR_INVALID_HANDLE);
    const Surface source = src->Target();
    if (width < 0 || height < 0 || sw < 0 || sh < 0) return Fail(ERROR_INVALID_PARAMETER);
    if (source.Empty()) return true;
    if (source.Kind != PixelKind::Bgra32) return Fail(ERROR_INVALID_PARAMETER);
    BlendArea(dst->Target(), Area{x, y, width, height}, source, Area{sx, sy, sw, sh});
    return true;
}

}  // namespace gdi
