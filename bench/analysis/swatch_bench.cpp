// The costs the palette formats add to a run on the photograph: the pixel
// counts (target: at most 0.3 s), the hue and count orders, and writing each
// format (json: well under a second for millions of colours).

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "analysis/color_counts.h"
#include "analysis/distinct_colors.h"
#include "analysis/palette_lists.h"
#include "analysis/swatch_formats.h"
#include "bench_pictures.h"

namespace {

struct TPhoto {
    std::unique_ptr<TBitmap32> Sample;
    size_t Distinct = 0;
    std::unique_ptr<TColorCounts> Counts;
};

const TPhoto& Photo() {
    static const TPhoto photo = [] {
        const TBenchPicture& picture = PhotoPicture();
        TBitmap32 bitmap;
        bitmap.SetSize(picture.Width, picture.Height);
        std::copy(picture.Pixels.begin(), picture.Pixels.end(), bitmap.Bits());
        TPhoto result;
        result.Distinct = size_t(*CreateSampleColorImage(bitmap, result.Sample));
        result.Counts = std::make_unique<TColorCounts>(bitmap.Bits(), picture.Pixels.size(), result.Distinct);
        return result;
    }();
    return photo;
}

void BM_ColorCounts(benchmark::State& state) {
    const auto& pixels = PhotoPicture().Pixels;
    const size_t distinct = Photo().Distinct;
    for (auto _ : state) benchmark::DoNotOptimize(TColorCounts(pixels.data(), pixels.size(), distinct).Of(0));
    state.counters["colours"] = double(distinct);
}

// Both lists of a run, in each order.
void BM_Order(benchmark::State& state) {
    const auto order = static_cast<TPaletteOrder>(state.range(0));
    const TPhoto& photo = Photo();
    for (auto _ : state)
        benchmark::DoNotOptimize(
            OrderedPaletteLists(*photo.Sample, photo.Distinct, order, photo.Counts.get(), true).Colors.data());
    state.SetLabel(PaletteOrderName(order));
}

void BM_WriteFormat(benchmark::State& state) {
    const auto format = static_cast<TSwatchFormat>(state.range(0));
    const TPhoto& photo = Photo();
    const TPixelData colors =
        OrderedPaletteLists(*photo.Sample, photo.Distinct, TPaletteOrder::Luminosity, nullptr, true).Colors;
    const TSwatchSource source{
        "photo.png", "photo.png", 6000, 4000, int64_t(photo.Distinct), TPaletteOrder::Luminosity};
    const std::string path =
        (std::filesystem::temp_directory_path() / (std::string("tw_bench_Palette.") + SwatchFormatName(format)))
            .string();
    for (auto _ : state) {
        try {
            WriteSwatchFile(format, colors, source, photo.Counts.get(), path);
        } catch (const std::exception& error) {
            state.SkipWithError(error.what());
            break;
        }
    }
    if (std::filesystem::exists(path)) state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
    state.SetLabel(SwatchFormatName(format));
}

}  // namespace

BENCHMARK(BM_ColorCounts)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Order)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteFormat)->DenseRange(0, 6)->Unit(benchmark::kMillisecond);
