// PLTE, tRNS and gAMA: the chunks that change the colours of what follows.

#include "pictures/png/png_chunks.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_layout.h"

void TChunkPLTE::Process() {
    if (FData.size() % 3 != 0 || FData.size() / 3 > 256) throw EPNGInvalidPalette(png_messages::InvalidPalette);
    FCount = int(FData.size() / 3);
    const TGammaTable& gamma = Owner().GammaTable();
    std::vector<gdi::PALETTEENTRY> entries(static_cast<size_t>(FCount));
    for (size_t i = 0; i < entries.size(); ++i)
        entries[i] = {gamma[FData[3 * i]], gamma[FData[3 * i + 1]], gamma[FData[3 * i + 2]], 0};
    Owner().Header().SetPlteEntries(std::move(entries));
}

void TChunktRNS::Process() {
    if (FData.size() > FPaletteValues.size()) throw EPNGInvalidPalette(png_messages::InvalidPalette);
    FPaletteValues.fill(255);
    std::copy(FData.begin(), FData.end(), FPaletteValues.begin());
    switch (Owner().Header().IHDRData().ColorType) {
    case ctGrey:
    case ctRGB: FBitTransparency = true; break;
    case ctPalette: {
        // A single entry below 255 is drawn as a transparent colour
        // (the first entry of alpha 0, else black); any other mix of
        // alphas needs partial transparency.
        size_t translucent = 0;
        for (uint8_t alpha : FData)
            if (alpha != 255) ++translucent;
        FBitTransparency = translucent == 1;
        break;
    }
    default: FBitTransparency = false; break;
    }
}

uint32_t TChunkgAMA::Gamma() const { return FData.size() == 4 ? ReadBigEndian32(FData.data()) : 1; }

void TChunkgAMA::Process() {
    TPngImage& owner = Owner();
    BuildGammaTables(Gamma(), owner.FGammaTable, owner.FInverseGamma);
}
