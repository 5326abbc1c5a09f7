// Several pictures in one run, the new formats through the tool, the JSON
// summary, and the paths named in failures.

#include <set>

#include "analysis/palette_outputs.h"
#include "app/core/source_loading.h"
#include "tests/analysis/swatch_readers.h"
#include "tests/app/palette_tool/palette_tool_support.h"

namespace {

std::string Sunset() { return Quoted(std::string(TW_SOURCE_DIR) + "/samples/sunset.bmp"); }

std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

const std::set<std::string> DefaultPair = {"LuminosityValues.txt", "Palette.bmp"};

}  // namespace

TEST_F(PaletteTool, ThreePicturesOneBrokenGiveTwoFoldersAndExitOne) {
    std::ofstream(FFolder / "broken.bmp", std::ios::binary) << std::string(4096, '\x5A');
    const TRun run = Run("-o out --jobs 2 " + Sunset() + " broken.bmp " + Quoted(TestImage("bmpsuite/g/rgb24.bmp")));
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(FilesIn(FFolder / "out"), (std::set<std::string>{"sunset", "rgb24"}));
    EXPECT_EQ(FilesIn(FFolder / "out/sunset"), DefaultPair);
    EXPECT_EQ(FilesIn(FFolder / "out/rgb24"), DefaultPair);
    const std::string text = Read(FFolder / "out/sunset/LuminosityValues.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6163) << "the whole file";
    EXPECT_EQ(run.Err, "tintwright-palette: broken.bmp: Bitmap image is not valid.\n");
    EXPECT_NE(run.Out.find("sunset.bmp: Distinct Colors: 6162\n"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.substr(run.Out.size() - 33), "Pictures: 2 of 3 done, 1 failed.\n");

    const TRun good = Run("-o out " + Sunset() + " " + Sunset());
    EXPECT_EQ(good.Status, 0);
    EXPECT_NE(good.Out.find("Pictures: 2 of 2 done, 0 failed."), std::string::npos);
}

TEST_F(PaletteTool, SameNamesGetNumberedFolders) {
    fs::create_directories(FFolder / "a");
    fs::create_directories(FFolder / "b");
    fs::copy_file(std::string(TW_SOURCE_DIR) + "/samples/sunset.bmp", FFolder / "a/x.bmp");
    fs::copy_file(TestImage("bmpsuite/g/rgb24.bmp"), FFolder / "b/x.bmp");
    fs::copy_file(TestImage("bmpsuite/g/pal8.bmp"), FFolder / "x-2.bmp");
    const TRun run = Run("-o out -j 1 a/x.bmp b/x.bmp x-2.bmp");
    ASSERT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(FilesIn(FFolder / "out"), (std::set<std::string>{"x", "x-2", "x-2-2"}));
    // Each folder holds its own picture's palette.
    EXPECT_EQ(Read(FFolder / "out/x/Palette.bmp").size(), 122u + 12 * 6163);
    EXPECT_NE(Read(FFolder / "out/x-2/Palette.bmp"), Read(FFolder / "out/x/Palette.bmp"));
}

TEST_F(PaletteTool, JsonSummaryLinesForScripts) {
    std::ofstream(FFolder / "bad \"q\".bmp", std::ios::binary) << "BM";
    const TRun run = Run("-o out --json-summary -f json,hex " + Sunset() + " 'bad \"q\".bmp'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "");
    std::istringstream lines(run.Out);
    std::string line;
    int good = 0, bad = 0;
    while (std::getline(lines, line)) {
        swatch_readers::TJsonReader reader(line);
        const swatch_readers::TJson json = reader.Document();
        ASSERT_FALSE(reader.Failed()) << line;
        if (json["error"].Text().empty()) {
            ++good;
            EXPECT_EQ(json["distinct"].Number(), 6162);
            EXPECT_EQ(json["width"].Number(), 320);
            ASSERT_EQ(json["written"].Array().size(), 2u);
            EXPECT_EQ(json["written"].Array()[1].Text(), (FFolder / "out/sunset/Palette.hex").string());
            EXPECT_GE(json["seconds"].Number(), 0);
        } else {
            ++bad;
            EXPECT_EQ(json["file"].Text(), "bad \"q\".bmp");
            EXPECT_EQ(json["path"].Text(), "bad \"q\".bmp");
        }
    }
    EXPECT_EQ(good, 1);
    EXPECT_EQ(bad, 1);
}

TEST_F(PaletteTool, WriteFailuresNameTheFile) {
    // A folder in the way of the text file.
    fs::create_directories(FFolder / "out/LuminosityValues.txt");
    const TRun run = Run("-o out " + Sunset());
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "tintwright-palette: out/LuminosityValues.txt: File access denied.\n");

    fs::create_directories(FFolder / "here/Palette.gpl");
    const TRun swatch = Run("--output-dir here/ -f gpl,hex " + Sunset());
    EXPECT_EQ(swatch.Status, 1);
    EXPECT_EQ(swatch.Err, "tintwright-palette: here/Palette.gpl: File access denied.\n");
    EXPECT_TRUE(fs::exists(FFolder / "here/Palette.hex")) << "the other format is still written";
}

TEST_F(PaletteTool, TooManyColoursForAcoFailsThatFormatOnly) {
    TBitmap32 picture;
    picture.SetSize(280, 250);
    for (int i = 0; i < 70000; ++i) picture.Bits()[i] = 0xFF000000 | static_cast<TColor32>(i * 239);
    picture.SaveToFile((FFolder / "many.bmp").string());
    const TRun run = Run("-o out -f aco,pal many.bmp");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err,
              "tintwright-palette: out/Palette.aco: An aco file holds at most 65,535 colours; this palette has "
              "70,000.\n");
    EXPECT_EQ(FilesIn(FFolder / "out"), (std::set<std::string>{"Palette.pal"}));
    EXPECT_EQ(swatch_readers::ReadPal(Read(FFolder / "out/Palette.pal")).size(), 70000u);
}

TEST_F(PaletteTool, EveryFileOfARunTakesTheOrder) {
    const TRun run = Run("-o out --sort count -f txt,bmp,png,hex " + Sunset());
    ASSERT_EQ(run.Status, 0) << run.Err;
    // The text file, the bitmap and the PNG list the same colours in the same
    // order, with the usual layout.
    TBitmap decoded;
    TBitmap32 bitmap, png;
    LoadSourcePicture((FFolder / "out/Palette.bmp").string(), decoded, bitmap);
    LoadSourcePicture((FFolder / "out/Palette.png").string(), decoded, png);
    ASSERT_EQ(bitmap.Height(), 6163);
    ASSERT_EQ(png.Height(), 6163);
    std::istringstream text(Read(FFolder / "out/LuminosityValues.txt"));
    std::string line;
    for (int row = 0; row < bitmap.Height() && std::getline(text, line); ++row) {
        const TColor32 color = bitmap.Pixel(0, row);
        const std::string rgb = "RGB(" + std::to_string(RedComponent(color)) + "," +
                                std::to_string(GreenComponent(color)) + "," + std::to_string(BlueComponent(color)) +
                                ")\r";
        ASSERT_EQ(line.substr(line.size() - rgb.size()), rgb) << row;
        // The readers may treat alpha differently; the colours must agree.
        ASSERT_EQ(png.Pixel(2, row) & 0xFFFFFF, color & 0xFFFFFF) << row;
    }
    const auto hex = swatch_readers::ReadHex(Read(FFolder / "out/Palette.hex"));
    ASSERT_EQ(hex.size(), 6162u);
    // The most frequent colour leads every file.
    EXPECT_EQ(hex[0].Red, RedComponent(bitmap.Pixel(0, 0)));
    EXPECT_EQ(hex[0].Blue, BlueComponent(bitmap.Pixel(0, 0)));
}
