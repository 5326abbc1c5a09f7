// BMP32.Assign of a large 24-bit picture, beside the plain loop that widens
// the same rows to 32-bit pixels (the conversion's lower bound), its phases
// one by one, and SaveToFile of a tall palette.
//
//   bench_pixels --benchmark_filter=Assign|Widen|Phase
//   bench_pixels --benchmark_filter=SaveToFile

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "pictures/bitmap.h"
#include "pixels/bitmap32.h"
#include "pixels/gdi_backend.h"

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;

// The decoded picture: every byte differs from its neighbours.
TBitmap& Picture() {
    static const std::unique_ptr<TBitmap> picture = [] {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetPixelFormat(pf24bit);
        bitmap->SetSize(PictureWidth, PictureHeight);
        for (int y = 0; y < PictureHeight; ++y) {
            uint8_t* row = bitmap->ScanLine(y);
            for (int i = 0; i < PictureWidth * 3; ++i) row[i] = static_cast<uint8_t>(i * 7 + y * 13);
        }
        return bitmap;
    }();
    return *picture;
}

void Assign(benchmark::State& state) {
    TBitmap& picture = Picture();
    TBitmap32 target;
    for (auto _ : state) {
        target.Assign(&picture);
        benchmark::DoNotOptimize(target.Bits());
    }
    state.SetBytesProcessed(state.iterations() * int64_t{PictureWidth} * PictureHeight * 4);
}

// What any conversion must do at least: read each 24-bit row, write opaque
// 32-bit pixels.
void WidenRows(benchmark::State& state) {
    TBitmap& picture = Picture();
    std::vector<const uint8_t*> rows(PictureHeight);
    for (int y = 0; y < PictureHeight; ++y) rows[y] = picture.ScanLine(y);
    TBitmap32 target(PictureWidth, PictureHeight);
    for (auto _ : state) {
        for (int y = 0; y < PictureHeight; ++y) {
            const uint8_t* in = rows[y];
            TColor32* out = target.ScanLine(y);
            for (int x = 0; x < PictureWidth; ++x, in += 3)
                out[x] = 0xFF000000u | uint32_t(in[2]) << 16 | uint32_t(in[1]) << 8 | in[0];
        }
        benchmark::DoNotOptimize(target.Bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * int64_t{PictureWidth} * PictureHeight * 4);
}

// The three passes of Assign over a store of the same size, one at a time.
void PhaseClear(benchmark::State& state) {
    TBitmap32 target(PictureWidth, PictureHeight);
    for (auto _ : state) target.Clear(0);
}

void PhaseDraw(benchmark::State& state) {
    TBitmap& picture = Picture();
    TBitmap32 target(PictureWidth, PictureHeight);
    TCanvas& canvas = target.BackendSupport<ICanvasSupport>()->Canvas();
    for (auto _ : state) picture.Draw(canvas, target.BoundsRect());
}

void PhaseResetAlpha(benchmark::State& state) {
    TBitmap32 target(PictureWidth, PictureHeight);
    for (auto _ : state) target.ResetAlpha();
}

void SaveToFile(benchmark::State& state) {
    TBitmap32 palette(3, 1000000);
    for (int i = 0; i < 3 * 1000000; ++i) palette.Bits()[i] = 0xFF000000u | uint32_t(i / 3) * 2654435761u;
    const std::string path = "/tmp/tw_bench_palette_" + std::to_string(::getpid()) + ".bmp";
    for (auto _ : state) palette.SaveToFile(path);
    ::unlink(path.c_str());
    state.SetBytesProcessed(state.iterations() * (122 + 12 * int64_t{1000000}));
}

}  // namespace

BENCHMARK(Assign)->Unit(benchmark::kMillisecond);
BENCHMARK(WidenRows)->Unit(benchmark::kMillisecond);
BENCHMARK(PhaseClear)->Unit(benchmark::kMillisecond);
BENCHMARK(PhaseDraw)->Unit(benchmark::kMillisecond);
BENCHMARK(PhaseResetAlpha)->Unit(benchmark::kMillisecond);
BENCHMARK(SaveToFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
