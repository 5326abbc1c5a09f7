#include "pictures/png/png_crc.h"

#include <zlib.h>

#include <algorithm>
#include <limits>

void TPngCrc::Update(const void* data, size_t size) {
    const auto* bytes = static_cast<const Bytef*>(data);
    uLong value = FValue;
    // zlib takes lengths as unsigned int: longer blocks go in pieces.
    while (size > 0) {
        const size_t piece = std::min<size_t>(size, std::numeric_limits<uInt>::max());
        value = crc32(value, bytes, static_cast<uInt>(piece));
        bytes += piece;
        size -= piece;
    }
    FValue = static_cast<uint32_t>(value);
}

uint32_t PngCrc(const void* data, size_t size) {
    TPngCrc crc;
    crc.Update(data, size);
    return crc.Value();
}
