// TJPEGImage on the program's road: load (header only), then assign to a
// TBitmap, which decodes once.

#include <gtest/gtest.h>

#include <sys/resource.h>

#include "jpeg_test_support.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/jpeg/jpeg_pixels.h"

namespace {

std::unique_ptr<TJPEGImage> Load(const Bytes& file) {
    auto jpeg = std::make_unique<TJPEGImage>();
    TMemoryStream stream(file);
    jpeg->LoadFromStream(stream);
    return jpeg;
}

long PeakMemoryKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Rows of `decoded` unlike the reference's, in the bitmap's byte order:
// colour in blue-green-red, grey as indices, CMYK through the inverted inks.
int RowsDifferingFrom(const ReferenceDecode& reference, TBitmap& decoded) {
    const size_t rowBytes = static_cast<size_t>(reference.Width) * reference.Components;
    int mismatched = 0;
    for (int y = 0; y < reference.Height; ++y) {
        Bytes expected(reference.Pixels.begin() + y * rowBytes, reference.Pixels.begin() + (y + 1) * rowBytes);
        if (decoded.PixelFormat() == pf24bit) {
            ReverseRgbRow(expected.data(), reference.Width);
        } else if (decoded.PixelFormat() == pf32bit) {
            ConvertInvertedCmykRow(expected.data(), reference.Width);
        }
        const uint8_t* row = decoded.ScanLine(y);
        mismatched += !std::equal(expected.begin(), expected.end(), row);
    }
    return mismatched;
}

}  // namespace

// Real files, each compared row by row with plain libjpeg's decode: colour
// in blue-green-red order, grey as indices into the quantised levels, CMYK
// and YCCK through the inverted-ink formula; rows bottom-up.
TEST(JPEGImage, DecodesRealFilesLikePlainLibjpeg) {
    struct Case {
        const char* Name;
        TPixelFormat Format;
    } cases[] = {
        {"libjpeg-turbo/testorig.jpg", pf24bit},     // baseline 4:2:0
        {"go/video-001.progressive.jpeg", pf24bit},  // decoded completely at once
        {"go/video-001.rgb.jpeg", pf24bit},          // coded in RGB
        {"go/video-001.221212.jpeg", pf24bit},       // unusual sampling
        {"go/video-001.restart2.jpeg", pf24bit},     // restart markers
        {"go/video-005.gray.jpeg", pf8bit},          // greyscale
        {"go/video-005.gray.q50.progressive.jpeg", pf8bit},
        {"go/video-001.cmyk.jpeg", pf32bit},                // CMYK, Adobe transform 0
        {"pillow/pil_sample_cmyk.jpg", pf32bit},            // YCCK, Adobe transform 2
        {"pillow/hopper_orientation_6.jpg", pf24bit},       // Exif rotation: shown as stored
        {"wuffs/peacock.default.truncated.jpeg", pf24bit},  // cut off: decodes to the end
        {"wuffs/peacock.progressive.truncated.jpeg", pf24bit},
        {"wuffs/artificial-jpeg/hippopotamus-sof-dht-swap.jpeg", pf24bit},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        Bytes file = ReadTestImage(c.Name);
        ReferenceDecode reference = DecodeReference(file);
        std::unique_ptr<TJPEGImage> jpeg = Load(file);
        EXPECT_EQ(jpeg->Width(), reference.Width);
        EXPECT_EQ(jpeg->Height(), reference.Height);

        TBitmap decoded;
        decoded.Assign(jpeg.get());
        ASSERT_EQ(decoded.PixelFormat(), c.Format);
        ASSERT_EQ(decoded.Width(), reference.Width);
        ASSERT_EQ(decoded.Height(), reference.Height);
        EXPECT_EQ(decoded.AlphaFormat(), afIgnored);
        EXPECT_FALSE(decoded.Transparent());
        EXPECT_GT(decoded.Image().FDIB.Header.biHeight, 0) << "rows must run bottom-up";

        EXPECT_EQ(RowsDifferingFrom(reference, decoded), 0) << "rows differing from plain libjpeg";
    }
}

// Block smoothing only touches coefficients a progressive file left
// incomplete, as a cut-off one does; the setting decides whether it is done,
// and changing it decodes anew.
TEST(JPEGImage, SmoothingSettingDecidesTheLookOfACutOffProgressiveFile) {
    Bytes file = ReadTestImage("go/video-001.progressive.truncated.jpeg");
    const ReferenceDecode smoothed = DecodeReference(file, true), unsmoothed = DecodeReference(file, false);
    ASSERT_NE(smoothed.Pixels, unsmoothed.Pixels) << "the file does not show block smoothing";
    std::unique_ptr<TJPEGImage> jpeg = Load(file);
    ASSERT_TRUE(jpeg->ProgressiveEncoding());
    for (bool smoothing : {true, false, true}) {
        SCOPED_TRACE(smoothing ? "smoothing on" : "smoothing off");
        jpeg->SetSmoothing(smoothing);
        TBitmap decoded;
        decoded.Assign(jpeg.get());
        ASSERT_EQ(decoded.PixelFormat(), pf24bit);
        EXPECT_EQ(RowsDifferingFrom(smoothing ? smoothed : unsmoothed, decoded), 0);
    }
}

// One-pass quantisation of grey output: the levels (j × 255 + 117) div 235,
// so a picture never shows more than 236 greys.
TEST(JPEGImage, GreyscaleGetsThe236LevelPalette) {
    std::unique_ptr<TJPEGImage> jpeg = Load(ReadTestImage("wuffs/peacock.grayscale.jpeg"));
    EXPECT_TRUE(jpeg->Grayscale());
    TBitmap decoded;
    decoded.Assign(jpeg.get());
    ASSERT_EQ(decoded.PixelFormat(), pf8bit);
    std::vector<gdi::PALETTEENTRY> palette = gdi::GetPaletteEntries(decoded.Palette());
    std::vector<gdi::RGBQUAD> table = gdi::GetDIBColorTable(decoded.Image().FDIBHandle);
    ASSERT_EQ(palette.size(), 236u);
    ASSERT_GE(table.size(), 236u);
    for (int j = 0; j < 236; ++j) {
        uint8_t level = static_cast<uint8_t>((j * 255 + 117) / 235);
        EXPECT_TRUE(palette[j].peRed == level && palette[j].peGreen == level && palette[j].peBlue == level) << j;
        EXPECT_TRUE(table[j].rgbRed == level && table[j].rgbGreen == level && table[j].rgbBlue == level) << j;
    }
}

// Loading reads only the header: an arithmetic-coded file loads with its
// size, then fails when the bitmap is needed and leaves the target alone,
// and fails again rather than handing out a half-made bitmap.
TEST(JPEGImage, ArithmeticFileFailsAtAssignmentAndLeavesTheTarget) {
    std::unique_ptr<TJPEGImage> before = Load(ReadTestImage("wuffs/hippopotamus.jpeg"));
    TBitmap decoded;
    decoded.Assign(before.get());
    const TBitmapImage* previous = &decoded.Image();

    std::unique_ptr<TJPEGImage> jpeg = Load(ReadTestImage("libjpeg-turbo/testimgari.jpg"));
    ReferenceDecode huffman = DecodeReference(ReadTestImage("libjpeg-turbo/testimgint.jpg"));
    EXPECT_EQ(jpeg->Width(), huffman.Width);
    EXPECT_EQ(jpeg->Height(), huffman.Height);
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_EQ(MessageOf<EJPEG>([&] { decoded.Assign(jpeg.get()); }), "JPEG error #1");
        EXPECT_EQ(&decoded.Image(), previous);
    }
}

// Decoded once: later assignments and copies share the same image; a new
// load decodes the new file.
TEST(JPEGImage, DecodesOnceAndAgainOnlyAfterANewLoad) {
    std::unique_ptr<TJPEGImage> jpeg = Load(ReadTestImage("go/video-001.jpeg"));
    TBitmap first, second;
    first.Assign(jpeg.get());
    second.Assign(jpeg.get());
    TJPEGImage copy;
    copy.Assign(jpeg.get());
    EXPECT_EQ(&first.Image(), &second.Image());
    EXPECT_EQ(&copy.Bitmap().Image(), &first.Image());

    TMemoryStream stream(ReadTestImage("wuffs/hippopotamus.jpeg"));
    jpeg->LoadFromStream(stream);
    EXPECT_EQ(jpeg->Width(), 36);
    TBitmap third;
    third.Assign(jpeg.get());
    EXPECT_EQ(third.Width(), 36);
    EXPECT_NE(&third.Image(), &first.Image());
}

TEST(JPEGImage, PngAndEmptyFiles) {
    TJPEGImage jpeg;
    TMemoryStream png(ReadTestImage("../pngsuite/basn2c08.png"));
    EXPECT_EQ(MessageOf<EJPEG>([&] { jpeg.LoadFromStream(png); }), "JPEG error #53");
    EXPECT_EQ(jpeg.Width(), 0);

    TMemoryStream empty;
    EXPECT_NO_THROW(jpeg.LoadFromStream(empty));
    EXPECT_EQ(jpeg.Width(), 0);
    EXPECT_TRUE(jpeg.Empty());
    TBitmap decoded;
    decoded.Assign(&jpeg);
    EXPECT_TRUE(decoded.Empty());
}

// Headers above the graphics layer's pixel limit load (only the size is
// read) and are refused when decoding starts, before anything of their size
// is allocated: for the progressive one libjpeg would first allocate and
// clear 1.5 GB of coefficients.
TEST(JPEGImage, PicturesAboveThePixelLimitAreRefusedBeforeAllocation) {
    for (const Bytes& file : {CraftedHeader(0xC2, 16385, 16384, 3), CraftedHeader(0xC0, 65500, 65500, 1)}) {
        std::unique_ptr<TJPEGImage> jpeg = Load(file);
        EXPECT_GT(int64_t{jpeg->Width()} * jpeg->Height(), gdi::MaxPixels());
        TBitmap decoded;
        long peakBefore = PeakMemoryKiB();
        EXPECT_EQ(MessageOf<EOutOfResources>([&] { decoded.Assign(jpeg.get()); }, TMessageForm::WithClassName),
                  "EOutOfResources: " + gdi::SystemErrorText(gdi::ERROR_NOT_ENOUGH_MEMORY));
        EXPECT_LT(PeakMemoryKiB() - peakBefore, 100 * 1024) << "KiB of new peak memory";
        EXPECT_TRUE(decoded.Empty());
    }
}

TEST(JPEGImage, SettingsOffTheRoadChangeTheDecoding) {
    std::unique_ptr<TJPEGImage> jpeg = Load(ReadTestImage("libjpeg-turbo/testorig.jpg"));
    int width = jpeg->Width();
    jpeg->SetScale(jsHalf);
    EXPECT_EQ(jpeg->Width(), (width + 1) / 2) << "before decoding";
    EXPECT_EQ(jpeg->Bitmap().Width(), (width + 1) / 2);
    jpeg->SetScale(jsFullSize);
    jpeg->SetGrayscale(true);
    EXPECT_EQ(jpeg->Bitmap().PixelFormat(), pf8bit);
    EXPECT_EQ(jpeg->Bitmap().Width(), width);
    jpeg->SetGrayscale(false);
    jpeg->SetPixelFormat(jf8Bit);
    EXPECT_EQ(jpeg->Bitmap().PixelFormat(), pf8bit);
    EXPECT_LE(gdi::GetPaletteEntries(jpeg->Bitmap().Palette()).size(), 236u);
}

// Written straight into 32-bit pixels, a colour or CMYK file gives each
// pixel of its decoded bitmap with a fourth byte of 255; other output and
// a picture already decoded keep to the bitmap.
TEST(JPEGImage, OpaquePixelsAreTheDecodedBitmapsWidened) {
    const std::pair<const char*, bool> cases[] = {
        {"libjpeg-turbo/testorig.jpg", true},           {"go/video-001.progressive.jpeg", true},
        {"wuffs/peacock.default.truncated.jpeg", true}, {"go/video-001.cmyk.jpeg", true},
        {"pillow/pil_sample_cmyk.jpg", true},           {"go/video-005.gray.jpeg", false},
    };
    for (const auto& [name, written] : cases) {
        SCOPED_TRACE(name);
        const Bytes file = ReadTestImage(name);
        std::unique_ptr<TJPEGImage> jpeg = Load(file);
        std::vector<uint32_t> pixels;
        ASSERT_EQ(jpeg->WriteOpaquePixels([&] {
            pixels.resize(size_t(jpeg->Width()) * size_t(jpeg->Height()));
            return pixels.data();
        }),
                  written);
        if (!written) continue;
        TBitmap decoded;
        decoded.Assign(Load(file).get());
        const int bytes = decoded.PixelFormat() == pf32bit ? 4 : 3;
        int differing = 0;
        for (int y = 0; y < decoded.Height(); ++y) {
            const uint8_t* row = decoded.ScanLine(y);
            for (int x = 0; x < decoded.Width(); ++x, row += bytes) {
                const uint32_t expected = 0xFF000000u | uint32_t(row[2]) << 16 | uint32_t(row[1]) << 8 | row[0];
                differing += pixels[size_t(y) * size_t(decoded.Width()) + size_t(x)] != expected;
            }
        }
        EXPECT_EQ(differing, 0);
    }
    std::unique_ptr<TJPEGImage> drawn = Load(ReadTestImage("libjpeg-turbo/testorig.jpg"));
    drawn->Bitmap();
    EXPECT_FALSE(drawn->WriteOpaquePixels([]() -> uint32_t* { throw std::logic_error("asked for room"); }));
}
