// tintwright-palette run as a user runs it: real pictures write both files,
// bad input gives a message and status 1, never a crash.

#include "tests/app/palette_tool/palette_tool_support.h"
#include "update/version.h"

TEST_F(PaletteTool, BundledSampleWritesBothFiles) {
    const TRun run = Run("--output-dir out " + Quoted(std::string(TW_SOURCE_DIR) + "/samples/sunset.bmp"));
    ASSERT_EQ(run.Status, 0) << run.Err;
    const fs::path out = FFolder / "out";
    EXPECT_EQ(run.Out, "Distinct Colors: 6162\n" + (out / "LuminosityValues.txt").string() + "\n" +
                           (out / "Palette.bmp").string() + "\n");
    EXPECT_EQ(run.Err, "");  // no progress when standard error is not a terminal
    // 6162 colours and the sample's zero tail.
    EXPECT_EQ(fs::file_size(out / "Palette.bmp"), 122u + 12 * 6163);
    const std::string text = Read(out / "LuminosityValues.txt");
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6163);
    const std::string lastLine = "\nIndex 6162: 0.00 RGB(0,0,0)\r\n";
    EXPECT_EQ(text.substr(text.size() - lastLine.size()), lastLine);
}

TEST_F(PaletteTool, RealPicturesFromTheSuites) {
    for (const char* file : {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/pal4rle.bmp", "bmpsuite/g/rgb16-565.bmp",
                             "tiff/libtiff-pics/strike.tif", "tiff/libtiff-pics/smallliz.tif"}) {
        fs::remove(FFolder / "Palette.bmp");
        const TRun run = Run(Quoted(TestImage(file)));
        ASSERT_EQ(run.Status, 0) << file << ": " << run.Err;
        EXPECT_EQ(run.Out.rfind("Distinct Colors: ", 0), 0u) << file;
        EXPECT_TRUE(fs::exists(FFolder / "Palette.bmp")) << file;
    }
}

TEST_F(PaletteTool, BadInputGivesTheMessageAndStatusOne) {
    const std::string sample = Read(std::string(TW_SOURCE_DIR) + "/samples/sunset.bmp");
    std::ofstream(FFolder / "short.bmp", std::ios::binary) << sample.substr(0, 10);
    std::ofstream(FFolder / "garbage.bmp", std::ios::binary) << std::string(4096, '\x5A');
    std::ofstream(FFolder / "empty.bmp", std::ios::binary) << "";

    const std::string sunset = Quoted(std::string(TW_SOURCE_DIR) + "/samples/sunset.bmp");
    const struct {
        std::string arguments, message;
    } cases[] = {
        {"notes.txt", "notes.txt: Error: Unsupported format."},
        {"picture", "picture: Error: Unsupported format."},
        {"missing.bmp",
         "missing.bmp: Cannot open file \"" + (FFolder / "missing.bmp").string() + "\". No such file or directory."},
        {"short.bmp", "short.bmp: Stream read error."},
        {"garbage.bmp", "garbage.bmp: Bitmap image is not valid."},
        // Shown by the window as a plain message: no "." added.
        {"empty.bmp", "empty.bmp: Error: Empty or unrecognized image"},
        // Said before anything is decoded, rather than as the first file's
        // "Invalid filename".
        {"--output-dir nowhere " + sunset, "nowhere: No such output folder."},
        {"--output-dir short.bmp " + sunset, "short.bmp: Not a folder."},
    };
    for (const auto& c : cases) {
        const TRun run = Run(c.arguments);
        EXPECT_EQ(run.Status, 1) << c.arguments;
        EXPECT_EQ(run.Err, "tintwright-palette: " + c.message + "\n") << c.arguments;
        EXPECT_FALSE(fs::exists(FFolder / "Palette.bmp")) << c.arguments;
    }
}

TEST_F(PaletteTool, HelpVersionAndWrongCommandLines) {
    const TRun help = Run("--help");
    EXPECT_EQ(help.Status, 0);
    EXPECT_EQ(help.Out.rfind("Usage: tintwright-palette [--output-dir DIR] PICTURE\n", 0), 0u);
    const TRun version = Run("--version");
    EXPECT_EQ(version.Status, 0);
    // The version, then the update server the build asks (this tool never
    // does, but it ships with the window and tells the same).
    EXPECT_EQ(version.Out.rfind("tintwright-palette 1.0\nUpdate check: ", 0), 0u) << version.Out;
    EXPECT_EQ(version.Out, VersionReport("tintwright-palette"));
    for (const char* wrong : {"", "--frobnicate x.bmp", "--output-dir", "--format gif x.bmp", "--format bmp, x.bmp",
                              "--sort size x.bmp", "--jobs 0 x.bmp", "-j x.bmp", "--jobs"}) {
        const TRun run = Run(wrong);
        EXPECT_EQ(run.Status, 2) << wrong;
        EXPECT_NE(run.Err.find("--help"), std::string::npos) << wrong;
    }
}
