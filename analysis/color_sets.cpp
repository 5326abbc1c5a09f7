#include "analysis/color_sets.h"

#include <algorithm>
#include <cstring>

TColorBitSet::TColorBitSet(size_t budgetBytes)
    : FDirectory(new uint64_t*[65536]()), FMaxBlocks(std::max<size_t>(budgetBytes / BlockBytes, 1)) {}

TColorBitSet::~TColorBitSet() = default;

uint64_t* TColorBitSet::AddBlock(uint32_t upperBits) {
    if (FBlocks.size() >= FMaxBlocks) return nullptr;
    FBlocks.emplace_back(new uint64_t[WordsPerBlock]());
    FDirectory[upperBits] = FBlocks.back().get();
    return FDirectory[upperBits];
}

TColorHashSet::TColorHashSet(size_t expectedCount) : FSlots(expectedCount + expectedCount / 2 + 1, EmptySlot) {}
