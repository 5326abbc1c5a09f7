#include "pictures/gdi/rle.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "pictures/gdi/gdi.h"

namespace gdi {
namespace {

constexpr uint8_t EndOfLineCode = 0;
constexpr uint8_t EndOfBitmapCode = 1;
constexpr uint8_t DeltaCode = 2;

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

// Reads the codes of one stream, a pair of bytes a step, into the rows.
class CodeReader {
public:
    CodeReader(const uint8_t* data, size_t size, bool fourBit, RowBuilder& rows, RleOutcome& outcome)
        : FData(data), FSize(size), FFourBit(fourBit), FRows(rows), FOutcome(outcome) {}

    // False once the codes end: an end marker, or the data runs out.
    bool Step() {
        if (Left() < 2) return Truncated();
        const uint8_t count = FData[FPosition], value = FData[FPosition + 1];
        FPosition += 2;
        if (count > 0) {  // a run of `count` pixels of one index (two alternating for 4 bits)
            for (size_t i = 0; i < count; ++i) FRows.Put(FFourBit ? Nibble(value, i) : value);
            return true;
        }
        switch (value) {
        case EndOfLineCode: FRows.NextLine(); return true;
        case EndOfBitmapCode: FOutcome.EndMarker = true; return false;
        case DeltaCode: return Delta();
        default: return Absolute(value);
        }
    }

private:
    size_t Left() const { return FSize - FPosition; }
    bool Truncated() {
        FOutcome.Truncated = true;
        return false;
    }

    bool Delta() {
        if (Left() < 2) return Truncated();
        FRows.Move(FData[FPosition + 1], FData[FPosition]);
        FPosition += 2;
        return true;
    }

    // `count` indices follow, padded to a 16-bit boundary.
    bool Absolute(uint8_t count) {
        const size_t bytes = FFourBit ? (size_t(count) + 1) / 2 : count;
        const size_t available = std::min(bytes, Left());
        const uint8_t* indices = FData + FPosition;
        for (size_t i = 0; i < count && (FFourBit ? i / 2 : i) < available; ++i)
            FRows.Put(FFourBit ? Nibble(indices[i / 2], i) : indices[i]);
        if (available < bytes) return Truncated();
        FPosition += std::min(bytes + (bytes & 1), Left());
        return true;
    }

    const uint8_t* FData;
    size_t FSize;
    size_t FPosition = 0;
    bool FFourBit;
    RowBuilder& FRows;
    RleOutcome& FOutcome;
};

}  // namespace

RleOutcome ExpandRle(uint32_t compression, const uint8_t* data, size_t size, int32_t width, int32_t height,
                     const EmitRow& emitRow) {
    RleOutcome outcome;
    if (width <= 0 || height <= 0 || (compression != BI_RLE8 && compression != BI_RLE4)) return outcome;
    RowBuilder rows(width, height, emitRow, outcome);
    CodeReader codes(data, size, compression == BI_RLE4, rows, outcome);
    while (rows.InBitmap() && codes.Step()) {}
    rows.Flush();
    return outcome;
}

}  // namespace gdi
