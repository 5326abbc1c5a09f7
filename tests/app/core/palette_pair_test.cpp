// Two runs writing their palettes into one folder at once: whichever ends
// last, the two files on disk must describe the same palette.

#include <gtest/gtest.h>

#include <unistd.h>
#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "app/core/palette_generation.h"

namespace fs = std::filesystem;

namespace {

TPixelData Pairs(size_t count) {
    TPixelData pairs(count);
    for (size_t i = 0; i < count; ++i) pairs[i] = {float(count - i), TColor32(0xFF000000u | uint32_t(i))};
    return pairs;
}

size_t TextLines(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::count(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>(), '\n');
}

int64_t BitmapRows(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    file.seekg(22);
    int32_t height = 0;
    file.read(reinterpret_cast<char*>(&height), sizeof height);
    return std::llabs(height);
}

}  // namespace

TEST(PaletteFilePair, ConcurrentRunsIntoOneFolderLeaveAPairFromOneRun) {
    const fs::path folder = fs::temp_directory_path() / ("tw_pair_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    for (int round = 0; round < 12; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        std::atomic<int> ready{0};
        auto run = [&](size_t count) {
            TPixelData pairs = Pairs(count);
            ++ready;
            while (ready < 2) std::this_thread::yield();
            WritePaletteFiles(std::move(pairs), folder.string());
        };
        // Sizes alternate which run is the slower one.
        std::thread first(run, round % 2 ? 20000 : 45000);
        std::thread second(run, round % 2 ? 45000 : 20000);
        first.join();
        second.join();
        ASSERT_EQ(TextLines(folder / "LuminosityValues.txt"), BitmapRows(folder / "Palette.bmp"));
    }
    fs::remove_all(folder);
}
