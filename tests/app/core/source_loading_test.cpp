// The load road without its dialog: the extension table and what loading real
// and broken files leaves in the two bitmaps.

#include "app/core/source_loading.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "tests/support/raised_message.h"

namespace fs = std::filesystem;

namespace {

std::string TestImage(const char* relative) { return std::string(TW_TESTIMAGES_DIR) + "/" + relative; }

std::string LoadError(const std::string& fileName, TBitmap& decoded, TBitmap32& bmp32) {
    return MessageOf([&] { LoadSourcePicture(fileName, decoded, bmp32); });
}

}  // namespace

TEST(SourceLoading, ExtensionIsTheLastOneLowerCased) {
    const std::pair<const char*, const char*> cases[] = {
        {"/home/me/Pictures/Photo.JPG", ".jpg"},
        {"holiday.jpeg.png", ".png"},
        {"/home/me/my.pictures/photo", ""},
        {"C:\\my.pictures\\photo", ""},
        {"scan.TIFF", ".tiff"},
        {"no extension", ""},
        {"trailing.", "."},
        {"caf\xC3\x89.BMP", ".bmp"},
    };
    for (const auto& [fileName, extension] : cases) EXPECT_EQ(LowerCaseExtension(fileName), extension) << fileName;
}

TEST(SourceLoading, UnknownExtensionsAreRefused) {
    EXPECT_STREQ(NewPictureForExtension(".bmp")->ClassName(), "TBitmap");
    for (const char* extension : {"", ".", ".txt", ".BMP", ".bmp2"}) {
        try {
            NewPictureForExtension(extension);
            ADD_FAILURE() << extension << " accepted";
        } catch (const Exception& error) {
            EXPECT_EQ(error.Message(), UnsupportedFormatMessage) << extension;
        }
    }
}

TEST(SourceLoading, RealFilesFillBothBitmaps) {
    const std::tuple<const char*, int, int> cases[] = {
        {"bmpsuite/g/rgb24.bmp", 127, 64},
        {"bmpsuite/g/pal8rle.bmp", 127, 64},
        {"bmpsuite/g/pal8topdown.bmp", 127, 64},
        {"bmpsuite/g/rgb32bf.bmp", 127, 64},
    };
    for (const auto& [file, width, height] : cases) {
        TBitmap decoded;
        TBitmap32 bmp32;
        ASSERT_EQ(LoadSourcePicture(TestImage(file), decoded, bmp32), TLoadOutcome::Loaded) << file;
        EXPECT_EQ(bmp32.Width(), width) << file;
        EXPECT_EQ(bmp32.Height(), height) << file;
        EXPECT_EQ(decoded.Width(), width) << file;
        EXPECT_EQ(bmp32.DrawMode(), dmBlend) << file;
    }
}

TEST(SourceLoading, FailuresLeaveThePreviousPicture) {
    TBitmap decoded;
    TBitmap32 bmp32;
    ASSERT_EQ(LoadSourcePicture(TestImage("bmpsuite/g/rgb24.bmp"), decoded, bmp32), TLoadOutcome::Loaded);
    const TColor32 corner = bmp32.Pixel(0, 0);

    const fs::path folder = fs::temp_directory_path() / ("tw_loading_" + std::to_string(::getpid()));
    fs::create_directories(folder);
    // A PNG file named as a BMP goes to the BMP reader and fails there.
    fs::copy_file(TestImage("pngsuite/basn2c08.png"), folder / "disguised.bmp", fs::copy_options::overwrite_existing);

    const std::string missing = (folder / "missing.bmp").string();
    EXPECT_EQ(LoadError(missing, decoded, bmp32).rfind("Cannot open file \"" + missing + "\". ", 0), 0u);
    EXPECT_NE(LoadError((folder / "disguised.bmp").string(), decoded, bmp32), NothingRaised);
    EXPECT_EQ(LoadError((folder / "notes.txt").string(), decoded, bmp32), UnsupportedFormatMessage);
    // Every reader's road opens the same way: a FIFO is refused, not waited on.
    const std::string fifo = (folder / "fifo.png").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(LoadError(fifo, decoded, bmp32), "Cannot open file \"" + fifo + "\". Invalid argument");
    fs::remove_all(folder);

    EXPECT_EQ(bmp32.Width(), 127);
    EXPECT_EQ(bmp32.Pixel(0, 0), corner);
}
