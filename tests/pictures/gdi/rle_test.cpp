// Run-length expansion: crafted streams for each code and each kind of
// damage, and the suite's RLE files against their uncompressed twins.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <tuple>

#include "gdi_test_support.h"
#include "pictures/gdi/rle.h"

using namespace testing_support;

namespace {

using Rows = std::map<int32_t, std::vector<uint8_t>>;

Rows Expand(uint32_t compression, const std::vector<uint8_t>& data, int32_t width, int32_t height,
            gdi::RleOutcome* outcome = nullptr) {
    Rows rows;
    const gdi::RleOutcome result =
        gdi::ExpandRle(compression, data.data(), data.size(), width, height,
                       [&](int32_t row, int32_t first, int32_t count, const uint8_t* indices) {
                           EXPECT_EQ(rows.count(row), 0u) << "row " << row << " twice";
                           EXPECT_TRUE(first >= 0 && count > 0 && first + count <= width);
                           rows[row].assign(size_t(width), 0);
                           std::copy(indices, indices + count, rows[row].begin() + first);
                       });
    if (outcome != nullptr) *outcome = result;
    return rows;
}

TEST(RunLength, EightBitCodes) {
    gdi::RleOutcome outcome;
    const Rows rows = Expand(gdi::BI_RLE8,
                             {2, 1,              // run of two 1s
                              0, 3, 2, 3, 4, 0,  // absolute: 2 3 4, padded to an even length
                              0, 0,              // end of line
                              0, 2, 1, 1,        // delta: one right, one up (row 2, column 1)
                              1, 5,              // a single 5
                              0, 1},             // end of bitmap
                             6, 4, &outcome);
    EXPECT_EQ(rows, (Rows{{0, {1, 1, 2, 3, 4, 0}}, {2, {0, 5, 0, 0, 0, 0}}}));
    EXPECT_TRUE(outcome.EndMarker);
    EXPECT_FALSE(outcome.Clipped);
    EXPECT_FALSE(outcome.Truncated);
}

TEST(RunLength, FourBitCodesAlternateNibbles) {
    const Rows rows = Expand(gdi::BI_RLE4,
                             {5, 0x12,                          // 1 2 1 2 1
                              0, 3, 0x34, 0x50,                 // absolute: 3 4 5 (two bytes, already even)
                              0, 0, 0, 5, 0x67, 0x89, 0xA0, 0,  // next row: absolute 6 7 8 9 A, padded
                              0, 1},
                             8, 2);
    EXPECT_EQ(rows, (Rows{{0, {1, 2, 1, 2, 1, 3, 4, 5}}, {1, {6, 7, 8, 9, 10, 0, 0, 0}}}));
}

TEST(RunLength, DamagedStreamsAreClippedNeverOverrun) {
    struct Case {
        const char* Name;
        std::vector<uint8_t> Data;
        Rows Expected;
        bool Clipped, Truncated;
    };
    const std::vector<Case> cases = {
        {"run past the row end", {9, 7, 1, 8, 0, 0, 2, 3, 0, 1}, {{0, {7, 7, 7, 7}}, {1, {3, 3, 0, 0}}}, true, false},
        {"absolute past the row end", {0, 6, 1, 2, 3, 4, 5, 6, 0, 1}, {{0, {1, 2, 3, 4}}}, true, false},
        {"delta beyond the last row", {1, 4, 0, 2, 0, 9, 1, 5, 0, 1}, {{0, {4, 0, 0, 0}}}, true, false},
        {"ends without a marker", {2, 6, 0, 0, 1, 6}, {{0, {6, 6, 0, 0}}, {1, {6, 0, 0, 0}}}, false, true},
        {"ends inside an absolute run", {0, 8, 1, 2, 3}, {{0, {1, 2, 3, 0}}}, false, true},
        {"ends inside a delta", {1, 1, 0, 2, 5}, {{0, {1, 0, 0, 0}}}, false, true},
        {"odd byte at the end", {1, 1, 0}, {{0, {1, 0, 0, 0}}}, false, true},
        {"more lines than the bitmap",
         {1, 1, 0, 0, 1, 2, 0, 0, 1, 3, 0, 0, 1, 4},
         {{0, {1, 0, 0, 0}}, {1, {2, 0, 0, 0}}},
         false,
         false},
    };
    for (const Case& c : cases) {
        gdi::RleOutcome outcome;
        EXPECT_EQ(Expand(gdi::BI_RLE8, c.Data, 4, 2, &outcome), c.Expected) << c.Name;
        EXPECT_EQ(outcome.Clipped, c.Clipped) << c.Name;
        EXPECT_EQ(outcome.Truncated, c.Truncated) << c.Name;
    }
}

TEST(RunLength, OnlyTheWrittenSpanOfARowIsPassedOnAndCleared) {
    std::vector<std::tuple<int32_t, int32_t, int32_t>> spans;
    const std::vector<uint8_t> data = {0, 2, 10, 0,  // right to column 10
                                       3, 7,         // 7 7 7 at columns 10..12
                                       0, 0,         // end of line
                                       1, 1,         // 1 at column 0
                                       0, 2, 11, 0,  // right to column 12
                                       1, 2,         // 2 at column 12
                                       0, 1};
    std::map<int32_t, std::vector<uint8_t>> seen;
    gdi::ExpandRle(gdi::BI_RLE8, data.data(), data.size(), 1000000, 2,
                   [&](int32_t row, int32_t first, int32_t count, const uint8_t* indices) {
                       spans.emplace_back(row, first, count);
                       seen[row].assign(indices, indices + count);
                   });
    EXPECT_EQ(spans, (std::vector<std::tuple<int32_t, int32_t, int32_t>>{{0, 10, 3}, {1, 0, 13}}));
    // The first row's pixels at columns 10 and 11 must not show through.
    EXPECT_EQ(seen[1], (std::vector<uint8_t>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2}));
}

TEST(RunLength, DeviceBitmapGivesSkippedPixelsColourZero) {
    // Colour 0 is not black here, so skipped pixels cannot pass for untouched memory.
    const std::vector<gdi::RGBQUAD> table = {{9, 9, 9, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}};
    const std::vector<uint8_t> data = {1, 1, 0, 2, 1, 1, 1, 2, 0, 1};  // bottom row: red, then up-right: green
    gdi::HBITMAP bitmap = gdi::CreateDIBitmap(Describe(3, 2, 8, table, gdi::BI_RLE8), data.data(), data.size());
    ASSERT_TRUE(bitmap);
    EXPECT_FALSE(gdi::IsDib(bitmap));
    EXPECT_EQ(ReadAll(bitmap), (std::vector<uint32_t>{0x090909, 0x090909, 0x00FF00, 0xFF0000, 0x090909, 0x090909}));
    EXPECT_FALSE(gdi::CreateDIBitmap(Describe(3, -2, 8, table, gdi::BI_RLE8), data.data(), data.size()))
        << "run-length data cannot run top-down";
    EXPECT_FALSE(gdi::CreateDIBitmap(Describe(3, 2, 4, table, gdi::BI_RLE8), data.data(), data.size()))
        << "RLE8 codes 8-bit indices";
}

std::vector<uint32_t> Decode(const BmpFile& file) {
    if (file.Info.Header.biCompression == gdi::BI_RLE8 || file.Info.Header.biCompression == gdi::BI_RLE4) {
        gdi::HBITMAP bitmap = gdi::CreateDIBitmap(file.Info, file.Pixels.data(), file.Pixels.size());
        return bitmap ? ReadAll(bitmap) : std::vector<uint32_t>{};
    }
    Dib dib = MakeDib(file.Info);
    const size_t size = size_t(dib.RowBytes) * size_t(std::abs(file.Info.Header.biHeight));
    std::memcpy(dib.Bits, file.Pixels.data(), std::min(size, file.Pixels.size()));
    return ReadAll(dib.Handle);
}

const std::string SuiteFolder = std::string(TW_TESTIMAGES_DIR) + "/bmpsuite/";

TEST(RunLength, SuiteFilesMatchTheirUncompressedTwins) {
    const std::pair<const char*, const char*> pairs[] = {{"g/pal8rle.bmp", "g/pal8.bmp"},
                                                         {"g/pal4rle.bmp", "g/pal4.bmp"}};
    for (const auto& [compressed, plain] : pairs) {
        const std::vector<uint32_t> expected = Decode(LoadBmp(SuiteFolder + plain));
        ASSERT_FALSE(expected.empty()) << plain;
        EXPECT_EQ(Decode(LoadBmp(SuiteFolder + compressed)), expected) << compressed;
    }
}

TEST(RunLength, SuiteFilesWithSkipsShowColourZeroThere) {
    for (const char* name : {"q/pal8rletrns.bmp", "q/pal8rlecut.bmp", "q/pal4rletrns.bmp", "q/pal4rlecut.bmp"}) {
        const BmpFile file = LoadBmp(SuiteFolder + name);
        const std::vector<uint32_t> full =
            Decode(LoadBmp(SuiteFolder + (file.Info.Header.biBitCount == 8 ? "g/pal8.bmp" : "g/pal4.bmp")));
        const std::vector<uint32_t> pixels = Decode(file);
        ASSERT_EQ(pixels.size(), full.size()) << name;
        const uint32_t zero = Packed(file.Info.Colors[0]);
        size_t skipped = 0;
        for (size_t i = 0; i < pixels.size(); ++i) {
            if (pixels[i] == full[i]) continue;
            ASSERT_EQ(pixels[i], zero) << name << " pixel " << i;
            ++skipped;
        }
        EXPECT_GT(skipped, 0u) << name;
    }
}

TEST(RunLength, BadSuiteFilesAreSafe) {
    // Whatever comes out, nothing is read or written outside (the sanitizer
    // build checks that); the dimensions stay those of the header.
    for (const char* name : {"b/badrle.bmp", "b/badrle4.bmp", "b/badrle4bis.bmp", "b/badrle4ter.bmp", "b/badrlebis.bmp",
                             "b/badrleter.bmp", "b/rletopdown.bmp"}) {
        const BmpFile file = LoadBmp(SuiteFolder + name);
        gdi::HBITMAP bitmap = gdi::CreateDIBitmap(file.Info, file.Pixels.data(), file.Pixels.size());
        if (file.Info.Header.biHeight < 0) {
            EXPECT_FALSE(bitmap) << name;
            continue;
        }
        ASSERT_TRUE(bitmap) << name;
        EXPECT_EQ(gdi::BitmapWidth(bitmap), file.Info.Header.biWidth) << name;
    }
}

}  // namespace
