#pragma once
// The window's background: a vertical gradient painted once, row by row,
// with pen lines on a 24-bit platform bitmap.

#include <cstdint>

#include "pictures/bitmap.h"
#include "pictures/graphic.h"

// Platform colours: red in the low byte.
constexpr TColor GradientStartColor = 0x008080;  // red 128, green 128, blue 0
constexpr TColor GradientEndColor = 0xC0C0C0;    // red, green and blue 192

// The colour of row `row` of `steps`: each component
// (start × (steps − row) + end × row) / steps, rounded to the nearest integer
// with ties to even, kept within 0..255. `steps` > 0.
TColor GradientRowColor(TColor start, TColor end, int row, int steps);

// Makes `bitmap` width × height at 24 bits per pixel and draws the rows of
// max(width, height) steps, each as a line from x = 0 to x = width. Nothing is
// drawn when either side is 0.
void PaintGradient(TBitmap& bitmap, int width, int height);
