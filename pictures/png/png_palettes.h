#pragma once
// Palettes the decoder builds for itself.

#include <vector>

#include "pictures/gdi/gdi.h"
#include "pictures/png/png_gamma.h"

// `count` greys evenly from black to white, entry i being
// gamma[round(i × 255 / (count − 1))].
std::vector<gdi::PALETTEENTRY> GreyRamp(int count, const TGammaTable& gamma);
