#include "analysis/distinct_colors.h"

#include <algorithm>
#include <vector>

#include "analysis/color_sets.h"

namespace {

// Up to this many pixels the hash set's table may simply have room for each
// (at most 24 MiB), rather than a pass counting the colours to size it.
constexpr size_t HashByPixelsUpTo = size_t{4} << 20;

// The bit set may take as much memory as the picture's own pixels (and at
// least 32 MiB, which small pictures with scattered alpha values need): that
// keeps a whole run within a few times the picture's size.
size_t BitSetBudget(size_t count) { return std::max<size_t>(size_t{32} << 20, count * sizeof(TColor32)); }

// Exact count without the bit set's memory risk: the pixels are distributed by
// their upper 16 bits (keeping only the lower 16, two bytes each), then each
// group is counted with one 8 KiB bit set that the group's own values clear
// again afterwards.
int64_t CountDistinctByPartition(const TColor32* pixels, size_t count) {
    std::vector<size_t> groupStart(65536 + 1, 0);
    for (size_t i = 0; i < count; ++i) ++groupStart[(pixels[i] >> 16) + 1];
    for (size_t group = 0; group < 65536; ++group) groupStart[group + 1] += groupStart[group];

    std::vector<uint16_t> lowerBits(count);
    std::vector<size_t> next(groupStart.begin(), groupStart.end() - 1);
    for (size_t i = 0; i < count; ++i) lowerBits[next[pixels[i] >> 16]++] = static_cast<uint16_t>(pixels[i]);

    std::vector<uint64_t> seen(65536 / 64, 0);
    int64_t distinct = 0;
    for (size_t group = 0; group < 65536; ++group) {
        const uint16_t* first = lowerBits.data() + groupStart[group];
        const uint16_t* last = lowerBits.data() + groupStart[group + 1];
        for (const uint16_t* value = first; value != last; ++value) {
            uint64_t& word = seen[*value >> 6];
            const uint64_t bit = uint64_t{1} << (*value & 63);
            distinct += (word & bit) == 0;
            word |= bit;
        }
        for (const uint16_t* value = first; value != last; ++value) seen[*value >> 6] = 0;
    }
    return distinct;
}

// Runs of equal pixels are common (flat areas, few-colour pictures); skipping
// them before the set lookup is nearly free.
template <class Visit>
bool ForEachRunStart(const TColor32* pixels, size_t count, Visit visit) {
    if (count == 0) return true;
    TColor32 previous = pixels[0];
    if (!visit(previous)) return false;
    for (size_t i = 1; i < count; ++i) {
        if (pixels[i] == previous) continue;
        previous = pixels[i];
        if (!visit(previous)) return false;
    }
    return true;
}

// A probe of at most 65536 pixels spread evenly over the picture: when even
// they fall into more blocks of 65536 colours than the bit set may have, so
// does the whole picture, and trying the set would only cost time (both
// roads give the same colours).
bool BitSetMayFit(const TColor32* pixels, size_t count) {
    const size_t maxBlocks = TColorBitSet::BlocksWithin(BitSetBudget(count));
    std::vector<uint64_t> seen(65536 / 64, 0);
    size_t blocks = 0;
    const size_t step = std::max<size_t>(1, count / 65536);
    for (size_t i = 0; i < count; i += step) {
        const uint32_t block = pixels[i] >> 16;
        uint64_t& word = seen[block >> 6];
        const uint64_t bit = uint64_t{1} << (block & 63);
        if (word & bit) continue;
        word |= bit;
        if (++blocks > maxBlocks) return false;
    }
    return true;
}

}  // namespace

int64_t CountDistinct(const TColor32* pixels, size_t count) {
    if (!BitSetMayFit(pixels, count)) return CountDistinctByPartition(pixels, count);
    TColorBitSet seen(BitSetBudget(count));
    int64_t distinct = 0;
    const bool fitted = ForEachRunStart(pixels, count, [&](TColor32 color) {
        const auto result = seen.Insert(color);
        distinct += result == TColorBitSet::TInsert::Added;
        return result != TColorBitSet::TInsert::OverBudget;
    });
    return fitted ? distinct : CountDistinctByPartition(pixels, count);
}

size_t CollectFirstOccurrences(const TColor32* pixels, size_t count, TColor32* out) {
    size_t written = 0;
    if (BitSetMayFit(pixels, count)) {
        TColorBitSet seen(BitSetBudget(count));
        const bool fitted = ForEachRunStart(pixels, count, [&](TColor32 color) {
            const auto result = seen.Insert(color);
            if (result == TColorBitSet::TInsert::Added) out[written++] = color;
            return result != TColorBitSet::TInsert::OverBudget;
        });
        if (fitted) return written;
    }
    // Starting again writes the same colours in the same order over the ones
    // already written, so nothing stale remains. A smaller picture sizes the
    // table by its pixels, sparing the count; a larger one counts first, to
    // size it by its colours.
    TColorHashSet seen(count <= HashByPixelsUpTo ? count : size_t(CountDistinctByPartition(pixels, count)));
    written = 0;
    ForEachRunStart(pixels, count, [&](TColor32 color) {
        if (seen.Insert(color)) out[written++] = color;
        return true;
    });
    return written;
}

namespace {

size_t PixelCount(const TCustomBitmap32& bmp) { return size_t(bmp.Width()) * size_t(bmp.Height()); }

bool HasPixels(const TCustomBitmap32& bmp) { return bmp.Width() > 0 && bmp.Height() > 0 && bmp.Bits() != nullptr; }

}  // namespace

std::optional<int64_t> CountDistinctColors(const TCustomBitmap32& bmp) {
    if (!HasPixels(bmp)) return std::nullopt;
    return CountDistinct(bmp.Bits(), PixelCount(bmp));
}

std::string DistinctColorsCaption(int64_t count) { return "Distinct Colors: " + std::to_string(count); }

std::optional<int64_t> CreateSampleColorImage(const TCustomBitmap32& source, std::unique_ptr<TBitmap32>& sample) {
    if (!HasPixels(source)) return std::nullopt;
    // The previous sample goes first, so two samples never exist at once.
    sample.reset();
    sample = std::make_unique<TBitmap32>();
    sample->SetSize(source.Width(), source.Height());
    // A fresh store reads 0 everywhere: the tail after the colours is left as is.
    return static_cast<int64_t>(CollectFirstOccurrences(source.Bits(), PixelCount(source), sample->Bits()));
}
