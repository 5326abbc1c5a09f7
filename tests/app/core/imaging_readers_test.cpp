// A ".tif" file that holds a PNG, JPEG, GIF or BMP is decoded by the data,
// through our own readers behind the imaging layer, to the pixels the direct
// road gives; a file of no known format is still refused.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/core/source_loading.h"
#include "tests/support/raised_message.h"

namespace fs = std::filesystem;

namespace {

struct TDisguise {
    const char* Name;
    const char* File;        // under the test pictures
    int Tolerance;           // per byte of the 32-bit bitmap
    bool ColourKey = false;  // has a transparent colour
};

void PrintTo(const TDisguise& row, std::ostream* out) { *out << row.File; }

std::vector<uint32_t> Road(const std::string& path) {
    TBitmap decoded;
    TBitmap32 bmp32;
    EXPECT_EQ(LoadSourcePicture(path, decoded, bmp32), TLoadOutcome::Loaded) << path;
    const TColor32* bits = bmp32.Bits();
    return {bits, bits + size_t(bmp32.Width()) * size_t(bmp32.Height())};
}

class DisguisedAsTiff : public testing::TestWithParam<TDisguise> {
protected:
    void SetUp() override {
        char folder[] = "/tmp/tw-disguise-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        FFolder = folder;
    }
    void TearDown() override { fs::remove_all(FFolder); }
    fs::path FFolder;
};

TEST_P(DisguisedAsTiff, DecodesLikeTheDirectReader) {
    const TDisguise& row = GetParam();
    const std::string original = std::string(TW_TESTIMAGES_DIR) + "/" + row.File;
    const fs::path disguised = FFolder / "picture.tif";
    fs::copy_file(original, disguised);
    const std::vector<uint32_t> want = Road(original);
    const std::vector<uint32_t> have = Road(disguised.string());
    ASSERT_EQ(have.size(), want.size());
    ASSERT_FALSE(want.empty());
    // The TIFF picture class premultiplies what the imaging layer gives it,
    // so a fully transparent pixel comes back black; its colour is not seen.
    // A transparent colour becomes alpha 0 in the imaging layer, as the
    // platform component gives it, where the picture class shows it black.
    int worst = 0;
    size_t keyedOut = 0;
    for (size_t i = 0; i < have.size(); ++i) {
        if (row.ColourKey && have[i] == 0 && want[i] == 0xFF000000) {
            ++keyedOut;
            continue;
        }
        for (int shift : {0, 8, 16, 24})
            if (want[i] >> 24 != 0 || shift == 24)
                worst = std::max(worst, std::abs(int(have[i] >> shift & 0xFF) - int(want[i] >> shift & 0xFF)));
    }
    EXPECT_LE(worst, row.Tolerance);
    EXPECT_EQ(keyedOut > 0, row.ColourKey);
}

// Straight alpha goes through the imaging layer and is premultiplied again
// by the TIFF picture class: where alpha is small a colour comes back up to
// a step off.
INSTANTIATE_TEST_SUITE_P(
    Formats, DisguisedAsTiff,
    testing::Values(TDisguise{"PngRgb", "pngsuite/basn2c08.png", 0}, TDisguise{"PngAlpha", "pngsuite/basn6a08.png", 1},
                    TDisguise{"PngColourKey", "pngsuite/tbrn2c08.png", 0, true},
                    TDisguise{"PngPaletteKey", "pngsuite/tbbn3p08.png", 0, true},
                    TDisguise{"Jpeg", "jpeg/go/video-001.jpeg", 0}, TDisguise{"Gif", "gif/go/video-001.gif", 0},
                    TDisguise{"Bmp", "bmpsuite/g/pal8.bmp", 0}, TDisguise{"BmpAlpha", "bmpsuite/q/rgba32-1.bmp", 1}),
    [](const testing::TestParamInfo<TDisguise>& info) { return std::string(info.param.Name); });

TEST(DisguisedAsTiffFiles, UnknownAndBrokenDataAreRefused) {
    char folder[] = "/tmp/tw-disguise-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const fs::path text = fs::path(folder) / "notes.tif";
    std::ofstream(text) << "not a picture at all";
    const fs::path cut = fs::path(folder) / "cut.tif";
    std::ofstream(cut, std::ios::binary) << "\x89PNG\r\n\x1A\n";
    TBitmap decoded;
    TBitmap32 bmp32;
    EXPECT_EQ(MessageOf([&] { LoadSourcePicture(text.string(), decoded, bmp32); }), "Invalid image (0x88982F50)");
    EXPECT_EQ(MessageOf([&] { LoadSourcePicture(cut.string(), decoded, bmp32); }), "Invalid image (0x88982F60)");
    fs::remove_all(folder);
}

}  // namespace
