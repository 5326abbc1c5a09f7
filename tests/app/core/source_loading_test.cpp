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

namespace {

struct TLoaded {
    std::string Failure;
    bool Empty = false;
    int Width = 0, Height = 0;
    std::vector<TColor32> Pixels;
    TDrawMode DrawMode = dmOpaque;
};

TLoaded Keep(TBitmap32& bmp32, const std::function<TLoadOutcome()>& load) {
    TLoaded loaded;
    loaded.Failure = MessageOf([&] { loaded.Empty = load() == TLoadOutcome::EmptyPicture; });
    if (loaded.Failure != NothingRaised || loaded.Empty) return loaded;
    loaded.Width = bmp32.Width(), loaded.Height = bmp32.Height();
    loaded.Pixels.assign(bmp32.Bits(), bmp32.Bits() + size_t(loaded.Width) * size_t(loaded.Height));
    loaded.DrawMode = bmp32.DrawMode();
    return loaded;
}

}  // namespace

// The pixels-only road must give exactly what the road through the decoded
// bitmap gives, for every picture of the suites the shortcut could take and
// for the broken ones, whose messages must not change either.
TEST(SourceLoading, PixelsOnlyRoadGivesThePixelsAndMessagesOfTheFullRoad) {
    int compared = 0;
    for (const char* suite : {"jpeg", "pngsuite", "bmpsuite/g", "gif/go", "tiff"}) {
        for (const auto& entry : fs::recursive_directory_iterator(TestImage(suite))) {
            const std::string extension = LowerCaseExtension(entry.path().string());
            if (!entry.is_regular_file() || extension == ".txt" || extension.empty()) continue;
            const std::string file = entry.path().string();
            TBitmap decoded;
            TBitmap32 full, direct;
            const TLoaded expected = Keep(full, [&] { return LoadSourcePicture(file, decoded, full); });
            const TLoaded actual = Keep(direct, [&] { return LoadSourcePixels(file, direct); });
            EXPECT_EQ(actual.Failure, expected.Failure) << file;
            EXPECT_EQ(actual.Empty, expected.Empty) << file;
            EXPECT_EQ(actual.Width, expected.Width) << file;
            EXPECT_EQ(actual.Height, expected.Height) << file;
            EXPECT_EQ(actual.DrawMode, expected.DrawMode) << file;
            EXPECT_TRUE(actual.Pixels == expected.Pixels) << file;
            ++compared;
        }
    }
    EXPECT_GT(compared, 300);
}

// The comparison above means something only if the shortcut is taken: colour
// and CMYK JPEG files and opaque true-colour PNG files write their pixels
// themselves; pictures with transparency, grey or palette JPEG output, and
// a JPEG already decoded for drawing go the usual way.
TEST(SourceLoading, ShortcutIsTakenByOpaqueColourPicturesOnly) {
    const std::pair<const char*, bool> cases[] = {
        {"pngsuite/basn2c08.png", true},        {"pngsuite/basn2c16.png", true},
        {"pngsuite/basi2c08.png", true},        {"pngsuite/basn6a08.png", false},
        {"pngsuite/tbrn2c08.png", false},       {"pngsuite/basn3p08.png", false},
        {"pngsuite/basn0g08.png", false},       {"jpeg/libjpeg-turbo/testorig.jpg", true},
        {"jpeg/go/video-001.cmyk.jpeg", true},  {"jpeg/pillow/pil_sample_cmyk.jpg", true},
        {"jpeg/go/video-005.gray.jpeg", false}, {"bmpsuite/g/rgb24.bmp", false},
    };
    for (const auto& [file, taken] : cases) {
        std::unique_ptr<TGraphic> graphic = NewPictureForExtension(LowerCaseExtension(file));
        graphic->LoadFromFile(TestImage(file));
        std::vector<uint32_t> pixels;
        const bool written = graphic->WriteOpaquePixels([&] {
            pixels.resize(size_t(graphic->Width()) * size_t(graphic->Height()));
            return pixels.data();
        });
        EXPECT_EQ(written, taken) << file;
        EXPECT_EQ(pixels.empty(), !taken) << file;
    }
    std::unique_ptr<TGraphic> drawn = NewPictureForExtension(".jpg");
    drawn->LoadFromFile(TestImage("jpeg/libjpeg-turbo/testorig.jpg"));
    TBitmap copy;
    copy.Assign(drawn.get());
    EXPECT_FALSE(drawn->WriteOpaquePixels([]() -> uint32_t* { throw std::logic_error("asked for room"); }));
}
