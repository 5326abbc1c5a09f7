// The tool's pieces alone: the header probe against the decoders, the output
// folders, the format list.

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <thread>

#include "app/core/source_loading.h"
#include "app/palette_tool/command_line.h"
#include "app/palette_tool/memory_budget.h"
#include "app/palette_tool/output_folders.h"
#include "app/palette_tool/picture_size_probe.h"

TEST(PictureSizeProbe, AgreesWithTheDecodersOnTheSuites) {
    const std::string root = TW_TESTIMAGES_DIR;
    for (const char* file :
         {"bmpsuite/g/rgb24.bmp", "bmpsuite/g/pal4rle.bmp", "bmpsuite/g/rgb32bf.bmp", "bmpsuite/g/pal8os2.bmp",
          "bmpsuite/g/pal8topdown.bmp", "pngsuite/basn6a08.png", "pngsuite/tbrn2c08.png", "gif/go/triangle-001.gif",
          "jpeg/libjpeg-turbo/testorig.jpg", "jpeg/libjpeg-turbo/testimgint.jpg", "tiff/libtiff-pics/strike.tif",
          "tiff/libtiff-pics/smallliz.tif"}) {
        TBitmap decoded;
        TBitmap32 bitmap;
        LoadSourcePicture(root + "/" + file, decoded, bitmap);
        const auto size = ProbePictureSize(root + "/" + file);
        ASSERT_TRUE(size.has_value()) << file;
        EXPECT_EQ(size->Width, bitmap.Width()) << file;
        EXPECT_EQ(size->Height, bitmap.Height()) << file;
    }
    EXPECT_FALSE(ProbePictureSize(root + "/bmpsuite/readme.txt").has_value());
    EXPECT_FALSE(ProbePictureSize(root + "/no such file.png").has_value());
}

TEST(OutputFolders, NamesWithoutExtensionNumberedOnClashes) {
    EXPECT_EQ(PictureFolders({"a/x.png", "b/x.jpg", "x-2.gif", "y.tar.gz", ".hidden", "dir/", "z"}, "out/"),
              (std::vector<std::string>{"out/x", "out/x-2", "out/x-2-2", "out/y.tar", "out/.hidden", "out/picture",
                                        "out/z"}));
    EXPECT_EQ(PictureFolders({"x.png", "x.png"}, ""), (std::vector<std::string>{"x", "x-2"}));
}

TEST(CommandLine, FormatListsAndOptions) {
    const TToolOptions options =
        ParseCommandLine({"--format=gpl,png,gpl,txt", "--sort", "hue", "-j", "3", "--json-summary", "a.png", "b.png"});
    ASSERT_EQ(options.Problem, "");
    EXPECT_TRUE(options.Outputs.LuminosityValues);
    EXPECT_FALSE(options.Outputs.PaletteBitmap);
    EXPECT_TRUE(options.Outputs.PalettePng);
    EXPECT_EQ(options.Outputs.Swatches, (std::vector<TSwatchFormat>{TSwatchFormat::Gpl}));
    EXPECT_EQ(options.Order, TPaletteOrder::Hue);
    EXPECT_EQ(options.Jobs, 3u);
    EXPECT_EQ(options.Pictures.size(), 2u);
    EXPECT_NE(ParseCommandLine({"--format", "", "a.png"}).Problem, "");
    EXPECT_NE(ParseCommandLine({"--jobs", "99999", "a.png"}).Problem, "");
    // The default is today's pair.
    const TToolOptions plain = ParseCommandLine({"a.png"});
    EXPECT_TRUE(plain.Outputs.LuminosityValues && plain.Outputs.PaletteBitmap && !plain.Outputs.PalettePng);
    EXPECT_TRUE(plain.Outputs.Swatches.empty());
}

TEST(MemoryBudget, APictureWaitsUntilTheOthersLeaveRoom) {
    TMemoryBudget budget(100);
    std::optional<TMemoryReservation> first(std::in_place, budget, 60);
    std::atomic<bool> secondStarted{false};
    std::thread second([&] {
        TMemoryReservation reservation(budget, 60);
        secondStarted = true;
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(secondStarted) << "60 + 60 exceed the budget of 100";
    first.reset();
    second.join();
    EXPECT_TRUE(secondStarted);
    // A picture larger than the whole budget takes all of it rather than
    // waiting for ever.
    EXPECT_EQ(budget.Reserve(500), 100u);
}
