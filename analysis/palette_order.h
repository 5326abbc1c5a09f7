#pragma once
// The orders a palette can be listed in. Luminosity is the QuickSort order of
// luminosity.h, exactly; the others refine it, so that colours they cannot
// tell apart keep the luminosity order among themselves:
//   hue    by HSV hue, then HSV saturation (greys have hue and saturation 0)
//   count  most frequent first
//   first  order of first occurrence in the picture
// All take the pairs as the sample lists them (first occurrence order).

#include <optional>
#include <string_view>
#include <vector>

#include "analysis/color_counts.h"
#include "analysis/luminosity.h"

enum class TPaletteOrder { Luminosity, Hue, Count, First };

std::optional<TPaletteOrder> PaletteOrderFromName(std::string_view name);
const char* PaletteOrderName(TPaletteOrder order);

// HSV hue in degrees [0, 360) and saturation [0, 1] of the colour's red,
// green and blue; alpha takes no part.
struct THueKey {
    double Hue;
    double Saturation;
};
THueKey HueKeyOf(TColor32 color);

// Stable sorts of a list already in luminosity order.
void SortByHue(TPixelData& luminosityOrdered);
void SortByCount(TPixelData& luminosityOrdered, const TColorCounts& counts);

// The pairs keep a single entry for all colours of luminosity 0 (and, when
// the sample is shorter than the picture, that entry may be the sample's
// zero filling rather than a colour of the picture). This gives the list of
// the picture's own distinct colours instead: the entry of luminosity 0, if
// any, is replaced where it stands by darkColors (every colour of the
// picture whose red, green and blue are 0, in first occurrence order).
TPixelData WithEveryDarkColor(const TPixelData& pairs, const std::vector<TColor32>& darkColors);

// The colours of sample[0 .. count - 1] whose red, green and blue are 0.
std::vector<TColor32> DarkColorsOf(const TColor32* sample, size_t count);

// Every colour of sample[0 .. count - 1] with its luminosity, in sample order.
TPixelData AllColorPairs(const TColor32* sample, size_t count);
