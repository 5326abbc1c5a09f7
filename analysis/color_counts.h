#pragma once
// How many pixels of a bitmap hold each 32-bit colour. Made once from the
// pixels, then asked per colour: the csv and json palettes and the count
// order need it.
//
// Counts live in blocks of 65536 counters for colours that share their upper
// 16 bits (alpha and red), found through a directory: no hashing and no
// probing, which matters for photographs of millions of colours. Pictures
// whose colours spread over more blocks than the budget allows fall back to
// an open-addressing table sized by the number of distinct colours.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "pixels/color32.h"

class TColorCounts {
public:
    // distinctCount: the number of distinct values among the pixels (from the
    // count already made); it sizes the fallback table.
    // blockBudgetBytes: the most the blocks may take, 0 for the default.
    TColorCounts(const TColor32* pixels, size_t count, size_t distinctCount, size_t blockBudgetBytes = 0);
    ~TColorCounts();
    TColorCounts(const TColorCounts&) = delete;
    TColorCounts& operator=(const TColorCounts&) = delete;

    // The number of pixels of that colour, 0 for a colour not in the picture.
    uint64_t Of(TColor32 color) const;

private:
    bool CountInBlocks(const TColor32* pixels, size_t count, size_t budgetBytes);
    void CountInTable(const TColor32* pixels, size_t count, size_t distinctCount);
    size_t SlotOf(TColor32 color) const;

    static constexpr size_t BlockCounters = 65536;
    std::unique_ptr<uint32_t*[]> FDirectory;  // null when the table is used
    std::vector<std::unique_ptr<uint32_t[]>> FBlocks;
    std::vector<TColor32> FKeys;
    std::vector<uint64_t> FCounts;
    std::vector<uint8_t> FUsed;
};
