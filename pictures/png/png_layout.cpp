#include "pictures/png/png_layout.h"

int PngDibBitCount(uint8_t colorType, uint8_t bitDepth) {
    switch (colorType) {
    case ctRGB:
    case ctRGBAlpha: return 24;
    case ctGrey:
    case ctPalette:
    case ctGreyAlpha:
        switch (bitDepth) {
        case 1: return 1;
        case 2:
        case 4: return 4;
        case 8:
        case 16: return 8;
        default: return 0;
        }
    default: return 0;
    }
}

uint64_t PngRowBytes(uint8_t colorType, uint8_t bitDepth, uint64_t width) {
    switch (colorType) {
    case ctRGB: return width * bitDepth * 3 / 8;
    case ctGreyAlpha: return width * bitDepth * 2 / 8;
    case ctRGBAlpha: return width * bitDepth * 4 / 8;
    default: return (width * bitDepth + 7) / 8;
    }
}

unsigned PngPixelOffset(uint8_t colorType, uint8_t bitDepth) {
    unsigned offset = 1;
    switch (colorType) {
    case ctGrey: offset = bitDepth == 16 ? 2 : 1; break;
    case ctRGB: offset = bitDepth * 3u / 8; break;
    case ctGreyAlpha: offset = bitDepth / 4u; break;
    case ctRGBAlpha: offset = bitDepth / 2u; break;
    default: break;
    }
    return offset < 1 ? 1 : offset;
}
