#pragma once
// The two lists a palette run writes, both in the chosen order:
//   Pairs   the entries of Palette.bmp and LuminosityValues.txt, as those
//           files have always listed them (one entry for all colours of
//           luminosity 0, the sample's zero filling included);
//   Colors  the picture's distinct colours, each once, for the other formats.

#include "analysis/color_counts.h"
#include "analysis/palette_order.h"
#include "pixels/bitmap32.h"

struct TPaletteLists {
    TPixelData Pairs;
    TPixelData Colors;  // empty unless asked for
};

// sample: the sample bitmap whose first distinctCount pixels are the
// picture's colours in first occurrence order. counts is needed for
// TPaletteOrder::Count only.
TPaletteLists OrderedPaletteLists(const TCustomBitmap32& sample, size_t distinctCount, TPaletteOrder order,
                                  const TColorCounts* counts, bool wantColors);
