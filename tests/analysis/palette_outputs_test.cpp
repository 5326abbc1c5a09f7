// The two palette files: the text byte for byte (separator, CR LF, rounding),
// safe replacement, the error messages of failed writes, and the palette
// picture's rows.

#include "analysis/palette_outputs.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <sys/resource.h>
#include <unistd.h>

#include "tests/support/raised_message.h"

namespace fs = std::filesystem;

namespace {

class PaletteOutputs : public ::testing::Test {
protected:
    void SetUp() override {
        FFolder = fs::temp_directory_path() / ("tw_palette_outputs_" + std::to_string(::getpid()));
        fs::remove_all(FFolder);
        fs::create_directories(FFolder);
    }
    void TearDown() override { fs::remove_all(FFolder); }

    std::string PathOf(const char* name) const { return (FFolder / name).string(); }
    static std::string Read(const std::string& path) {
        std::ifstream file(path, std::ios::binary);
        std::ostringstream text;
        text << file.rdbuf();
        return text.str();
    }
    size_t EntriesInFolder() const { return static_cast<size_t>(std::distance(fs::directory_iterator(FFolder), {})); }

    fs::path FFolder;
};

const TPixelData WhiteThenBlack = {{255.0f, 0xFFFFFFFF}, {1.125f, 0xFF030002}, {0.0f, 0xFF000000}};

}  // namespace

TEST_F(PaletteOutputs, TextLinesByteForByte) {
    const std::string path = PathOf("LuminosityValues.txt");
    WriteLuminosityValues(WhiteThenBlack, path, ".");
    EXPECT_EQ(Read(path),
              "Index 0: 255.00 RGB(255,255,255)\r\n"
              "Index 1: 1.13 RGB(3,0,2)\r\n"
              "Index 2: 0.00 RGB(0,0,0)\r\n");
    // Generating again replaces the file; nothing is appended.
    WriteLuminosityValues({{76.245f, 0x80FF0000}}, path, ",");
    EXPECT_EQ(Read(path), "Index 0: 76,25 RGB(255,0,0)\r\n");
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(PaletteOutputs, LongTextKeepsEveryLineInItsPlace) {
    // Several blocks of lines, formatted on two threads: the file must read
    // as one pass would have written it.
    TPixelData pairs;
    std::string expected;
    for (uint32_t i = 0; i < 200000; ++i) {
        const uint32_t level = i % 256, colour = i & 0xFFFFFF;
        pairs.push_back({static_cast<float>(level), 0xFF000000 | colour});
        expected += "Index " + std::to_string(i) + ": " + std::to_string(level) + ".00 RGB(" +
                    std::to_string(colour >> 16) + "," + std::to_string((colour >> 8) & 0xFF) + "," +
                    std::to_string(colour & 0xFF) + ")\r\n";
    }
    const std::string path = PathOf("LuminosityValues.txt");
    WriteLuminosityValues(pairs, path, ".");
    EXPECT_TRUE(Read(path) == expected) << "the text differs from the one-pass text";
}

TEST_F(PaletteOutputs, SeparatorComesFromTheUsersLocale) {
    const char* saved = std::getenv("LC_ALL");
    const std::string previous = saved ? saved : "";
    ::setenv("LC_ALL", "fr_FR.UTF-8", 1);
    const std::string french = UserDecimalSeparator();
    ::setenv("LC_ALL", "C", 1);
    const std::string plain = UserDecimalSeparator();
    if (saved)
        ::setenv("LC_ALL", previous.c_str(), 1);
    else
        ::unsetenv("LC_ALL");

    EXPECT_EQ(plain, ".");
    if (french == ".") GTEST_SKIP() << "fr_FR.UTF-8 is not installed (scripts/setup generates it)";
    EXPECT_EQ(french, ",");
}

TEST_F(PaletteOutputs, FailuresGiveTheTablesMessages) {
    fs::create_directory(PathOf("LuminosityValues.txt"));  // a directory in the way
    EXPECT_EQ(
        MessageOf<EInOutError>([&] { WriteLuminosityValues(WhiteThenBlack, PathOf("LuminosityValues.txt"), "."); }),
        "File access denied");
    EXPECT_EQ(MessageOf<EInOutError>(
                  [&] { WriteLuminosityValues(WhiteThenBlack, PathOf("missing/LuminosityValues.txt"), "."); }),
              "Invalid filename");
    EXPECT_EQ(EntriesInFolder(), 1u);  // no temporary file left behind
}

TEST_F(PaletteOutputs, FailureWhileWritingKeepsThePreviousFile) {
    const std::string path = PathOf("LuminosityValues.txt");
    WriteLuminosityValues(WhiteThenBlack, path, ".");
    const std::string previous = Read(path);

    // A file size limit makes a write fail part-way (EFBIG instead of SIGXFSZ).
    TPixelData many(200000, {128.5f, 0xFF808080});
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit limited = saved;
    limited.rlim_cur = 1 << 20;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const std::string message = MessageOf<EInOutError>([&] { WriteLuminosityValues(many, path, "."); });
    ::setrlimit(RLIMIT_FSIZE, &saved);

    EXPECT_EQ(message, "I/O error 223");
    EXPECT_EQ(Read(path), previous);
    EXPECT_EQ(EntriesInFolder(), 1u);
}

TEST_F(PaletteOutputs, PaletteFileOfTheWorkedExample) {
    // A non-black colour with a zero tail: the colour's row on top, colour 0 below.
    const TPixelData pairs = {{Luminosity(0xFF102030), 0xFF102030}, {0.0f, 0x00000000}};
    TBitmap32 palette;
    FillPaletteBitmap(pairs, palette);
    ASSERT_EQ(palette.Width(), 3);
    ASSERT_EQ(palette.Height(), 2);
    const std::string path = PathOf("Palette.bmp");
    palette.SaveToFile(path);
    const std::string bytes = Read(path);
    ASSERT_EQ(bytes.size(), 146u);
    EXPECT_EQ(bytes.substr(0, 2), "BM");
    // Bottom-up: row 1 (colour 0) first, then row 0, blue green red alpha.
    EXPECT_EQ(bytes.substr(122, 12), std::string(12, '\0'));
    EXPECT_EQ(bytes.substr(134), std::string("\x30\x20\x10\xFF\x30\x20\x10\xFF\x30\x20\x10\xFF", 12));
}

TEST_F(PaletteOutputs, PaletteWrittenRowByRowIsTheSavedBitmap) {
    // Empty, one entry, and more rows than one write block holds.
    for (size_t count : {size_t{0}, size_t{1}, size_t{200000}}) {
        TPixelData pairs;
        for (size_t i = 0; i < count; ++i)
            pairs.push_back({float(i), TColor32(0x80000000u | uint32_t(i * 2654435761u))});
        TBitmap32 palette;
        FillPaletteBitmap(pairs, palette);
        palette.SaveToFile(PathOf("Palette.bmp"));
        TMemoryStream written;
        WritePaletteBitmap(pairs, written);
        const std::string saved = Read(PathOf("Palette.bmp"));
        ASSERT_EQ(written.Size(), int64_t(saved.size())) << count;
        EXPECT_TRUE(std::equal(saved.begin(), saved.end(), written.Data().begin(), [](char a, uint8_t b) {
            return uint8_t(a) == b;
        })) << count;
    }
}
