// The GIF picture class end to end: the bitmap of frame 0 that a TBitmap
// receives.

#include "pictures/gif/gif_image.h"

#include <gtest/gtest.h>

#include <set>

#include "gif_test_support.h"
#include "pictures/gif/gif_errors.h"

using giftest::GifBuilder;
using Bytes = std::vector<uint8_t>;

namespace {

const std::string SuiteFolder = TW_TESTIMAGES_DIR "/gif/";

// Pixels of a bitmap as 0xRRGGBB, rows from the top.
std::vector<uint32_t> PixelsOf(TBitmap& bitmap) {
    gdi::BitmapInfo info;
    info.Header.biWidth = bitmap.Width();
    info.Header.biHeight = -bitmap.Height();
    info.Header.biBitCount = 32;
    std::vector<uint32_t> pixels(static_cast<size_t>(bitmap.Width()) * bitmap.Height());
    EXPECT_EQ(gdi::GetDIBits(bitmap.Handle(), 0, bitmap.Height(), pixels.data(), info), bitmap.Height());
    for (uint32_t& pixel : pixels) pixel &= 0xFFFFFF;
    return pixels;
}

// Loads into `image` and assigns it to `bitmap`.
void Decode(const Bytes& bytes, TGIFImage& image, TBitmap& bitmap) {
    TMemoryStream stream(bytes);
    image.LoadFromStream(stream);
    bitmap.Assign(&image);
}

std::vector<uint32_t> FirstFrameOf(const std::string& file) {
    TGIFImage image;
    image.LoadFromFile(SuiteFolder + file);
    TBitmap bitmap;
    bitmap.Assign(&image);
    return PixelsOf(bitmap);
}

const uint32_t PaletteColors[4] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
const Bytes PaletteTable{0, 0, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255};

Bytes Indices(int count) {
    Bytes indices;
    for (int i = 0; i < count; ++i) indices.push_back(static_cast<uint8_t>((i * 5 + i / 7) % 4));
    return indices;
}

uint32_t WindowColor() {
    gdi::COLORREF color = gdi::GetSysColor(gdi::COLOR_WINDOW);
    return uint32_t{gdi::GetRValue(color)} << 16 | gdi::GetGValue(color) << 8 | gdi::GetBValue(color);
}

}  // namespace

TEST(GifImage, FullScreenOpaqueFrameGivesItsOwnEightBitBitmap) {
    // Screens of 16 × 16 and of 8 × 8 (which grows to fit); a second frame
    // never shows.
    const Bytes indices = Indices(256);
    for (int screen : {16, 8}) {
        GifBuilder gif;
        gif.Header().Screen(screen, screen, 4, 0, PaletteTable).Frame(0, 0, 16, 16, indices, 2);
        gif.Frame(0, 0, 16, 16, Bytes(256, 3), 2).Trailer();
        TGIFImage image;
        TBitmap bitmap;
        Decode(gif.Bytes(), image, bitmap);
        EXPECT_EQ(image.Width(), 16);
        EXPECT_EQ(bitmap.PixelFormat(), pf8bit) << "screen " << screen;
        std::vector<uint32_t> pixels = PixelsOf(bitmap);
        ASSERT_EQ(pixels.size(), 256u);
        for (size_t i = 0; i < pixels.size(); ++i) ASSERT_EQ(pixels[i], PaletteColors[indices[i]]) << "pixel " << i;
    }
}

TEST(GifImage, TransparentPixelsShowTheBackground) {
    // Index 3 transparent over: background index 1 (pure red); no global
    // table (the window colour); a background index beyond the table
    // (entry 0).
    const Bytes indices = Indices(16);
    GifBuilder red, local, beyond;
    red.Header().Screen(4, 4, 4, 1, PaletteTable).GraphicControl(true, 3).Frame(0, 0, 4, 4, indices, 2);
    local.Header().Screen(4, 4).GraphicControl(true, 3).Descriptor(0, 0, 4, 4, 0, 4, PaletteTable);
    local.ImageData(2, giftest::CodeWriter(2).Literals(indices).Bytes());
    beyond.Header().Screen(4, 4, 4, 200, PaletteTable).GraphicControl(true, 3).Frame(0, 0, 4, 4, indices, 2);
    const std::pair<GifBuilder*, uint32_t> cases[] = {{&red, 0xFF0000}, {&local, WindowColor()}, {&beyond, 0}};
    for (const auto& [gif, fill] : cases) {
        TGIFImage image;
        TBitmap bitmap;
        Decode(gif->Bytes(), image, bitmap);
        EXPECT_EQ(bitmap.PixelFormat(), pfDevice);
        EXPECT_FALSE(bitmap.Transparent());
        std::vector<uint32_t> pixels = PixelsOf(bitmap);
        for (size_t i = 0; i < 16; ++i)
            EXPECT_EQ(pixels[i], indices[i] == 3 ? fill : PaletteColors[indices[i]])
                << "pixel " << i << " fill " << fill;
    }
}

TEST(GifImage, FrameSmallerThanTheScreenIsDrawnAtItsPlace) {
    // 10 × 10 at (5, 5) on 20 × 20: white around it when not transparent;
    // transparent (index 0, which no pixel uses) it is drawn whole over the
    // background colour (index 2, green).
    Bytes indices(100);
    for (int i = 0; i < 100; ++i) indices[i] = static_cast<uint8_t>(1 + i % 3);
    for (bool transparent : {false, true}) {
        GifBuilder gif;
        gif.Header().Screen(20, 20, 4, 2, PaletteTable);
        if (transparent) gif.GraphicControl(true, 0);
        gif.Frame(5, 5, 10, 10, indices, 2).Trailer();
        TGIFImage image;
        TBitmap bitmap;
        Decode(gif.Bytes(), image, bitmap);
        ASSERT_EQ(bitmap.Width(), 20);
        std::vector<uint32_t> pixels = PixelsOf(bitmap);
        for (int y = 0; y < 20; ++y) {
            for (int x = 0; x < 20; ++x) {
                bool inside = x >= 5 && x < 15 && y >= 5 && y < 15;
                uint32_t around = transparent ? 0x00FF00 : 0xFFFFFF;
                uint32_t expected = inside ? PaletteColors[indices[(y - 5) * 10 + x - 5]] : around;
                ASSERT_EQ(pixels[y * 20 + x], expected) << x << "," << y << " transparent " << transparent;
            }
        }
    }
}

TEST(GifImage, BitmapsThatCannotBeMade) {
    // No image block: the size is known, the bitmap is empty.
    GifBuilder noImage;
    noImage.Header().Screen(7, 5, 4).Trailer();
    TGIFImage image;
    TBitmap bitmap;
    Decode(noImage.Bytes(), image, bitmap);
    EXPECT_EQ(image.Width() * image.Height(), 35);
    EXPECT_TRUE(bitmap.Empty());

    // Loading succeeds; the assignment fails.
    GifBuilder noTable, hugeScreen;
    noTable.Header().Screen(2, 2).Frame(0, 0, 2, 2, {0, 1, 1, 0}, 2).Trailer();
    hugeScreen.Header().Screen(65535, 65535, 4).Frame(0, 0, 1, 1, {1}, 2).Trailer();
    const std::pair<GifBuilder*, std::string> cases[] = {
        {&noTable, "GIFException: No global or local color table defined"},
        {&hugeScreen, "EOutOfMemory: Failed to allocate memory for GIF DIB"},
    };
    for (const auto& [gif, failure] : cases) {
        std::string outcome = "made";
        try {
            Decode(gif->Bytes(), image, bitmap);
        } catch (const Exception& error) {
            outcome = std::string(error.ClassName()) + ": " + error.Message();
        }
        EXPECT_EQ(outcome, failure);
        EXPECT_FALSE(image.Empty());
    }
}

TEST(GifImage, InterlacedFilesEqualTheirTwins) {
    EXPECT_EQ(FirstFrameOf("wuffs/hippopotamus.interlaced.gif"), FirstFrameOf("wuffs/hippopotamus.regular.gif"));
    EXPECT_EQ(FirstFrameOf("go/video-001.interlaced.gif"), FirstFrameOf("go/video-001.gif"));
}

// Files cut at every third length, and with one byte after another set to
// 0xFF: each loads or fails with one of the reader's own messages; none
// crashes or hangs (the sanitizer build checks for stray reads and leaks). A
// cut inside the signature and screen must fail.
TEST(GifImage, TruncatedAndCorruptFilesFailCleanly) {
    const std::set<std::string> messages = {
        gif::InvalidSignature, gif::PrematureEnd,  gif::UnknownExtension, gif::BadApplicationBlockSize,
        gif::InvalidData,      gif::CircularEntry, gif::InvalidImageSize, gif::NoColorTable,
        gif::OutOfMemory,      gif::AbstractError};
    for (const char* name : {"wuffs/hippopotamus.interlaced.gif", "wuffs/animated-red-blue.gif",
                             "gif-test-suite/plain-text.gif", "gif-test-suite/loop-buffer.gif"}) {
        SCOPED_TRACE(name);
        TFileStream file(SuiteFolder + name, TFileStream::Mode::OpenRead);
        Bytes bytes(static_cast<size_t>(file.Size()));
        file.ReadBuffer(bytes.data(), bytes.size());
        TGIFImage whole;
        TBitmap wholeBitmap;
        Decode(bytes, whole, wholeBitmap);
        // "loads", or the message of the failure; a file cut short that
        // loads shows the screen it declared, or nothing when no frame is left.
        auto attempt = [&](const Bytes& data, bool cut) -> std::string {
            TGIFImage image;
            TBitmap bitmap;
            try {
                Decode(data, image, bitmap);
            } catch (const Exception& error) {
                EXPECT_TRUE(messages.contains(error.Message())) << error.ClassName() << ": " << error.Message();
                return error.Message();
            }
            if (cut && !bitmap.Empty()) {
                EXPECT_EQ(bitmap.Width(), wholeBitmap.Width());
                EXPECT_EQ(bitmap.Height(), wholeBitmap.Height());
            }
            return "loads";
        };
        int failures = 0;
        for (size_t length = 0; length < bytes.size(); length += 3) {
            const std::string outcome =
                attempt(Bytes(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(length)), true);
            if (length < 13) {
                EXPECT_NE(outcome, "loads") << "cut at " << length;
            }
            failures += outcome != "loads";
        }
        EXPECT_GT(failures, 0);
        for (size_t at = 0; at < bytes.size(); at += 2) {
            Bytes corrupt = bytes;
            corrupt[at] = 0xFF;
            const std::string outcome = attempt(corrupt, false);
            if (at == 0) {
                EXPECT_EQ(outcome, gif::InvalidSignature);
            }
        }
    }
}
