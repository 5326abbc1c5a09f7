#include "pictures/png/png_crc.h"

#include <array>

namespace {

// Eight tables so that the image data, by far the largest input, is taken
// eight bytes per step; table 0 alone is the classic byte-wise table.
using TCrcTables = std::array<std::array<uint32_t, 256>, 8>;

TCrcTables BuildTables() {
    TCrcTables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (size_t t = 1; t < tables.size(); ++t)
            tables[t][n] = (tables[t - 1][n] >> 8) ^ tables[0][tables[t - 1][n] & 0xFF];
    return tables;
}

const TCrcTables& Tables() {
    static const TCrcTables tables = BuildTables();
    return tables;
}

uint32_t LoadLittleEndian(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

}  // namespace

void TPngCrc::Update(const void* data, size_t size) {
    const TCrcTables& t = Tables();
    const auto* p = static_cast<const uint8_t*>(data);
    uint32_t c = FRegister;
    while (size >= 8) {
        const uint32_t low = LoadLittleEndian(p) ^ c;
        const uint32_t high = LoadLittleEndian(p + 4);
        c = t[7][low & 0xFF] ^ t[6][(low >> 8) & 0xFF] ^ t[5][(low >> 16) & 0xFF] ^ t[4][low >> 24] ^
            t[3][high & 0xFF] ^ t[2][(high >> 8) & 0xFF] ^ t[1][(high >> 16) & 0xFF] ^ t[0][high >> 24];
        p += 8;
        size -= 8;
    }
    while (size-- > 0) c = t[0][(c ^ *p++) & 0xFF] ^ (c >> 8);
    FRegister = c;
}

uint32_t PngCrc(const void* data, size_t size) {
    TPngCrc crc;
    crc.Update(data, size);
    return crc.Value();
}
