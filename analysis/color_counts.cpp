#include "analysis/color_counts.h"

#include <algorithm>

#include "base/exception.h"

namespace {

// Runs of equal pixels are counted once per run rather than once per pixel.
template <class Visit>
bool ForEachRun(const TColor32* pixels, size_t count, Visit visit) {
    size_t start = 0;
    while (start < count) {
        size_t end = start + 1;
        while (end < count && pixels[end] == pixels[start]) ++end;
        if (!visit(pixels[start], end - start)) return false;
        start = end;
    }
    return true;
}

// The blocks may take as much memory as the picture's own pixels, and at
// least 64 MiB: an opaque photograph needs at most 256 blocks of 256 KiB.
size_t BlockBudget(size_t count) { return std::max<size_t>(size_t{64} << 20, count * sizeof(TColor32)); }

}  // namespace

TColorCounts::TColorCounts(const TColor32* pixels, size_t count, size_t distinctCount, size_t blockBudgetBytes) {
    if (CountInBlocks(pixels, count, blockBudgetBytes != 0 ? blockBudgetBytes : BlockBudget(count))) return;
    FDirectory.reset();
    FBlocks.clear();
    CountInTable(pixels, count, distinctCount);
}

TColorCounts::~TColorCounts() = default;

bool TColorCounts::CountInBlocks(const TColor32* pixels, size_t count, size_t budgetBytes) {
    const size_t maxBlocks = budgetBytes / (BlockCounters * sizeof(uint32_t));
    FDirectory.reset(new uint32_t*[65536]());
    // A block's counter can reach at most the pixel count; 32 bits hold every
    // picture the bitmap limit allows, and larger ones take the table.
    if (count > UINT32_MAX) return false;
    return ForEachRun(pixels, count, [&](TColor32 color, size_t run) {
        uint32_t*& block = FDirectory[color >> 16];
        if (block == nullptr) {
            if (FBlocks.size() == maxBlocks) return false;
            FBlocks.emplace_back(new uint32_t[BlockCounters]());
            block = FBlocks.back().get();
        }
        block[color & 0xFFFF] += static_cast<uint32_t>(run);
        return true;
    });
}

size_t TColorCounts::SlotOf(TColor32 color) const {
    const uint64_t mixed = (uint64_t{color} * 0x9E3779B97F4A7C15ull) >> 32;
    return static_cast<size_t>(mixed & (FKeys.size() - 1));
}

void TColorCounts::CountInTable(const TColor32* pixels, size_t count, size_t distinctCount) {
    // A power of two at least twice the colours keeps the probe runs short.
    // The table never fills: a wrong distinctCount would otherwise loop.
    size_t slots = 16;
    while (slots < 2 * std::min(distinctCount, count)) slots *= 2;
    size_t filled = 0;
    FKeys.assign(slots, 0);
    FCounts.assign(slots, 0);
    FUsed.assign(slots, 0);
    ForEachRun(pixels, count, [&](TColor32 color, size_t run) {
        size_t slot = SlotOf(color);
        while (FUsed[slot] && FKeys[slot] != color) slot = (slot + 1) & (slots - 1);
        if (!FUsed[slot] && ++filled == slots) throw EInvalidOperation("More colours than counted");
        FUsed[slot] = 1;
        FKeys[slot] = color;
        FCounts[slot] += run;
        return true;
    });
}

uint64_t TColorCounts::Of(TColor32 color) const {
    if (FDirectory) {
        const uint32_t* block = FDirectory[color >> 16];
        return block == nullptr ? 0 : block[color & 0xFFFF];
    }
    if (FKeys.empty()) return 0;
    for (size_t slot = SlotOf(color); FUsed[slot]; slot = (slot + 1) & (FKeys.size() - 1))
        if (FKeys[slot] == color) return FCounts[slot];
    return 0;
}
