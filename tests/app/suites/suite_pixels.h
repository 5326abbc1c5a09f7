#pragma once
// The pixels of a suite file as the program sees them, reference pictures in
// the plain formats some suites ship, and how two pictures differ.

#include <cstdint>
#include <string>
#include <vector>

#include "base/stream.h"
#include "pictures/graphic.h"

namespace suites {

// 0xAARRGGBB values, top row first.
struct TPixels {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Argb;
};

// The absolute path of a file under the test pictures.
std::string TestImage(const std::string& relative);

// The file decoded as the program does: the picture class its extension
// picks, the platform bitmap, then the 32-bit bitmap.
TPixels DecodeAsTheProgramDoes(const std::string& path);

// The picture of a fresh picture class read from a stream, then handed on
// as the program does; raises what the reading raises.
TPixels DecodeFromStream(TGraphic& picture, TStream& stream);

// A binary PBM (1 is black), PGM or PPM of 8-bit samples, opaque.
TPixels ReadNetpbm(const std::string& path);

// Which pixels and bytes a comparison looks at.
enum class TScope {
    Everything,         // all four bytes of every pixel
    Colours,            // red, green and blue of every pixel
    OpaqueInReference,  // red, green and blue where the reference is opaque
};

struct TDifference {
    bool SameSize = false;
    int WorstChannel = 0;  // over red, green, blue
    int WorstAlpha = 0;
    size_t DifferingPixels = 0;  // in any of the four bytes
};
TDifference Compare(const TPixels& ours, const TPixels& reference, TScope scope = TScope::Everything);

}  // namespace suites
