#include "suite_pixels.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

#include "app/core/source_loading.h"

namespace suites {

std::string TestImage(const std::string& relative) { return std::string(TW_TESTIMAGES_DIR) + "/" + relative; }

namespace {

TPixels PixelsOf(const TBitmap32& bmp32) {
    TPixels pixels{bmp32.Width(), bmp32.Height(), {}};
    const TColor32* bits = bmp32.Bits();
    pixels.Argb.assign(bits, bits + static_cast<size_t>(pixels.Width) * static_cast<size_t>(pixels.Height));
    return pixels;
}

}  // namespace

TPixels DecodeAsTheProgramDoes(const std::string& path) {
    TBitmap decoded;
    TBitmap32 bmp32;
    if (LoadSourcePicture(path, decoded, bmp32) != TLoadOutcome::Loaded) return {};
    return PixelsOf(bmp32);
}

TPixels DecodeFromStream(TGraphic& picture, TStream& stream) {
    picture.LoadFromStream(stream);
    if (picture.Width() <= 0 || picture.Height() <= 0) return {};
    TBitmap decoded;
    decoded.Assign(&picture);
    TBitmap32 bmp32;
    bmp32.Assign(&decoded);
    bmp32.SetDrawMode(dmBlend);
    return PixelsOf(bmp32);
}

namespace {

// The next header field of a netpbm file, skipping blanks and comments.
int NextField(std::istream& in) {
    in >> std::ws;
    while (in.peek() == '#') {
        std::string comment;
        std::getline(in, comment);
        in >> std::ws;
    }
    int value = -1;
    in >> value;
    return value;
}

}  // namespace

TPixels ReadNetpbm(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::string magic(2, '\0');
    in.read(magic.data(), 2);
    const int width = NextField(in), height = NextField(in);
    const int maximum = magic == "P4" ? 1 : NextField(in);
    in.get();  // the single blank before the samples
    if (!in || width <= 0 || height <= 0 || width > 10000 || height > 10000 || maximum != (magic == "P4" ? 1 : 255))
        throw std::runtime_error("unsupported netpbm file " + path);
    TPixels pixels{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * static_cast<size_t>(height))};
    const size_t rowBytes =
        magic == "P4" ? (static_cast<size_t>(width) + 7) / 8 : static_cast<size_t>(width) * (magic == "P6" ? 3 : 1);
    std::vector<uint8_t> row(rowBytes);
    for (int y = 0; y < height; ++y) {
        if (!in.read(reinterpret_cast<char*>(row.data()), static_cast<std::streamsize>(rowBytes)))
            throw std::runtime_error("short netpbm file " + path);
        for (int x = 0; x < width; ++x) {
            uint32_t r, g, b;
            if (magic == "P4") {
                r = g = b = (row[static_cast<size_t>(x) / 8] >> (7 - x % 8) & 1) ? 0 : 255;
            } else if (magic == "P5") {
                r = g = b = row[static_cast<size_t>(x)];
            } else {
                const uint8_t* rgb = &row[static_cast<size_t>(x) * 3];
                r = rgb[0], g = rgb[1], b = rgb[2];
            }
            pixels.Argb[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] =
                0xFF000000u | r << 16 | g << 8 | b;
        }
    }
    return pixels;
}

TDifference Compare(const TPixels& ours, const TPixels& reference, TScope scope) {
    TDifference difference;
    difference.SameSize = ours.Width == reference.Width && ours.Height == reference.Height;
    if (!difference.SameSize) return difference;
    for (size_t i = 0; i < ours.Argb.size(); ++i) {
        if (scope == TScope::OpaqueInReference && reference.Argb[i] >> 24 != 0xFF) continue;
        const uint32_t mask = scope == TScope::Everything ? 0xFFFFFFFF : 0x00FFFFFF;
        const uint32_t a = ours.Argb[i] & mask, b = reference.Argb[i] & mask;
        if (a == b) continue;
        ++difference.DifferingPixels;
        for (int shift : {0, 8, 16})
            difference.WorstChannel =
                std::max(difference.WorstChannel, std::abs(int(a >> shift & 0xFF) - int(b >> shift & 0xFF)));
        difference.WorstAlpha = std::max(difference.WorstAlpha, std::abs(int(a >> 24) - int(b >> 24)));
    }
    return difference;
}

}  // namespace suites
