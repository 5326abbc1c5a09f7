// Decoding a 6000 × 4000 baseline JPEG: the program's road (load, then
// assign to a TBitmap) beside plain libjpeg decoding the same file with the
// same settings into a buffer. Target: the road within 1.1× of plain libjpeg.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/jpeg/jpeg_library.h"

namespace {

constexpr int Width = 6000;
constexpr int Height = 4000;

// Smooth gradients with a little deterministic noise: a photograph's mix of
// flat and busy blocks, the same bytes on every run.
std::vector<uint8_t> MakePixels() {
    std::vector<uint8_t> pixels(size_t{Width} * Height * 3);
    uint32_t seed = 12345;
    uint8_t* p = pixels.data();
    for (int y = 0; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            seed = seed * 1664525u + 1013904223u;
            int noise = static_cast<int>(seed >> 28) - 8;
            *p++ = static_cast<uint8_t>((x * 255 / Width + noise) & 0xFF);
            *p++ = static_cast<uint8_t>((y * 255 / Height + noise) & 0xFF);
            *p++ = static_cast<uint8_t>(((x + y) / 40 % 2 ? 200 : 60) + noise);
        }
    }
    return pixels;
}

std::vector<uint8_t> Compress(const std::vector<uint8_t>& pixels) {
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = Width;
    info.image_height = Height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(pixels.data()) + size_t{info.next_scanline} * Width * 3;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> file(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    free(buffer);
    return file;
}

const std::vector<uint8_t>& TestFile() {
    static const std::vector<uint8_t> file = Compress(MakePixels());
    return file;
}

void BM_TJPEGImageToBitmap(benchmark::State& state) {
    const std::vector<uint8_t>& file = TestFile();
    TMemoryStream stream(file);
    for (auto _ : state) {
        stream.SetPosition(0);
        TJPEGImage jpeg;
        jpeg.LoadFromStream(stream);
        TBitmap decoded;
        decoded.Assign(&jpeg);
        benchmark::DoNotOptimize(decoded.Width());
    }
    state.SetLabel(std::to_string(file.size()) + " bytes");
}

void BM_PlainLibjpegToBuffer(benchmark::State& state) {
    const std::vector<uint8_t>& file = TestFile();
    for (auto _ : state) {
        jpeg_decompress_struct info{};
        jpeg_error_mgr errors{};
        info.err = jpeg_std_error(&errors);
        jpeg_create_decompress(&info);
        jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
        jpeg_read_header(&info, TRUE);
        info.dct_method = JDCT_FLOAT;
        info.do_fancy_upsampling = TRUE;
        info.do_block_smoothing = TRUE;
#ifdef JCS_EXTENSIONS
        info.out_color_space = JCS_EXT_BGR;
#endif
        jpeg_start_decompress(&info);
        size_t rowBytes = (size_t{info.output_width} * 3 + 3) & ~size_t{3};
        std::vector<uint8_t> buffer(rowBytes * info.output_height);
        while (info.output_scanline < info.output_height) {
            JSAMPROW row = buffer.data() + size_t{info.output_scanline} * rowBytes;
            jpeg_read_scanlines(&info, &row, 1);
        }
        jpeg_finish_decompress(&info);
        jpeg_destroy_decompress(&info);
        benchmark::DoNotOptimize(buffer.data());
    }
}

}  // namespace

BENCHMARK(BM_TJPEGImageToBitmap)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_PlainLibjpegToBuffer)->Unit(benchmark::kMillisecond)->MinTime(3.0);

BENCHMARK_MAIN();
