// The road of a palette: what the window is told, which file is revealed, and
// what is on disk after success, repetition and failure.

#include "app/core/palette_generation.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "analysis/distinct_colors.h"
#include "base/exception.h"

namespace fs = std::filesystem;

namespace {

struct TRecordingRevealer : IFileRevealer {
    void Reveal(const std::string& absolutePath) override { Paths.push_back(absolutePath); }
    std::vector<std::string> Paths;
};

class PaletteGeneration : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder = fs::temp_directory_path() / ("tw_generation_" + std::to_string(::getpid()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::optional<TPaletteFiles> Generate(const TBitmap32& bmp32, const std::string& directory) {
        return GeneratePalette(
            bmp32, FSample, directory, [this](const std::string& text) { FMessages.push_back(text); }, FRevealer);
    }
    static std::string Read(const fs::path& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }

    fs::path FFolder;
    std::unique_ptr<TBitmap32> FSample;
    std::vector<std::string> FMessages;
    TRecordingRevealer FRevealer;
};

std::unique_ptr<TBitmap32> Picture(int width, int height, std::initializer_list<TColor32> pixels) {
    auto bitmap = std::make_unique<TBitmap32>(width, height);
    std::copy(pixels.begin(), pixels.end(), bitmap->Bits());
    return bitmap;
}

}  // namespace

TEST_F(PaletteGeneration, WritesTellsAndRevealsTheWrittenFile) {
    // One colour, two pixels: the colour, then the sample's zero tail.
    const auto files = Generate(*Picture(2, 1, {0xFF102030, 0xFF102030}), FFolder.string());
    ASSERT_TRUE(files);
    EXPECT_EQ(files->PalettePath, (FFolder / "Palette.bmp").string());
    EXPECT_EQ(FMessages, std::vector<std::string>{PaletteSavedMessage});
    EXPECT_EQ(FRevealer.Paths, std::vector<std::string>{files->PalettePath});
    EXPECT_EQ(fs::file_size(files->PalettePath), 146u);
    const std::string text = Read(files->LuminosityValuesPath);
    EXPECT_NE(text.find(" RGB(16,32,48)\r\nIndex 1: 0"), std::string::npos) << text;
    ASSERT_TRUE(FSample);
    EXPECT_EQ(FSample->Pixel(1, 0), 0u);

    // Again with another picture: both files are replaced, nothing appended.
    ASSERT_TRUE(Generate(*Picture(1, 1, {0xFFFFFFFF}), FFolder.string()));
    EXPECT_EQ(fs::file_size(files->PalettePath), 122u + 12);
    EXPECT_EQ(Read(files->LuminosityValuesPath), "Index 0: 255.00 RGB(255,255,255)\r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), {}), 2);
}

TEST_F(PaletteGeneration, WithoutDirectoryWritesIntoTheCurrentOne) {
    const fs::path previous = fs::current_path();
    fs::current_path(FFolder);
    const auto files = Generate(*Picture(1, 1, {0xFF808080}), "");
    fs::current_path(previous);
    ASSERT_TRUE(files);
    EXPECT_EQ(FRevealer.Paths, std::vector<std::string>{(FFolder / "Palette.bmp").string()});
    EXPECT_TRUE(fs::exists(FFolder / "LuminosityValues.txt"));
}

TEST_F(PaletteGeneration, NothingLoadedShowsTheGuardMessage) {
    EXPECT_FALSE(Generate(TBitmap32(), FFolder.string()));
    EXPECT_EQ(FMessages, std::vector<std::string>{InvalidOriginalImageMessage});
    EXPECT_TRUE(FRevealer.Paths.empty());
    EXPECT_TRUE(fs::is_empty(FFolder));
}

TEST_F(PaletteGeneration, UnwritableTextFileStopsBeforeThePalette) {
    fs::create_directory(FFolder / "LuminosityValues.txt");
    try {
        Generate(*Picture(1, 1, {0xFF808080}), FFolder.string());
        FAIL() << "no error";
    } catch (const EInOutError& error) {
        EXPECT_EQ(WithClosingPeriod(error.Message()), "File access denied.");
    }
    // The palette made beside the text is not left behind either.
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), {}), 1);
    EXPECT_TRUE(FMessages.empty());
    EXPECT_TRUE(FRevealer.Paths.empty());
}

TEST_F(PaletteGeneration, UnwritablePaletteLeavesTheNewTextInPlace) {
    fs::create_directory(FFolder / "Palette.bmp");
    const std::string palette = (FFolder / "Palette.bmp").string();
    try {
        Generate(*Picture(1, 1, {0xFFFFFFFF}), FFolder.string());
        FAIL() << "no error";
    } catch (const EFCreateError& error) {
        EXPECT_EQ(error.Message(), "Cannot create file \"" + palette + "\". Is a directory");
    }
    EXPECT_EQ(Read(FFolder / "LuminosityValues.txt"), "Index 0: 255.00 RGB(255,255,255)\r\n");
    EXPECT_TRUE(fs::is_directory(palette));
    EXPECT_EQ(std::distance(fs::directory_iterator(FFolder), {}), 2);
    EXPECT_TRUE(FRevealer.Paths.empty());
}

TEST(FileReveal, UriEncodesEverythingButPlainCharacters) {
    EXPECT_EQ(FileUri("/tmp/a b/caf\xC3\xA9'x,y.bmp"), "file:///tmp/a%20b/caf%C3%A9%27x%2Cy.bmp");
}
