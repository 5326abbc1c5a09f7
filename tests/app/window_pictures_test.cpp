// Loading pictures through the load button and generating their palette
// through the palette button.
#include <fstream>
#include <sstream>
#include <tuple>

#include "analysis/distinct_colors.h"
#include "app/core/palette_generation.h"
#include "tests/app/window_test_support.h"

namespace {

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ostringstream content;
    content << std::ifstream(path, std::ios::binary).rdbuf();
    return content.str();
}

// What a loaded picture leaves in the window.
struct TShownPicture {
    const TBitmap32* BMP32;
    int Width, Height, ShownWidth, ShownHeight;
    std::string Caption;
    qint64 ShownImage;  // the image painted, made once per load
    bool operator==(const TShownPicture&) const = default;
};

TShownPicture Shown(TTintwright& window) {
    const QSize source = window.imgSource->SourceSize();
    return {window.BMP32.get(),
            window.BMP32->Width(),
            window.BMP32->Height(),
            source.width(),
            source.height(),
            window.PanelColorCount->Caption(),
            window.imgSource->Shown().cacheKey()};
}

// A GIF header and logical screen of width × height, no image block.
std::string GifWithoutImage(int width, int height) {
    std::string gif = "GIF89a";
    gif += {char(width & 0xFF), char(width >> 8), char(height & 0xFF), char(height >> 8)};
    gif += {'\0', '\0', '\0'};  // no colour table, background 0, no aspect ratio
    return gif + ";";           // trailer
}

}  // namespace

TEST_F(WindowTest, LoadingShowsTheCountAndKeepsTheDecodedSize) {
    const struct {
        const char* Name;
        const char* File;
        int Width, Height;
        int Colours;  // 0: not known in advance
    } pictures[] = {
        {"BMP 1 bit", "bmpsuite/g/pal1.bmp", 127, 64, 2},
        {"BMP 24 bit", "bmpsuite/g/rgb24.bmp", 127, 64, 0},
        {"TIFF 1 bit", "tiff/libtiff-test-images/miniswhite-1c-1b.tiff", 157, 151, 2},
        {"PNG 1 bit grey", "pngsuite/basn0g01.png", 32, 32, 2},
        {"JPEG", "jpeg/go/video-001.jpeg", 150, 103, 0},
    };
    auto window = MakeWindow();
    for (const auto& picture : pictures) {
        Load(*window, TestPicture(picture.File));
        ASSERT_TRUE(FDialogs->Shown().empty()) << picture.Name << ": " << FDialogs->Shown().front().Text;
        const TShownPicture shown = Shown(*window);
        // BMP32 and the shown picture keep the decoded size, whatever the control's.
        EXPECT_EQ(std::tie(shown.Width, shown.Height, shown.ShownWidth, shown.ShownHeight),
                  std::tie(picture.Width, picture.Height, picture.Width, picture.Height))
            << picture.Name;
        const int64_t colours = picture.Colours != 0 ? picture.Colours : *::CountDistinctColors(*window->BMP32);
        EXPECT_EQ(shown.Caption, "Distinct Colors: " + std::to_string(colours)) << picture.Name;
    }
}

TEST_F(WindowTest, CancelAndFailuresLeaveThePictureAsItWas) {
    TTemporaryCurrentDirectory folder;
    const std::string damaged = (folder.Path() / "damaged.bmp").string();
    const std::string missing = (folder.Path() / "missing.BMP").string();
    WriteFile(damaged, std::string("BM\x10\0\0\0\0\0\0\0\x7A\0\0\0", 14));
    auto window = MakeWindow();
    const std::string first = TestPicture("bmpsuite/g/pal1.bmp");
    Load(*window, first);
    const TShownPicture before = Shown(*window);

    const struct {
        std::optional<std::string> Chosen;
        std::string Error;  // "?": the reader's own message
    } cases[] = {
        {std::nullopt, ""},  // cancel
        {(folder.Path() / "notes.txt").string(), "Error: Unsupported format."},
        {(folder.Path() / "my.pictures" / "photo").string(), "Error: Unsupported format."},
        {missing, "Cannot open file \"" + missing + "\". No such file or directory."},
        {damaged, "?"},
    };
    for (const auto& row : cases) {
        const std::string name = row.Chosen.value_or("cancel");
        FDialogs->Clear();
        Load(*window, row.Chosen);
        EXPECT_EQ(Shown(*window), before) << name;
        EXPECT_TRUE(FDialogs->Messages().empty()) << name;
        const std::vector<std::string> errors = FDialogs->Errors();
        if (row.Error == "?") {
            EXPECT_EQ(errors.size(), 1u) << name;
        } else {
            EXPECT_EQ(errors, row.Error.empty() ? std::vector<std::string>{} : std::vector<std::string>{row.Error})
                << name;
        }
    }
    // The dialog starts with the file chosen last, whether it loaded or not.
    const std::vector<std::string>& starts = FDialogs->OpenFileStarts();
    EXPECT_EQ(starts[0], "");
    EXPECT_EQ(starts[1], first);
    EXPECT_EQ(starts.back(), missing);
}

TEST_F(WindowTest, PicturesWithoutPixelsAreMessagesNotErrors) {
    TTemporaryCurrentDirectory folder;
    WriteFile(folder.Path() / "empty.gif", GifWithoutImage(0, 0));
    WriteFile(folder.Path() / "screen-only.gif", GifWithoutImage(4, 3));
    auto window = MakeWindow();
    Load(*window, TestPicture("bmpsuite/g/pal1.bmp"));
    const TShownPicture before = Shown(*window);

    Load(*window, (folder.Path() / "empty.gif").string());
    EXPECT_EQ(FDialogs->Messages(), std::vector<std::string>{"Error: Empty or unrecognized image"});
    EXPECT_EQ(Shown(*window), before);

    // A logical screen without an image passes the size test and leaves an
    // empty picture with nothing to count.
    FDialogs->Clear();
    Load(*window, (folder.Path() / "screen-only.gif").string());
    EXPECT_EQ(FDialogs->Messages(), std::vector<std::string>{"Error: Invalid Bitmap32."});
    EXPECT_TRUE(FDialogs->Errors().empty());
    EXPECT_EQ(window->BMP32->Width(), 0);
    EXPECT_EQ(window->PanelColorCount->Caption(), before.Caption);
}

TEST_F(WindowTest, GeneratingWritesIntoTheCurrentDirectoryAndRevealsThePalette) {
    TTemporaryCurrentDirectory folder;
    auto window = MakeWindow();
    window->btnGeneratePalette->click();
    EXPECT_EQ(FDialogs->Messages(), std::vector<std::string>{"\U0001F6A8 Error: Invalid original image!"});
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    EXPECT_TRUE(FRevealer->Revealed.empty());

    Load(*window, TestPicture("bmpsuite/g/pal1.bmp"));
    FDialogs->Clear();
    window->btnGeneratePalette->click();
    EXPECT_TRUE(FDialogs->Errors().empty());
    EXPECT_EQ(FDialogs->Messages(),
              std::vector<std::string>{"Palette.bmp and LuminosityValues.txt saved!\nNote: Not all softwares are able "
                                       "to open this large palette image, use Irfanview or call it "
                                       "'User[1,2,3].bmp' for Skyvolt"});
    const std::string text = ReadFile(folder.Path() / "LuminosityValues.txt");
    const auto lines = std::count(text.begin(), text.end(), '\n');
    EXPECT_GE(lines, 2);
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "Palette.bmp"), 122u + 12u * lines);
    EXPECT_EQ(FRevealer->Revealed, std::vector<std::string>{(folder.Path() / "Palette.bmp").string()});
    ASSERT_NE(window->SampleBMP, nullptr);
    EXPECT_EQ(window->SampleBMP->Width(), 127);
}
