// Logical palettes: created from entries, the halftone palette and the
// 16-colour system palette.

#include "pictures/gdi/gdi_internal.h"

namespace gdi {
namespace {

PALETTEENTRY Entry(uint8_t red, uint8_t green, uint8_t blue) { return PALETTEENTRY{red, green, blue, 0}; }

}  // namespace

HPALETTE CreatePalette(const std::vector<PALETTEENTRY>& entries) {
    if (entries.empty() || entries.size() > 256) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto palette = std::make_shared<Palette>();
    palette->Entries = entries;
    return palette;
}

HPALETTE CreateHalftonePalette() {
    // A 6 × 6 × 6 colour cube (black first, white at 215) followed by 40
    // grey levels between the cube's greys: 256 entries, so that pictures
    // reduced to 8 bits keep both an even spread of colours and smooth greys.
    std::vector<PALETTEENTRY> entries;
    entries.reserve(256);
    for (int red = 0; red < 6; ++red)
        for (int green = 0; green < 6; ++green)
            for (int blue = 0; blue < 6; ++blue)
                entries.push_back(Entry(uint8_t(red * 51), uint8_t(green * 51), uint8_t(blue * 51)));
    for (int level = 1; level <= 40; ++level) {
        const auto grey = static_cast<uint8_t>((level * 255 + 20) / 41);
        entries.push_back(Entry(grey, grey, grey));
    }
    return CreatePalette(entries);
}

HPALETTE SystemPalette16() {
    static const std::vector<PALETTEENTRY> entries = {
        Entry(0, 0, 0),       Entry(128, 0, 0),   Entry(0, 128, 0),   Entry(128, 128, 0),
        Entry(0, 0, 128),     Entry(128, 0, 128), Entry(0, 128, 128), Entry(192, 192, 192),
        Entry(128, 128, 128), Entry(255, 0, 0),   Entry(0, 255, 0),   Entry(255, 255, 0),
        Entry(0, 0, 255),     Entry(255, 0, 255), Entry(0, 255, 255), Entry(255, 255, 255)};
    return CreatePalette(entries);
}

std::vector<PALETTEENTRY> GetPaletteEntries(const HPALETTE& palette) {
    if (!palette) return {};
    return palette->Entries;
}

}  // namespace gdi
