#pragma once
// One plane of a decoded PNG (the DIB, the alpha bytes, the low bytes of
// 16-bit samples): zero-filled memory from the graphics layer's pixel
// blocks. A large plane is the kernel's zeroed pages, so the rows a picture
// never reaches still read as zero without the whole plane being cleared
// first and then overwritten. Copied whole when the picture is.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#include "base/pages_ahead.h"
#include "pictures/gdi/pixel_block.h"

class TPngPlane {
public:
    TPngPlane() = default;
    // Throws std::bad_alloc when the memory cannot be had.
    explicit TPngPlane(size_t size) : FBlock(size), FSize(size) {
        if (size != 0 && FBlock.Data() == nullptr) throw std::bad_alloc();
    }
    TPngPlane(const TPngPlane& other) : TPngPlane(other.FSize) {
        if (FSize != 0) std::memcpy(FBlock.Data(), other.FBlock.Data(), FSize);
    }
    TPngPlane& operator=(const TPngPlane& other) {
        if (this != &other) *this = TPngPlane(other);
        return *this;
    }
    TPngPlane(TPngPlane&& other) noexcept
        : FBlock(std::move(other.FBlock)), FSize(std::exchange(other.FSize, 0)), FAhead(std::move(other.FAhead)) {}
    TPngPlane& operator=(TPngPlane&& other) noexcept {
        // The pages of the block that goes are no longer prepared first.
        FAhead = std::move(other.FAhead);
        FBlock = std::move(other.FBlock);
        FSize = std::exchange(other.FSize, 0);
        return *this;
    }

    // The rows are decoded from the end of the plane towards its start (the
    // DIB is bottom-up): its pages are made ready in that order meanwhile.
    void PrepareFromTheEnd() { FAhead = TPagesAhead(FBlock.Data(), FSize, TPagesAhead::TOrder::Backward); }

    uint8_t* data() { return FBlock.Data(); }
    const uint8_t* data() const { return FBlock.Data(); }
    size_t size() const { return FSize; }
    bool empty() const { return FSize == 0; }

private:
    PixelBlock FBlock;
    size_t FSize = 0;
    TPagesAhead FAhead;  // after the block: stopped before the block goes
};
