#include "app/gradient.h"

#include <algorithm>

#include "pictures/canvas.h"

namespace {

// numerator / denominator (both ≥ 0, denominator > 0) rounded half to even.
int64_t RoundedQuotient(int64_t numerator, int64_t denominator) {
    const int64_t quotient = numerator / denominator;
    const int64_t twiceRemainder = 2 * (numerator % denominator);
    if (twiceRemainder > denominator || (twiceRemainder == denominator && quotient % 2 != 0)) return quotient + 1;
    return quotient;
}

int Component(TColor color, int shift) { return (color >> shift) & 0xFF; }

}  // namespace

TColor GradientRowColor(TColor start, TColor end, int row, int steps) {
    TColor result = 0;
    for (const int shift : {0, 8, 16}) {
        const int64_t numerator =
            int64_t{Component(start, shift)} * (steps - row) + int64_t{Component(end, shift)} * row;
        const int64_t value = std::clamp<int64_t>(RoundedQuotient(numerator, steps), 0, 255);
        result |= static_cast<TColor>(value) << shift;
    }
    return result;
}

void PaintGradient(TBitmap& bitmap, int width, int height) {
    bitmap.SetSize(width, height);
    bitmap.SetPixelFormat(pf24bit);
    if (width <= 0 || height <= 0) return;
    const int steps = std::max(width, height);
    TCanvas& canvas = bitmap.Canvas();
    canvas.Pen().Style = TPenStyle::psSolid;
    canvas.Pen().Width = 1;
    // Rows past the bitmap's height fall outside it and change nothing.
    for (int row = 0; row < std::min(steps, height); ++row) {
        canvas.Pen().Color = GradientRowColor(GradientStartColor, GradientEndColor, row, steps);
        canvas.MoveTo(0, row);
        canvas.LineTo(width, row);
    }
}
