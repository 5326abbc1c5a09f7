#pragma once
// Two sets of 32-bit colours for the distinct-colour count and sample. Both
// answer "was this colour seen before?" and remember it, in constant time.
//
// TColorBitSet is the fast one: one bit per possible colour, kept in 8 KiB
// blocks of 65536 colours that share their upper 16 bits (alpha and red), so
// an opaque picture needs at most 256 blocks (2 MiB) however many colours it
// has, and the whole set stays in the cache. Pictures whose colours spread
// over very many alpha and red pairs would need up to 512 MiB; the set stops
// at a memory budget instead, and the caller falls back to TColorHashSet,
// which costs memory in proportion to the number of distinct colours.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "pictures/gdi/pixel_block.h"

class TColorBitSet {
public:
    // budgetBytes: the most the blocks may take together.
    explicit TColorBitSet(size_t budgetBytes);
    ~TColorBitSet();
    TColorBitSet(const TColorBitSet&) = delete;
    TColorBitSet& operator=(const TColorBitSet&) = delete;

    enum class TInsert { Added, Present, OverBudget };
    TInsert Insert(uint32_t color) {
        uint64_t* block = FDirectory[color >> 16];
        if (block == nullptr) {
            block = AddBlock(color >> 16);
            if (block == nullptr) return TInsert::OverBudget;
        }
        uint64_t& word = block[(color >> 6) & (WordsPerBlock - 1)];
        const uint64_t bit = uint64_t{1} << (color & 63);
        if (word & bit) return TInsert::Present;
        word |= bit;
        return TInsert::Added;
    }

    static constexpr size_t WordsPerBlock = 65536 / 64;
    static constexpr size_t BlockBytes = WordsPerBlock * sizeof(uint64_t);
    // The blocks a set of that budget may have: at least one.
    static size_t BlocksWithin(size_t budgetBytes) { return std::max<size_t>(budgetBytes / BlockBytes, 1); }

private:
    uint64_t* AddBlock(uint32_t upperBits);

    std::unique_ptr<uint64_t*[]> FDirectory;  // 65536 entries, null: block not made yet
    size_t FMaxBlocks;
    // Room for every block at once, zero-filled by the system page by page
    // as blocks are first used: nothing to clear, and no allocation per block.
    PixelBlock FStore;
    size_t FUsedBlocks = 0;
};

// Open addressing with linear probing over a table whose size is fixed at
// construction: 1.5 slots per expected colour, so 6 bytes per colour.
class TColorHashSet {
public:
    // expectedCount: at least the number of distinct colours that will be
    // inserted (a count made beforehand, or the number of pixels); inserting
    // more is a programming error. Throws std::bad_alloc when the table
    // cannot be had.
    explicit TColorHashSet(size_t expectedCount);

    // True when the colour was not in the set before.
    bool Insert(uint32_t color) {
        if (color == EmptySlot) {
            const bool added = !FHoldsEmptySlotValue;
            FHoldsEmptySlotValue = true;
            return added;
        }
        size_t slot = SlotOf(color);
        for (;;) {
            const uint32_t held = FSlots[slot];
            if (held == color) return false;
            if (held == EmptySlot) {
                FSlots[slot] = color;
                return true;
            }
            if (++slot == FSlotCount) slot = 0;
        }
    }

private:
    static constexpr uint32_t EmptySlot = 0;  // colour 0 itself is kept in a flag
    size_t SlotOf(uint32_t color) const {
        // Spreads the colour over 32 bits, then maps it onto the table without
        // a division (multiply-shift range reduction).
        const uint32_t mixed = static_cast<uint32_t>((uint64_t{color} * 0x9E3779B97F4A7C15ull) >> 32);
        return static_cast<size_t>((uint64_t{mixed} * FSlotCount) >> 32);
    }

    size_t FSlotCount;
    PixelBlock FStore;  // zero-filled: every slot starts empty without a pass to clear it
    uint32_t* FSlots;
    bool FHoldsEmptySlotValue = false;
};
