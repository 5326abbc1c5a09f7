// Counting (beside a radix-sort count of the same pixels, the target being
// within 1.5× of it), sampling, ordering and writing both palette files, on a
// picture with very many colours and one with 256.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "analysis/distinct_colors.h"
#include "analysis/luminosity.h"
#include "analysis/palette_outputs.h"
#include "bench_pictures.h"

namespace {

const TBenchPicture& Picture(const benchmark::State& state) {
    return state.range(0) == 0 ? PhotoPicture() : FewColoursPicture();
}

void Label(benchmark::State& state) {
    state.SetLabel(state.range(0) == 0 ? "photo" : "256 colours");
    state.SetItemsProcessed(int64_t(state.iterations()) * int64_t(Picture(state).Pixels.size()));
}

// The reference: sort a copy with four 8-bit LSD radix passes, count runs.
int64_t RadixSortCount(const std::vector<uint32_t>& pixels) {
    std::vector<uint32_t> values = pixels, scratch(pixels.size());
    for (int shift = 0; shift < 32; shift += 8) {
        size_t offsets[257] = {};
        for (uint32_t value : values) ++offsets[((value >> shift) & 0xFF) + 1];
        for (int i = 0; i < 256; ++i) offsets[i + 1] += offsets[i];
        for (uint32_t value : values) scratch[offsets[(value >> shift) & 0xFF]++] = value;
        values.swap(scratch);
    }
    int64_t distinct = values.empty() ? 0 : 1;
    for (size_t i = 1; i < values.size(); ++i) distinct += values[i] != values[i - 1];
    return distinct;
}

void BM_Count(benchmark::State& state) {
    const auto& pixels = Picture(state).Pixels;
    for (auto _ : state) benchmark::DoNotOptimize(CountDistinct(pixels.data(), pixels.size()));
    state.counters["colours"] = double(CountDistinct(pixels.data(), pixels.size()));
    Label(state);
}

void BM_CountByRadixSort(benchmark::State& state) {
    const auto& pixels = Picture(state).Pixels;
    for (auto _ : state) benchmark::DoNotOptimize(RadixSortCount(pixels));
    Label(state);
}

void BM_Sample(benchmark::State& state) {
    const auto& pixels = Picture(state).Pixels;
    std::vector<uint32_t> sample(pixels.size());
    for (auto _ : state) benchmark::DoNotOptimize(CollectFirstOccurrences(pixels.data(), pixels.size(), sample.data()));
    Label(state);
}

std::vector<uint32_t> SampleOf(const std::vector<uint32_t>& pixels, size_t& colours) {
    std::vector<uint32_t> sample(pixels.size(), 0);
    colours = CollectFirstOccurrences(pixels.data(), pixels.size(), sample.data());
    return sample;
}

// Collecting the pairs from the sample and sorting them.
void BM_Ordering(benchmark::State& state) {
    size_t colours = 0;
    const std::vector<uint32_t> sample = SampleOf(Picture(state).Pixels, colours);
    for (auto _ : state) {
        TPixelData pairs = CollectLuminosityPairs(sample.data(), sample.size(), colours);
        SortByLuminosity(pairs);
        benchmark::DoNotOptimize(pairs.data());
    }
    state.counters["entries"] = double(CollectLuminosityPairs(sample.data(), sample.size(), colours).size());
    Label(state);
}

TPixelData OrderedPairs(const benchmark::State& state) {
    size_t colours = 0;
    const std::vector<uint32_t> sample = SampleOf(Picture(state).Pixels, colours);
    TPixelData pairs = CollectLuminosityPairs(sample.data(), sample.size(), colours);
    SortByLuminosity(pairs);
    return pairs;
}

std::string BenchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / (std::string("tw_bench_") + name)).string();
}

void BM_TextFile(benchmark::State& state) {
    const TPixelData pairs = OrderedPairs(state);
    const std::string path = BenchFile(LuminosityValuesFileName);
    for (auto _ : state) WriteLuminosityValues(pairs, path, ",");
    state.counters["MB"] = double(std::filesystem::file_size(path)) / 1e6;
    std::filesystem::remove(path);
    Label(state);
}

void BM_PaletteFile(benchmark::State& state) {
    const TPixelData pairs = OrderedPairs(state);
    const std::string path = BenchFile(PaletteFileName);
    for (auto _ : state) {
        TBitmap32 palette;
        FillPaletteBitmap(pairs, palette);
        palette.SaveToFile(path);
    }
    std::filesystem::remove(path);
    Label(state);
}

}  // namespace

// Argument 0: the photo, 1: the 256-colour picture.
BENCHMARK(BM_Count)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CountByRadixSort)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Sample)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Ordering)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TextFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PaletteFile)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
