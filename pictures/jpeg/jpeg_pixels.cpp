#include "pictures/jpeg/jpeg_pixels.h"

#include <utility>

void ConvertInvertedCmykRow(uint8_t* row, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i, row += 4) {
        unsigned cyan = row[0], magenta = row[1], yellow = row[2], black = row[3];
        row[0] = static_cast<uint8_t>(yellow * black / 255);
        row[1] = static_cast<uint8_t>(magenta * black / 255);
        row[2] = static_cast<uint8_t>(cyan * black / 255);
        row[3] = 255;
    }
}

void ReverseRgbRow(uint8_t* row, size_t pixelCount) {
    for (size_t i = 0; i < pixelCount; ++i, row += 3) {
        std::swap(row[0], row[2]);
    }
}
