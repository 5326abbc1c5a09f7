#include "pictures/gdi/pixel_block.h"

#include <sys/mman.h>

#include <cstdlib>
#include <utility>

namespace {

constexpr size_t HugePage = size_t{2} << 20;

size_t RoundUp(size_t size, size_t unit) { return (size + unit - 1) / unit * unit; }

// A mapping of `size` bytes (a multiple of HugePage) starting on a HugePage
// boundary: map one huge page more, then give back the unaligned head and the
// tail.
uint8_t* MapAligned(size_t size) {
    const size_t mapped = size + HugePage;
    void* raw = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) return nullptr;
    auto* start = static_cast<uint8_t*>(raw);
    const size_t head = RoundUp(reinterpret_cast<uintptr_t>(start), HugePage) - reinterpret_cast<uintptr_t>(start);
    if (head != 0) ::munmap(start, head);
    if (HugePage - head != 0) ::munmap(start + head + size, HugePage - head);
    // Advice only: without huge pages the block is still sound.
    ::madvise(start + head, size, MADV_HUGEPAGE);
    return start + head;
}

}  // namespace

uint8_t* AllocateLargeBlock(size_t size) {
    if (size == 0 || size > SIZE_MAX / 2) return nullptr;
    return MapAligned(RoundUp(size, HugePage));
}

void FreeLargeBlock(uint8_t* data, size_t size) {
    if (data != nullptr) ::munmap(data, RoundUp(size, HugePage));
}

PixelBlock::PixelBlock(size_t size) {
    if (size == 0) return;
    // The rounding below must not wrap.
    if (size >= MappedFrom && size <= SIZE_MAX / 2) {
        const size_t rounded = RoundUp(size, HugePage);
        FData = MapAligned(rounded);
        if (FData != nullptr) {
            FMappedSize = rounded;
            return;
        }
    }
    FData = static_cast<uint8_t*>(std::calloc(size, 1));
}

PixelBlock::~PixelBlock() { Release(); }

PixelBlock::PixelBlock(PixelBlock&& other) noexcept
    : FData(std::exchange(other.FData, nullptr)), FMappedSize(std::exchange(other.FMappedSize, 0)) {}

PixelBlock& PixelBlock::operator=(PixelBlock&& other) noexcept {
    if (this != &other) {
        Release();
        FData = std::exchange(other.FData, nullptr);
        FMappedSize = std::exchange(other.FMappedSize, 0);
    }
    return *this;
}

void PixelBlock::Release() {
    if (FData == nullptr) return;
    if (FMappedSize != 0)
        ::munmap(FData, FMappedSize);
    else
        std::free(FData);
    FData = nullptr;
    FMappedSize = 0;
}
