// Reading a large 24-bit BMP with TBitmap::LoadFromFile, beside a plain read
// of the same file into a buffer: the reader should cost little more than
// the read itself (one read straight into the DIB's pixels).

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/bmp/bmp_read_header.h"

namespace {

constexpr int32_t Width = 6000;
constexpr int32_t Height = 4000;

const std::string& BenchFile() {
    static const std::string path = [] {
        std::string name = "/tmp/tw_bench_bmp_" + std::to_string(::getpid()) + ".bmp";
        const int64_t rowBytes = gdi::DibRowBytes(Width, 24);
        gdi::BITMAPINFOHEADER info;
        info.biWidth = Width;
        info.biHeight = Height;
        info.biBitCount = 24;
        info.biSizeImage = static_cast<uint32_t>(rowBytes * Height);
        BmpFileHeader file;
        file.Type = BmpSignature;
        file.PixelOffset = sizeof file + sizeof info;
        file.FileSize = file.PixelOffset + info.biSizeImage;
        std::vector<uint8_t> pixels(static_cast<size_t>(rowBytes * Height));
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 7 + i / 4093);
        FILE* out = std::fopen(name.c_str(), "wb");
        std::fwrite(&file, sizeof file, 1, out);
        std::fwrite(&info, sizeof info, 1, out);
        std::fwrite(pixels.data(), 1, pixels.size(), out);
        std::fclose(out);
        std::atexit([] { std::remove(BenchFile().c_str()); });
        return name;
    }();
    return path;
}

void BM_PlainRead(benchmark::State& state) {
    const std::string& path = BenchFile();
    for (auto _ : state) {
        const int descriptor = ::open(path.c_str(), O_RDONLY);
        const off_t size = ::lseek(descriptor, 0, SEEK_END);
        ::lseek(descriptor, 0, SEEK_SET);
        // Not zero-filled first: the read alone fills it.
        auto buffer = std::make_unique_for_overwrite<uint8_t[]>(static_cast<size_t>(size));
        size_t done = 0;
        while (done < static_cast<size_t>(size)) {
            const ssize_t n = ::read(descriptor, buffer.get() + done, static_cast<size_t>(size) - done);
            if (n <= 0) break;
            done += static_cast<size_t>(n);
        }
        ::close(descriptor);
        benchmark::DoNotOptimize(buffer.get());
    }
    state.SetBytesProcessed(state.iterations() * (gdi::DibRowBytes(Width, 24) * Height + 54));
}
BENCHMARK(BM_PlainRead)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_TBitmapLoadFromFile(benchmark::State& state) {
    const std::string& path = BenchFile();
    for (auto _ : state) {
        TBitmap bitmap;
        bitmap.LoadFromFile(path);
        benchmark::DoNotOptimize(bitmap.Width());
    }
    state.SetBytesProcessed(state.iterations() * (gdi::DibRowBytes(Width, 24) * Height + 54));
}
BENCHMARK(BM_TBitmapLoadFromFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
