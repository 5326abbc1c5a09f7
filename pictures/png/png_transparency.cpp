#include "pictures/png/png_image.h"
#include "pictures/png/png_layout.h"

TPNGTransparencyMode TPngImage::TransparencyMode() const {
    const TChunktRNS* transparency = FindChunk<TChunktRNS>();
    switch (Header().IHDRData().ColorType) {
    case ctGrey:
    case ctRGB: return transparency ? ptmBit : ptmNone;
    case ctPalette:
        if (!transparency) return ptmNone;
        return transparency->BitTransparency() ? ptmBit : ptmPartial;
    default: return ptmPartial;
    }
}

namespace {

TColor ColorOf(uint8_t red, uint8_t green, uint8_t blue) { return TColor(gdi::RGB(red, green, blue)); }

// The DIB index that holds a grey sample, reduced the way the pixels are:
// the high byte at depth 16, 5 × v at depth 2 (the 16-entry ramp), the
// sample itself below that. Bits the depth cannot hold are dropped, so a
// sample out of the format's range still names an entry of the table.
unsigned GreyIndex(const std::array<uint8_t, 256>& sample, uint8_t bitDepth) {
    switch (bitDepth) {
    case 16: return sample[0];
    case 8: return sample[1];
    case 2: return 5u * (sample[1] & 3u);
    default: return sample[1] & ((1u << bitDepth) - 1);
    }
}

}  // namespace

TColor TPngImage::TransparentColor() const {
    const TChunkIHDR& header = Header();
    const TChunktRNS* transparency = FindChunk<TChunktRNS>();
    if (!transparency) return clBlack;
    const auto& values = transparency->PaletteValues();
    const uint8_t depth = header.IHDRData().BitDepth;
    switch (header.IHDRData().ColorType) {
    case ctGrey: {
        const auto& table = header.BitmapInfo().Colors;
        const unsigned index = GreyIndex(values, depth);
        if (index >= table.size()) return clBlack;
        return ColorOf(table[index].rgbRed, table[index].rgbGreen, table[index].rgbBlue);
    }
    case ctRGB: {
        // The pixels hold the corrected high byte of 16-bit samples, so
        // the transparent sample is reduced the same way.
        const size_t low = depth == 16 ? 0 : 1;
        return ColorOf(FGammaTable[values[low]], FGammaTable[values[2 + low]], FGammaTable[values[4 + low]]);
    }
    case ctPalette: {
        const auto& entries = header.PlteEntries();
        for (size_t i = 0; i < entries.size(); ++i)
            if (values[i] == 0) return ColorOf(entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
        return clBlack;
    }
    default: return clBlack;
    }
}
