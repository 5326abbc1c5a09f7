#pragma once
// A 32-bit working copy of a canvas's pixels in a rectangle: the picture is
// combined with it pixel by pixel and the result is put back.

#include <cstdint>

#include "pictures/gdi/gdi.h"
#include "pictures/graphic.h"

class TPngDrawBuffer {
public:
    // Copies the target's pixels in `rect` (in order, not empty) into a
    // top-down 32-bit buffer. EPNGOutMemory when the buffer cannot be made.
    TPngDrawBuffer(const gdi::HDC& target, const TRect& rect);
    // Blue, green, red and the fourth byte of row y (0 = top).
    uint8_t* Row(int y) { return FBits + int64_t(y) * FWidth * 4; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    // Copies the buffer back into the target at the rectangle.
    void CopyBack();

private:
    gdi::HDC FTarget;
    TRect FRect;
    gdi::HDC FDC;
    gdi::HBITMAP FBitmap;
    uint8_t* FBits = nullptr;
    int FWidth, FHeight;
};

// The source coordinate that a target coordinate `t` of a span `target`
// wide takes from a source `source` wide: trunc(t × source / target).
inline int StretchSource(int t, int source, int target) { return int(int64_t(t) * source / target); }
