// TBitmap's alpha format and the exact premultiply / un-premultiply passes.

#include "pictures/bitmap.h"

namespace {

// The platform's rounded multiply-divide for the ranges met here: the
// numbers are non-negative, so rounding half away from zero is + d/2.
inline uint32_t MulDiv(uint32_t value, uint32_t numerator, uint32_t denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

}  // namespace

void PremultiplyPixels(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        const uint32_t alpha = pixels[3];
        if (alpha == 255) continue;
        for (int channel = 0; channel < 3; ++channel)
            pixels[channel] = static_cast<uint8_t>(MulDiv(pixels[channel], alpha, 255));
    }
}

void UnpremultiplyPixels(uint8_t* pixels, size_t count) {
    for (size_t i = 0; i < count; ++i, pixels += 4) {
        const uint32_t alpha = pixels[3];
        if (alpha == 255) continue;
        for (int channel = 0; channel < 3; ++channel) {
            // Only the low 8 bits are kept, as the platform's pass does when a
            // colour exceeds its alpha.
            pixels[channel] = alpha == 0 ? 0 : static_cast<uint8_t>(MulDiv(pixels[channel], 255, alpha));
        }
    }
}

void TBitmap::SetAlphaFormat(TAlphaFormat value) {
    if (value == FAlphaFormat) return;
    HandleNeeded();
    CopyImageIfShared();
    gdi::DibSection& dib = FImage->FDIB;
    const bool converts = FAlphaFormat == afIgnored || value == afIgnored;
    if (converts && dib.Bits != nullptr && dib.Header.biSize != 0 && dib.Header.biBitCount == 32) {
        const size_t count = size_t(dib.WidthBytes) * size_t(dib.Height) / 4;
        auto* pixels = static_cast<uint8_t*>(dib.Bits);
        if (FAlphaFormat == afIgnored)
            PremultiplyPixels(pixels, count);
        else
            UnpremultiplyPixels(pixels, count);
        FImage->FMaskHandle.reset();
    }
    FAlphaFormat = value;
    Changed();
}
