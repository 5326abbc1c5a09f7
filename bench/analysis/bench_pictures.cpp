#include "bench_pictures.h"

#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "app/core/source_loading.h"

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

bool LoadFromFolder(const char* name, TBenchPicture& picture) {
    const char* folder = std::getenv("TW_BENCH_PICTURES");
    if (folder == nullptr) return false;
    TBitmap decoded;
    TBitmap32 bmp32;
    try {
        if (LoadSourcePicture(std::string(folder) + "/" + name, decoded, bmp32) != TLoadOutcome::Loaded) return false;
    } catch (const std::exception&) {
        return false;
    }
    picture.Width = bmp32.Width();
    picture.Height = bmp32.Height();
    picture.Pixels.assign(bmp32.Bits(), bmp32.Bits() + size_t(picture.Width) * picture.Height);
    return true;
}

uint8_t Clamp(double value) { return static_cast<uint8_t>(std::lround(std::fmin(255.0, std::fmax(0.0, value)))); }

TBenchPicture DrawPhoto() {
    TBenchPicture picture{Width, Height, std::vector<uint32_t>(size_t(Width) * Height)};
    std::mt19937 random(42);
    std::normal_distribution<double> noise(0.0, 6.0);
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            const double u = x / 700.0, v = y / 500.0;
            const double r = 128 + 90 * std::sin(u + 1.3 * std::cos(v * 0.7)) + noise(random);
            const double g = 128 + 80 * std::sin(v * 1.1 + std::sin(u * 0.6)) + noise(random);
            const double b = 128 + 70 * std::cos(u * 0.8 - v * 0.9) + noise(random);
            picture.Pixels[size_t(y) * Width + x] = 0xFF000000u | Clamp(r) << 16 | Clamp(g) << 8 | Clamp(b);
        }
    }
    return picture;
}

// Keeps 3 bits of red, 3 of green and 2 of blue: 256 colours at most.
TBenchPicture ReduceToFewColours(const TBenchPicture& photo) {
    TBenchPicture picture = photo;
    for (uint32_t& pixel : picture.Pixels) pixel &= 0xFFE0E0C0u;
    return picture;
}

}  // namespace

const TBenchPicture& PhotoPicture() {
    static const TBenchPicture picture = [] {
        TBenchPicture loaded;
        return LoadFromFolder("photo.bmp", loaded) ? loaded : DrawPhoto();
    }();
    return picture;
}

const TBenchPicture& FewColoursPicture() {
    static const TBenchPicture picture = [] {
        TBenchPicture loaded;
        return LoadFromFolder("few.bmp", loaded) ? loaded : ReduceToFewColours(PhotoPicture());
    }();
    return picture;
}
