#include "pictures/png/png_layout.h"

int PngDibBitCount(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
        case COLOR_RGB:
        case COLOR_RGBALPHA:
            return 24;
        case COLOR_GRAYSCALE:
        case COLOR_PALETTE:
        case COLOR_GRAYSCALEALPHA:
            switch (bitDepth) {
                case 1: return 1;
                case 2:
                case 4: return 4;
                case 8:
                case 16: return 8;
                default: return 0;
            }
        default:
            return 0;
    }
}

uint64_t PngRowBytes(uint8_t colorType, uint8_t bitDepth, uint64_t width) {
    switch (colorType) {
        case COLOR_RGB: return width * bitDepth * 3 / 8;
        case COLOR_GRAYSCALEALPHA: return width * bitDepth * 2 / 8;
        case COLOR_RGBALPHA: return width * bitDepth * 4 / 8;
        default: return (width * bitDepth + 7) / 8;
    }
}

unsigned PngPixelOffset(uint8_t colorType, uint8_t bitDepth) {
    unsigned offset = 1;
    switch (colorType) {
        case COLOR_GRAYSCALE: offset = bitDepth == 16 ? 2 : 1; break;
        case COLOR_RGB: offset = bitDepth * 3u / 8; break;
        case COLOR_GRAYSCALEALPHA: offset = bitDepth / 4u; break;
        case COLOR_RGBALPHA: offset = bitDepth / 2u; break;
        default: break;
    }
    return offset < 1 ? 1 : offset;
}
