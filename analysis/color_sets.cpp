#include "analysis/color_sets.h"

#include <new>

TColorBitSet::TColorBitSet(size_t budgetBytes)
    : FDirectory(new uint64_t*[65536]()), FMaxBlocks(BlocksWithin(budgetBytes)), FStore(FMaxBlocks * BlockBytes) {}

TColorBitSet::~TColorBitSet() = default;

uint64_t* TColorBitSet::AddBlock(uint32_t upperBits) {
    if (FUsedBlocks >= FMaxBlocks || FStore.Data() == nullptr) return nullptr;
    uint64_t* block = reinterpret_cast<uint64_t*>(FStore.Data()) + FUsedBlocks++ * WordsPerBlock;
    FDirectory[upperBits] = block;
    return block;
}

TColorHashSet::TColorHashSet(size_t expectedCount)
    : FSlotCount(expectedCount + expectedCount / 2 + 1),
      FStore(FSlotCount * sizeof(uint32_t)),
      FSlots(reinterpret_cast<uint32_t*>(FStore.Data())) {
    static_assert(EmptySlot == 0, "a zero-filled table is an empty one");
    if (FSlots == nullptr) throw std::bad_alloc();
}
