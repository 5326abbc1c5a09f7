#pragma once
// The pixel work behind the block transfers: copying, masked copying and
// alpha blending between two surfaces, and filling. Every function clips
// to both surfaces; nothing outside them is read or written.

#include <cstdint>

#include "pictures/gdi/gdi_internal.h"

namespace gdi {

// How a monochrome device-dependent bitmap meets colour: a colour source
// pixel equal to `SourceKey` becomes 1 in a monochrome destination, every
// other pixel 0; a monochrome source's 0 bits draw `ZeroColor`, its 1 bits
// `OneColor` (the destination context's text and background colours).
struct MonochromeRules {
    uint32_t SourceKey = 0xFFFFFF;
    uint32_t ZeroColor = 0x000000;
    uint32_t OneColor = 0xFFFFFF;
};

struct Area {
    int32_t X = 0, Y = 0, Width = 0, Height = 0;
};

// Copies `source` area into `target` area: exact at equal sizes, the nearest
// source pixel otherwise; a negative width or height mirrors.
void CopyArea(const Surface& target, Area to, const Surface& source, Area from, const MonochromeRules& rules);

// Equal-size copy that leaves the target unchanged where the mask's bit is 1.
void MaskedCopy(const Surface& target, Area to, const Surface& source, int32_t sx, int32_t sy, const Surface& mask,
                int32_t mx, int32_t my, const MonochromeRules& rules);

// Per channel: target := source + target × (255 − source alpha) / 255,
// rounded, at most 255. The source must be 32-bit.
void BlendArea(const Surface& target, Area to, const Surface& source, Area from);

// Sets every pixel of the area to `pixel` (indexed targets: nearest entry).
void FillArea(const Surface& target, Area area, uint32_t pixel);

}  // namespace gdi
