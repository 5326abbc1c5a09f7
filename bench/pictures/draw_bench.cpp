// The main road draws a 6000 × 4000 pf24bit TBitmap onto a top-down 32-bit
// DIB section; the target is to stay within 1.5× of a plain loop that widens
// the same 24-bit rows into 32-bit pixels.

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "pictures/bitmap.h"

namespace {

constexpr int PictureWidth = 6000;
constexpr int PictureHeight = 4000;

struct Store {
    gdi::HDC DC = gdi::CreateCompatibleDC();
    uint8_t* Bits = nullptr;
    Store() {
        gdi::BitmapInfo info;
        info.Header.biWidth = PictureWidth;
        info.Header.biHeight = -PictureHeight;
        info.Header.biBitCount = 32;
        void* bits = nullptr;
        gdi::SelectObject(DC, gdi::CreateDIBSection(info, &bits));
        Bits = static_cast<uint8_t*>(bits);
    }
};

void FillPattern(TBitmap& bitmap) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width() * 3; ++x) row[x] = static_cast<uint8_t>(x * 7 + y);
    }
}

void BM_PlainWidenLoop(benchmark::State& state) {
    TBitmap source;
    source.SetPixelFormat(pf24bit);
    source.SetSize(PictureWidth, PictureHeight);
    FillPattern(source);
    Store store;
    for (auto _ : state) {
        for (int y = 0; y < PictureHeight; ++y) {
            const uint8_t* in = source.ScanLine(y);
            uint8_t* out = store.Bits + int64_t{y} * PictureWidth * 4;
            for (int x = 0; x < PictureWidth; ++x, in += 3, out += 4) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 0;
            }
        }
        benchmark::DoNotOptimize(store.Bits);
    }
}
BENCHMARK(BM_PlainWidenLoop)->Unit(benchmark::kMillisecond);

void DrawOnto(benchmark::State& state, TPixelFormat format) {
    TBitmap source;
    source.SetPixelFormat(format);
    source.SetSize(PictureWidth, PictureHeight);
    if (format == pf24bit) FillPattern(source);
    Store store;
    TDCCanvas canvas(store.DC, Rect(0, 0, PictureWidth, PictureHeight));
    for (auto _ : state) {
        source.Draw(canvas, Rect(0, 0, PictureWidth, PictureHeight));
        benchmark::DoNotOptimize(store.Bits);
    }
}

void BM_Draw24To32(benchmark::State& state) { DrawOnto(state, pf24bit); }
BENCHMARK(BM_Draw24To32)->Unit(benchmark::kMillisecond);

void BM_Draw32To32(benchmark::State& state) { DrawOnto(state, pf32bit); }
BENCHMARK(BM_Draw32To32)->Unit(benchmark::kMillisecond);

void BM_Draw8To32(benchmark::State& state) { DrawOnto(state, pf8bit); }
BENCHMARK(BM_Draw8To32)->Unit(benchmark::kMillisecond);

void BM_Draw16To32(benchmark::State& state) { DrawOnto(state, pf16bit); }
BENCHMARK(BM_Draw16To32)->Unit(benchmark::kMillisecond);

// TIFF pictures arrive as pf32bit with afDefined: drawn by alpha blending.
void BM_DrawAlpha32To32(benchmark::State& state) {
    TBitmap source;
    source.SetPixelFormat(pf32bit);
    source.SetSize(PictureWidth, PictureHeight);
    source.SetAlphaFormat(afDefined);
    Store store;
    TDCCanvas canvas(store.DC, Rect(0, 0, PictureWidth, PictureHeight));
    for (auto _ : state) {
        std::memset(store.Bits, 0, size_t(PictureWidth) * PictureHeight * 4);
        source.Draw(canvas, Rect(0, 0, PictureWidth, PictureHeight));
        benchmark::DoNotOptimize(store.Bits);
    }
}
BENCHMARK(BM_DrawAlpha32To32)->Unit(benchmark::kMillisecond);

void BM_SetDIBits32(benchmark::State& state) {
    std::vector<uint8_t> block(size_t(PictureWidth) * PictureHeight * 4, 0x5A);
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(PictureWidth, PictureHeight);
    gdi::BitmapInfo info;
    info.Header.biSize = 44;
    info.Header.biWidth = PictureWidth;
    info.Header.biHeight = -PictureHeight;
    info.Header.biBitCount = 32;
    for (auto _ : state)
        benchmark::DoNotOptimize(gdi::SetDIBits(target.Handle(), 0, PictureHeight, block.data(), info));
}
BENCHMARK(BM_SetDIBits32)->Unit(benchmark::kMillisecond);

}  // namespace
