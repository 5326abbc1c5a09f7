#pragma once
// Reading and writing runs of pixels of any coding as packed 32-bit values
// (see Surface in gdi_internal.h).

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "pictures/gdi/gdi_internal.h"

namespace gdi {

// Decodes `count` pixels from (x, y) into `out`. Indexed pixels go through the
// colour table (an index beyond the table reads as black); 5- and 6-bit
// channels are widened by repeating their high bits; only 32-bit pixels of
// the plain blue-green-red layout carry their fourth byte, all others read 0.
void ReadPixels(const Surface& surface, int32_t y, int32_t x, int32_t count, uint32_t* out);

// Decodes one pixel value of a 16- or 32-bit masked surface.
uint32_t DecodeMasked(uint32_t value, const Surface& surface);

// The index of the colour-table entry nearest to a colour: the first exact
// entry when there is one, else the least squared distance. Answers are
// remembered, so a picture's few thousand colours cost one search each.
class ColorMatcher {
public:
    ColorMatcher(const RGBQUAD* colors, int count);
    uint8_t Index(uint32_t pixel);

private:
    std::vector<uint32_t> FTable;
    std::unordered_map<uint32_t, uint8_t> FKnown;
};

// Encodes packed pixels into a surface's rows.
class RowWriter {
public:
    explicit RowWriter(const Surface& surface);
    void Write(int32_t y, int32_t x, int32_t count, const uint32_t* pixels);

private:
    Surface FSurface;
    std::unique_ptr<ColorMatcher> FMatcher;
};

// The packed value a surface would hold for `pixel` after writing and
// reading it back (its own coding's precision; for indexed surfaces the
// nearest entry's colour).
uint32_t QuantizeTo(const Surface& surface, uint32_t pixel);

}  // namespace gdi
