#include "pictures/png/png_palettes.h"

std::vector<gdi::PALETTEENTRY> GreyRamp(int count, const TGammaTable& gamma) {
    std::vector<gdi::PALETTEENTRY> ramp(size_t(count > 0 ? count : 0));
    const int last = count - 1;
    for (int i = 0; i < count; ++i) {
        const int level = last > 0 ? (i * 255 + last / 2) / last : 0;
        const uint8_t grey = gamma[size_t(level)];
        ramp[size_t(i)] = {grey, grey, grey, 0};
    }
    return ramp;
}
