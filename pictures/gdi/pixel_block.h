#pragma once
// A zero-filled block of pixel memory. Small blocks come from calloc; large
// ones are mapped directly, 2 MiB aligned and advised for transparent huge
// pages: the kernel hands back zeroed pages either way, but a large picture
// then costs a few hundred page faults instead of tens of thousands.

#include <cstddef>
#include <cstdint>

// Large blocks mapped the way PixelBlock maps them, for owners that keep the
// size themselves (an allocator): zero-filled, huge-page advised; null when
// the memory cannot be had. FreeLargeBlock takes the size given here.
uint8_t* AllocateLargeBlock(size_t size);
void FreeLargeBlock(uint8_t* data, size_t size);

class PixelBlock {
public:
    // Null Data() when the memory could not be had.
    explicit PixelBlock(size_t size = 0);
    ~PixelBlock();
    PixelBlock(PixelBlock&& other) noexcept;
    PixelBlock& operator=(PixelBlock&& other) noexcept;
    PixelBlock(const PixelBlock&) = delete;
    PixelBlock& operator=(const PixelBlock&) = delete;

    uint8_t* Data() const { return FData; }
    // True when the block is a mapping of its own rather than heap memory.
    bool Mapped() const { return FMappedSize != 0; }

    // From this size on a block is mapped; never under AddressSanitizer,
    // which sees overruns only in memory that came from the heap.
#if defined(__SANITIZE_ADDRESS__)
    static constexpr size_t MappedFrom = SIZE_MAX;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    static constexpr size_t MappedFrom = SIZE_MAX;
#else
    static constexpr size_t MappedFrom = size_t{4} << 20;
#endif
#else
    static constexpr size_t MappedFrom = size_t{4} << 20;
#endif

private:
    void Release();

    uint8_t* FData = nullptr;
    size_t FMappedSize = 0;  // 0: FData came from calloc
};
