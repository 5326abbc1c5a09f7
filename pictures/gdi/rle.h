#pragma once
// Expansion of run-length-encoded DIB pixels (BI_RLE8 and BI_RLE4), kept
// apart from the bitmaps so that it can be tested with small crafted streams.

#include <cstddef>
#include <cstdint>
#include <functional>

namespace gdi {

struct RleOutcome {
    bool EndMarker = false;  // the stream ended with its end-of-bitmap code
    bool Clipped = false;    // some code reached beyond the bitmap; those pixels were dropped
    bool Truncated = false;  // the data ended inside a code or before the end marker
};

// Receives the colour indices of columns [first, first + count) of a row.
using EmitRow = std::function<void(int32_t row, int32_t first, int32_t count, const uint8_t* indices)>;

// Expands `size` bytes of `compression` (BI_RLE8 or BI_RLE4) data for a
// width × height bitmap. Rows are numbered in the stream's own order (the
// first is the bottom row of a bottom-up bitmap). `emitRow` is called once
// for each row that received at least one pixel, in increasing row order,
// with the span from the leftmost to the rightmost pixel that codes set;
// pixels inside the span that no code set are 0, pixels outside it are not
// passed at all. The work done is bounded by the data, not by the width.
//
// Damaged data is handled by clipping, never by reading or writing outside:
// reads stop at `size`; pixels beyond a row's end are dropped (the code's
// data is still consumed, so the stream stays in step); a delta or end of
// line that leaves the bitmap ends the expansion. Every code consumes at
// least two bytes, so the expansion always ends.
RleOutcome ExpandRle(uint32_t compression, const uint8_t* data, size_t size, int32_t width, int32_t height,
                     const EmitRow& emitRow);

}  // namespace gdi
