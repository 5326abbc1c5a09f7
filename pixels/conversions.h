#pragma once
// Drawing a platform picture into a 32-bit bitmap.

#include "pictures/graphic.h"
#include "pixels/bitmap32.h"

// Whether drawing a picture sets every pixel of its rectangle.
enum class TDrawCoverage { Partial, Whole };

// Sizes the target to the picture, fills it with fillColor, draws the picture
// at its own size onto the store and, when asked, sets every alpha to 255.
// Nothing happens for a null picture. A caller that knows the picture paints
// every pixel (TDrawCoverage::Whole) spares the fill nobody would see.
void AssignFromGraphicPlain(TCustomBitmap32& target, const TGraphic* srcGraphic, TColor32 fillColor,
                            bool resetAlphaAfterDrawing, TDrawCoverage coverage = TDrawCoverage::Partial);
