#include "pictures/gdi/rle.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "pictures/gdi/gdi.h"

namespace gdi {
namespace {

constexpr uint8_t kEndOfLine = 0;
constexpr uint8_t kEndOfBitmap = 1;
constexpr uint8_t kDelta = 2;

// Collects one row at a time. Only the span of columns that codes wrote is
// handed on and cleared, so the work follows the codes in the stream, never
// the declared width: a few bytes can declare rows millions of pixels wide.
class RowBuilder {
public:
    RowBuilder(int32_t width, int32_t height, const EmitRow& emitRow, RleOutcome& outcome)
        : FLine(size_t(width), 0), FHeight(height), FEmit(emitRow), FOutcome(outcome) {}

    bool InBitmap() const { return FRow < FHeight; }

    void Put(uint8_t index) {
        if (FColumn < int64_t(FLine.size())) {
            FLine[size_t(FColumn)] = index;
            FFirst = std::min(FFirst, FColumn);
            FEnd = std::max(FEnd, FColumn + 1);
        } else {
            FOutcome.Clipped = true;
        }
        ++FColumn;
    }

    // Moves down `rows` rows (0 stays on the row) and right `columns`.
    void Move(int64_t rows, int64_t columns) {
        if (rows > 0) {
            Flush();
            FRow += rows;
            if (FRow >= FHeight) FOutcome.Clipped = true;
        }
        FColumn += columns;
    }

    void NextLine() {
        Flush();
        ++FRow;
        FColumn = 0;
    }

    void Flush() {
        if (FFirst >= FEnd) return;
        uint8_t* first = FLine.data() + FFirst;
        FEmit(int32_t(FRow), int32_t(FFirst), int32_t(FEnd - FFirst), first);
        std::fill(first, FLine.data() + FEnd, 0);
        FFirst = std::numeric_limits<int64_t>::max();
        FEnd = 0;
    }

private:
    std::vector<uint8_t> FLine;
    int64_t FHeight;
    int64_t FRow = 0;
    int64_t FColumn = 0;
    int64_t FFirst = std::numeric_limits<int64_t>::max();  // written columns: [FFirst, FEnd)
    int64_t FEnd = 0;
    const EmitRow& FEmit;
    RleOutcome& FOutcome;
};

uint8_t Nibble(uint8_t pair, size_t position) { return position % 2 == 0 ? pair >> 4 : pair & 0x0F; }

}  // namespace

RleOutcome ExpandRle(uint32_t compression, const uint8_t* data, size_t size, int32_t width, int32_t height,
                     const EmitRow& emitRow) {
    RleOutcome outcome;
    if (width <= 0 || height <= 0 || (compression != BI_RLE8 && compression != BI_RLE4)) return outcome;
    const bool fourBit = compression == BI_RLE4;
    RowBuilder rows(width, height, emitRow, outcome);
    size_t position = 0;
    while (rows.InBitmap()) {
        if (size - position < 2) {
            outcome.Truncated = true;
            break;
        }
        const uint8_t count = data[position], value = data[position + 1];
        position += 2;
        if (count > 0) {  // a run of `count` pixels of one index (two alternating for 4 bits)
            for (size_t i = 0; i < count; ++i) rows.Put(fourBit ? Nibble(value, i) : value);
            continue;
        }
        if (value == kEndOfLine) {
            rows.NextLine();
        } else if (value == kEndOfBitmap) {
            outcome.EndMarker = true;
            break;
        } else if (value == kDelta) {
            if (size - position < 2) {
                outcome.Truncated = true;
                break;
            }
            rows.Move(data[position + 1], data[position]);
            position += 2;
        } else {  // absolute mode: `value` indices follow, padded to a 16-bit boundary
            const size_t bytes = fourBit ? (size_t(value) + 1) / 2 : value;
            const size_t available = std::min(bytes, size - position);
            for (size_t i = 0; i < value && (fourBit ? i / 2 : i) < available; ++i)
                rows.Put(fourBit ? Nibble(data[position + i / 2], i) : data[position + i]);
            if (available < bytes) {
                outcome.Truncated = true;
                break;
            }
            position += std::min(bytes + (bytes & 1), size - position);
        }
    }
    rows.Flush();
    return outcome;
}

}  // namespace gdi
