#pragma once
// An allocator for the large lists of a run (a pair for every colour of a
// picture): from PixelBlock::MappedFrom bytes on, memory mapped the way the
// pictures' pixels are, so that a list of millions of entries costs a few
// huge pages to fault in rather than thousands of small ones. Smaller lists
// come from the heap as usual.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>

#include "pictures/gdi/pixel_block.h"

template <class T>
struct TLargeBlockAllocator {
    using value_type = T;

    TLargeBlockAllocator() = default;
    template <class U>
    TLargeBlockAllocator(const TLargeBlockAllocator<U>&) noexcept {}

    T* allocate(size_t count) {
        if (count > SIZE_MAX / sizeof(T)) throw std::bad_array_new_length();
        if (!Mapped(count)) return std::allocator<T>().allocate(count);
        if (uint8_t* block = AllocateLargeBlock(count * sizeof(T))) return reinterpret_cast<T*>(block);
        throw std::bad_alloc();
    }
    void deallocate(T* data, size_t count) noexcept {
        if (Mapped(count))
            FreeLargeBlock(reinterpret_cast<uint8_t*>(data), count * sizeof(T));
        else
            std::allocator<T>().deallocate(data, count);
    }

    template <class U>
    bool operator==(const TLargeBlockAllocator<U>&) const noexcept {
        return true;
    }

private:
    static bool Mapped(size_t count) { return count * sizeof(T) >= PixelBlock::MappedFrom; }
};
