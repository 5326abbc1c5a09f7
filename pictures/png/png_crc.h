#pragma once
// The CRC-32 of the PNG format, computed over each chunk's name and data, as
// the data streams in. zlib's crc32 is the very same CRC.

#include <cstddef>
#include <cstdint>

class TPngCrc {
public:
    void Update(const void* data, size_t size);
    // The CRC of everything passed to Update since creation or Reset.
    uint32_t Value() const { return FValue; }
    void Reset() { FValue = 0; }

private:
    uint32_t FValue = 0;  // zlib's CRC of no bytes
};

// The CRC of one block, for short chunks read whole.
uint32_t PngCrc(const void* data, size_t size);
