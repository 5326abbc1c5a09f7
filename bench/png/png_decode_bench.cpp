// Decoding a 6000 × 4000 RGB and a 1920 × 1080 RGB + alpha PNG, each by our
// reader and by libpng (to 8-bit rows), in the same run. The pictures are
// made here, deterministically, by libpng's writer with its default filter
// choice, so no file is needed.
//
//   bench_png --benchmark_filter=.   (target: ours within 1.3× of libpng)

#include <benchmark/benchmark.h>
#include <png.h>

#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "pictures/png/png_image.h"

namespace {

using TBytes = std::vector<uint8_t>;

// Smooth gradients with a little noise: filters matter, as in photographs.
TBytes SyntheticPixels(int width, int height, int channels) {
    std::mt19937 random(12345);
    TBytes pixels(size_t(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        uint8_t* row = &pixels[size_t(y) * width * channels];
        for (int x = 0; x < width; ++x) {
            const int noise = int(random() % 9) - 4;
            row[x * channels + 0] = uint8_t((x * 255 / width + noise) & 0xFF);
            row[x * channels + 1] = uint8_t((y * 255 / height + noise) & 0xFF);
            row[x * channels + 2] = uint8_t(((x + y) / 8 + noise) & 0xFF);
            if (channels == 4) row[x * channels + 3] = uint8_t(((x ^ y) & 0x3F) + 190);
        }
    }
    return pixels;
}

void WriteToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<TBytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

TBytes EncodePng(int width, int height, int channels) {
    const TBytes pixels = SyntheticPixels(width, height, channels);
    TBytes file;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &file, WriteToVector, nullptr);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8,
                 channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < height; ++y) png_write_row(png, const_cast<png_bytep>(&pixels[size_t(y) * width * channels]));
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return file;
}

const TBytes& Picture(const std::string& name) {
    static std::map<std::string, TBytes> pictures;
    auto found = pictures.find(name);
    if (found != pictures.end()) return found->second;
    const TBytes file = name == "rgb_6000x4000" ? EncodePng(6000, 4000, 3) : EncodePng(1920, 1080, 4);
    return pictures.emplace(name, file).first->second;
}

void BM_Ours(benchmark::State& state, const std::string& name) {
    TMemoryStream stream(Picture(name));
    for (auto _ : state) {
        stream.SetPosition(0);
        TPngImage png;
        png.LoadFromStream(stream);
        benchmark::DoNotOptimize(png.Header().ImageData());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(Picture(name).size()));
}

struct TReader {
    const TBytes* File;
    size_t Position;
};

void ReadFromVector(png_structp png, png_bytep data, png_size_t length) {
    auto* reader = static_cast<TReader*>(png_get_io_ptr(png));
    if (reader->Position + length > reader->File->size()) png_error(png, "read past end");
    std::memcpy(data, reader->File->data() + reader->Position, length);
    reader->Position += length;
}

void BM_Libpng(benchmark::State& state, const std::string& name) {
    const TBytes& file = Picture(name);
    for (auto _ : state) {
        TReader reader{&file, 0};
        png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
        png_infop info = png_create_info_struct(png);
        png_set_read_fn(png, &reader, ReadFromVector);
        png_read_info(png, info);
        png_set_strip_16(png);
        png_set_packing(png);
        png_read_update_info(png, info);
        const size_t rowBytes = png_get_rowbytes(png, info);
        const png_uint_32 height = png_get_image_height(png, info);
        std::vector<uint8_t> image(rowBytes * height);
        for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, &image[y * rowBytes], nullptr);
        png_read_end(png, nullptr);
        png_destroy_read_struct(&png, &info, nullptr);
        benchmark::DoNotOptimize(image.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(file.size()));
}

BENCHMARK_CAPTURE(BM_Ours, rgb_6000x4000, std::string("rgb_6000x4000"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Libpng, rgb_6000x4000, std::string("rgb_6000x4000"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Ours, rgba_1920x1080, std::string("rgba_1920x1080"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Libpng, rgba_1920x1080, std::string("rgba_1920x1080"))->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
