#pragma once
// Helpers for the JPEG tests: test files, crafted headers, and reference
// decodes with plain libjpeg.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "pictures/jpeg/jpeg_exception.h"
#include "pictures/jpeg/jpeg_library.h"
#include "tests/support/raised_message.h"

using Bytes = std::vector<uint8_t>;

// The bytes of TW_TESTIMAGES_DIR/jpeg/<name>.
Bytes ReadTestImage(const std::string& name);

// SOI, a frame of the given SOF marker and size with 1..4 components, and an
// SOS for all of them; no tables and no scan data.
Bytes CraftedHeader(uint8_t sofMarker, int width, int height, int components);

// Plain libjpeg with the settings our decoding is defined by, rows top-down
// without padding in libjpeg's own order: red, green, blue; grey quantised
// to 236 levels; CMYK as stored. `smoothing`: libjpeg's block smoothing of
// progressive scans whose coefficients are still incomplete.
struct ReferenceDecode {
    int Width = 0;
    int Height = 0;
    int Components = 0;
    J_COLOR_SPACE OutColorSpace = JCS_UNKNOWN;
    Bytes Pixels;
};
ReferenceDecode DecodeReference(const Bytes& file, bool smoothing = true);
