#include "pictures/png/png_row_decoder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "pictures/png/png_filter.h"
#include "pictures/png/png_layout.h"

namespace {

// The two alternating row buffers, each with the filter byte first.
struct TRowBuffers {
    std::vector<uint8_t> Current, Previous;
};

// One pass (the whole picture when not interlaced). False when the data
// ended before the pass was complete.
bool DecodePass(TPngImageDataStream& data, const TPngRowLayout& layout, const TAdam7Pass& pass, TRowBuffers& buffers,
                const TPngRowSink& sink, int64_t& delivered) {
    const int64_t passWidth = Adam7PassWidth(pass, layout.Width);
    const size_t rowBytes = size_t(PngRowBytes(layout.ColorType, layout.BitDepth, uint64_t(passWidth)));
    // A pass without pixels in a row has no rows at all, not even filter bytes.
    if (rowBytes == 0) return true;
    const size_t offset = PngPixelOffset(layout.ColorType, layout.BitDepth);
    std::fill(buffers.Previous.begin(), buffers.Previous.end(), uint8_t{0});
    const TPngRowPlacement placement{pass.ColumnStart, pass.ColumnStep, passWidth};
    for (int64_t y = pass.RowStart; y < layout.Height; y += pass.RowStep) {
        uint8_t* current = buffers.Current.data();
        if (data.Read(current, rowBytes + 1) == 0) return false;
        UnfilterRow(current[0], current + 1, buffers.Previous.data() + 1, rowBytes, offset);
        sink(current + 1, y, placement);
        ++delivered;
        std::swap(buffers.Current, buffers.Previous);
    }
    return true;
}

}  // namespace

int64_t DecodePngRows(TPngImageDataStream& data, const TPngRowLayout& layout, const TPngRowSink& sink) {
    const size_t fullRowBytes = size_t(PngRowBytes(layout.ColorType, layout.BitDepth, uint64_t(layout.Width)));
    TRowBuffers buffers{std::vector<uint8_t>(fullRowBytes + 1), std::vector<uint8_t>(fullRowBytes + 1)};
    int64_t delivered = 0;
    if (!layout.Adam7) {
        DecodePass(data, layout, TAdam7Pass{0, 1, 0, 1}, buffers, sink, delivered);
        return delivered;
    }
    for (const TAdam7Pass& pass : Adam7Passes)
        if (!DecodePass(data, layout, pass, buffers, sink, delivered)) break;
    return delivered;
}
