#include "pictures/tiff/tiff_cmyk16.h"

#include <cstring>

namespace imaging {
namespace {

uint32_t To8Bits(uint16_t value) { return (uint32_t{value} * 255 + 32767) / 65535; }

// Light left by ink `ink` under black `black` (both 0-255).
uint8_t Light(uint32_t ink, uint32_t black) { return static_cast<uint8_t>(((255 - black) * (255 - ink)) / 255); }

uint16_t Sample(const std::vector<uint8_t>& row, size_t index) {
    uint16_t value;
    std::memcpy(&value, row.data() + index * 2, 2);  // libtiff hands samples over in host order
    return value;
}

}  // namespace

bool IsCmyk16(TIFF* tiff) {
    uint16_t photometric = 0, bits = 0, samples = 0, inkSet = INKSET_CMYK;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PHOTOMETRIC, &photometric);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_INKSET, &inkSet);
    return photometric == PHOTOMETRIC_SEPARATED && bits == 16 && samples >= 4 && inkSet == INKSET_CMYK &&
           !TIFFIsTiled(tiff);
}

bool ReadCmyk16(TIFF* tiff, uint32_t width, uint32_t height, std::vector<uint8_t>& pixels) {
    uint16_t samples = 0, planar = PLANARCONFIG_CONTIG;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &planar);
    const bool contiguous = planar == PLANARCONFIG_CONTIG;
    const uint64_t lineBytes = TIFFScanlineSize64(tiff);
    const uint64_t needed = uint64_t{width} * 2 * (contiguous ? samples : 1);
    if (lineBytes < needed) return false;
    std::vector<uint8_t> row(lineBytes);
    std::vector<uint16_t> inks(size_t{width} * 4);
    pixels.resize(size_t{width} * height * 4);
    for (uint32_t y = 0; y < height; ++y) {
        for (uint16_t plane = 0; plane < (contiguous ? 1 : 4); ++plane) {
            if (TIFFReadScanline(tiff, row.data(), y, plane) < 0) return false;
            for (uint32_t x = 0; x < width; ++x)
                for (uint16_t ink = 0; ink < 4; ++ink)
                    if (contiguous || ink == plane)
                        inks[size_t{x} * 4 + ink] = Sample(row, contiguous ? size_t{x} * samples + ink : x);
        }
        uint8_t* out = pixels.data() + size_t{y} * width * 4;
        for (uint32_t x = 0; x < width; ++x, out += 4) {
            const uint16_t* ink = &inks[size_t{x} * 4];
            const uint32_t black = To8Bits(ink[3]);
            out[0] = Light(To8Bits(ink[2]), black);
            out[1] = Light(To8Bits(ink[1]), black);
            out[2] = Light(To8Bits(ink[0]), black);
            out[3] = 255;
        }
    }
    return true;
}

}  // namespace imaging
