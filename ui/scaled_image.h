#pragma once
// Pictures scaled to the size they are shown at, made once per picture
// rather than once per paint.

#include <cstdint>

#include <QImage>
#include <QSize>

// width × height pixels, `stride` pixels apart row to row, each blue, green,
// red and a fourth byte the screen ignores, sampled to `size` by the nearest
// pixel (the look of the platform's stretch drawing). The fourth byte of the
// result is 255. A null image when there is nothing to sample or the result
// cannot be allocated.
QImage ScaleNearest(const uint32_t* pixels, int width, int height, int64_t stride, QSize size);

// The largest size of the same aspect as `size` that fits in `bounds`,
// never larger than `size` itself, at least 1 × 1 for a non-empty `size`.
QSize FitWithin(QSize size, QSize bounds);
