// Decoding a 2000 × 2000 single-frame GIF: our reader against giflib on the
// same bytes, both from memory. The file is made here with giflib's encoder
// from a fixed picture, so every run measures the same input.

#include <benchmark/benchmark.h>
#include <gif_lib.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "pictures/gif/gif_image.h"
#include "pictures/gif/gif_loader.h"

namespace {

constexpr int Side = 2000;

// Smooth rings (long LZW strings) with a sprinkle of noise (short ones).
std::vector<GifByteType> MakePicture() {
    std::vector<GifByteType> pixels(size_t{Side} * Side);
    uint32_t seed = 12345;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            seed = seed * 1103515245u + 12345u;
            int dx = x - Side / 2, dy = y - Side / 3;
            int ring = ((dx * dx + dy * dy) / 2048) & 0xFF;
            bool noise = (seed >> 16) % 23 == 0;
            pixels[size_t(y) * Side + x] = static_cast<GifByteType>(noise ? (seed >> 8) & 0xFF : ring);
        }
    }
    return pixels;
}

int WriteToVector(GifFileType* file, const GifByteType* bytes, int count) {
    auto* out = static_cast<std::vector<uint8_t>*>(file->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

std::vector<uint8_t> EncodeWithGiflib() {
    std::vector<uint8_t> bytes;
    int error = 0;
    GifFileType* file = EGifOpen(&bytes, WriteToVector, &error);
    if (!file) throw std::runtime_error("EGifOpen failed");
    GifColorType colors[256];
    for (int i = 0; i < 256; ++i) colors[i] = {GifByteType(i), GifByteType(255 - i), GifByteType(i * 7)};
    ColorMapObject* map = GifMakeMapObject(256, colors);
    std::vector<GifByteType> pixels = MakePicture();
    bool ok = EGifPutScreenDesc(file, Side, Side, 8, 0, map) == GIF_OK &&
              EGifPutImageDesc(file, 0, 0, Side, Side, false, nullptr) == GIF_OK;
    for (int y = 0; ok && y < Side; ++y) ok = EGifPutLine(file, pixels.data() + size_t(y) * Side, Side) == GIF_OK;
    GifFreeMapObject(map);
    if (EGifCloseFile(file, &error) != GIF_OK || !ok) throw std::runtime_error("giflib could not encode");
    return bytes;
}

const std::vector<uint8_t>& TestFile() {
    static const std::vector<uint8_t> bytes = EncodeWithGiflib();
    return bytes;
}

struct MemoryReader {
    const std::vector<uint8_t>* Bytes;
    size_t Next = 0;
};

int ReadFromMemory(GifFileType* file, GifByteType* buffer, int count) {
    auto* reader = static_cast<MemoryReader*>(file->UserData);
    size_t part = std::min(static_cast<size_t>(count), reader->Bytes->size() - reader->Next);
    std::memcpy(buffer, reader->Bytes->data() + reader->Next, part);
    reader->Next += part;
    return static_cast<int>(part);
}

void BM_GifDecode_Ours(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = TestFile();
    for (auto _ : state) {
        TMemoryStream stream(bytes);
        gif::TGIFData data = gif::LoadGIF(stream);
        benchmark::DoNotOptimize(data.Frames[0].Pixels.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Side * Side);
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
}

void BM_GifDecode_Giflib(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = TestFile();
    for (auto _ : state) {
        MemoryReader reader{&bytes};
        int error = 0;
        GifFileType* file = DGifOpen(&reader, ReadFromMemory, &error);
        if (!file || DGifSlurp(file) != GIF_OK) state.SkipWithError("giflib could not decode");
        benchmark::DoNotOptimize(file->SavedImages[0].RasterBits);
        DGifCloseFile(file, &error);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Side * Side);
}

// The whole road: load, then the 8-bit bitmap of frame 0.
void BM_GifLoadAndAssign_Ours(benchmark::State& state) {
    const std::vector<uint8_t>& bytes = TestFile();
    for (auto _ : state) {
        TMemoryStream stream(bytes);
        TGIFImage image;
        image.LoadFromStream(stream);
        TBitmap bitmap;
        bitmap.Assign(&image);
        benchmark::DoNotOptimize(bitmap.Width());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Side * Side);
}

}  // namespace

BENCHMARK(BM_GifDecode_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifDecode_Giflib)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GifLoadAndAssign_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
