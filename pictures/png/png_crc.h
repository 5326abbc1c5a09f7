#pragma once
// The CRC-32 of the PNG format (polynomial $EDB88320, start $FFFFFFFF, final
// complement), computed over each chunk's name and data.

#include <cstddef>
#include <cstdint>

class TPngCrc {
public:
    void Update(const void* data, size_t size);
    // The CRC of everything passed to Update since creation or Reset.
    uint32_t Value() const { return ~FRegister; }
    void Reset() { FRegister = 0xFFFFFFFFu; }

private:
    uint32_t FRegister = 0xFFFFFFFFu;
};

// The CRC of one block, for short chunks read whole.
uint32_t PngCrc(const void* data, size_t size);
