// TWICImage over crafted TIFFs and damaged files: straight and associated
// alpha reach the bitmap premultiplied, damaged data fails with the imaging
// component's result code (silently), and the decoder hook takes other data.

#include <gtest/gtest.h>

#include "tiff_test_support.h"

#include <cmath>

#include "pictures/tiff/tiff_decoder.h"

using namespace tifftest;

namespace {

constexpr uint16_t Rgb = 2;
constexpr uint16_t MinIsBlack = 1;
constexpr uint16_t Separated = 5;

uint32_t OnlyPixel(const std::vector<uint8_t>& tiff) {
    TWICImage image;
    LoadBytes(image, tiff);
    TBitmap decoded;
    decoded.Assign(&image);
    EXPECT_EQ(decoded.AlphaFormat(), afDefined);
    const std::vector<uint32_t> pixels = Pixels32(decoded);
    return pixels.empty() ? 0 : pixels[0];
}

TEST(TiffCrafted, AlphaReachesTheBitmapPremultipliedWhateverItsKind) {
    // Red 50, green 100, blue 200 at alpha 128 as stored straight, and the
    // same colour as stored premultiplied; both end as blue 100, green 50,
    // red 25, alpha 128.
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Rgb, 2, {50, 100, 200, 128})), 0x80193264u);
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Rgb, 1, {25, 50, 100, 128})), 0x80193264u);
    // Fully transparent pixels carry no colour; opaque ones keep theirs.
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Rgb, 2, {50, 100, 200, 0})), 0x00000000u);
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 3, Rgb, 0, {50, 100, 200})), 0xFF3264C8u);
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 2, MinIsBlack, 2, {90, 255})), 0xFF5A5A5Au);
}

// The straight blue, green, red and alpha bytes the decoder hands over.
std::vector<uint8_t> DecodedFrame(const std::vector<uint8_t>& tiff) {
    const auto decoder = imaging::CreateTiffDecoder(tiff);
    return decoder->DecodeFrame(0).Pixels;
}

TEST(TiffCrafted, AssociatedAlphaIsDividedOutRoundingToNearest) {
    // Stored premultiplied red, green, blue, alpha; worked by hand:
    // 25 * 255 / 128 = 49.8 -> 50, 1 * 255 / 128 = 1.99 -> 2,
    // 199 * 255 / 200 = 253.7 -> 254, 100 * 255 / 200 = 127.5 -> 128,
    // 254 * 255 / 200 = 323.9 -> 255 at most.
    EXPECT_EQ(DecodedFrame(MakeTiff(4, 1, 4, Rgb, 1, {25, 0, 1, 128, 199, 100, 254, 200, 9, 9, 9, 0, 10, 20, 30, 255})),
              (std::vector<uint8_t>{2, 0, 50, 128, 255, 128, 254, 200, 0, 0, 0, 0, 30, 20, 10, 255}));

    // Every colour value at alpha 77, against the nearest straight value.
    std::vector<uint8_t> stored;
    for (int v = 0; v <= 77; ++v) stored.insert(stored.end(), {uint8_t(v), uint8_t(77 - v), uint8_t(v / 2), 77});
    const std::vector<uint8_t> frame = DecodedFrame(MakeTiff(78, 1, 4, Rgb, 1, stored));
    ASSERT_EQ(frame.size(), stored.size());
    auto straight = [](int v) { return uint8_t(std::floor(v * 255.0 / 77 + 0.5)); };
    for (int v = 0; v <= 77; ++v) {
        const uint8_t* bgra = &frame[size_t(v) * 4];
        EXPECT_EQ((std::vector<int>{bgra[0], bgra[1], bgra[2], bgra[3]}),
                  (std::vector<int>{straight(v / 2), straight(77 - v), straight(v), 77}))
            << "value " << v;
    }
}

TEST(TiffCrafted, ColoursArriveTopRowFirstAndInksBecomeLight) {
    TWICImage image;
    LoadBytes(image, MakeTiff(2, 2, 3, Rgb, 0, {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}));
    TBitmap decoded;
    decoded.Assign(&image);
    EXPECT_EQ(Pixels32(decoded), (std::vector<uint32_t>{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF}));
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Separated, 0, {0, 255, 255, 0})), 0xFFFF0000u);  // magenta + yellow
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Separated, 0, {0, 0, 0, 255})), 0xFF000000u);    // black ink
    EXPECT_EQ(OnlyPixel(MakeTiff(1, 1, 4, Separated, 0, {0, 0, 0, 0})), 0xFFFFFFFFu);      // no ink
}

TEST(TiffCrafted, DamagedOrForeignDataFailsWithTheComponentsCode) {
    const std::vector<uint8_t> good = ReadFileBytes(SuitePath("libtiff-test-images/rgb-3c-8b.tiff"));
    const std::vector<uint8_t> lzw = ReadFileBytes(SuitePath("go/blue-purple-pink.lzwcompressed.tiff"));
    std::vector<uint8_t> badDirectory = good;
    badDirectory[4] = badDirectory[5] = badDirectory[6] = badDirectory[7] = 0xFF;  // first IFD beyond the end
    std::vector<uint8_t> noStrips = MakeTiff(4, 4, 3, Rgb, 0, std::vector<uint8_t>(48, 7));
    noStrips.resize(8);  // header only
    const std::vector<uint8_t> png = ReadFileBytes(std::string(TW_TESTIMAGES_DIR) + "/pngsuite/basn2c08.png");
    const std::vector<uint8_t> bmp = ReadFileBytes(std::string(TW_TESTIMAGES_DIR) + "/bmpsuite/g/rgb24.bmp");
    const std::vector<uint8_t> huge = MakeTiff(20000, 20000, 3, Rgb, 0, std::vector<uint8_t>(48, 7));
    ASSERT_FALSE(png.empty() || bmp.empty());

    const std::pair<std::vector<uint8_t>, const char*> cases[] = {
        {std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), "Invalid image (0x88982F60)"},
        {std::vector<uint8_t>(lzw.begin(), lzw.begin() + lzw.size() / 3), "Invalid image (0x88982F60)"},
        {std::vector<uint8_t>(good.begin(), good.begin() + 10), "Invalid image (0x88982F60)"},
        {badDirectory, "Invalid image (0x88982F60)"},
        {noStrips, "Invalid image (0x88982F60)"},
        {png, "Invalid image (0x88982F50)"},
        {bmp, "Invalid image (0x88982F50)"},
        {{}, "Invalid image (0x88982F50)"},
        {huge, "Invalid image (0x8007000E)"},
    };
    testing::internal::CaptureStderr();
    testing::internal::CaptureStdout();
    for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(LoadError(cases[i].first), cases[i].second) << "case " << i;
    // The suite's corrupt and unusual files load or fail, but never crash or
    // loop (two have directory chains that point back at themselves).
    for (const char* name :
         {"go/invalid-palette-ref.tiff", "libtiff-test-images/logluv-3c-16b.tiff", "libtiff-pics/smallliz.tif",
          "image-tiff-seq/seq-1c-8b-tiled-20f3db0c.tiff", "libtiff-test-images/test_ifd_loop_to_self.tif",
          "libtiff-test-images/test_ifd_loop_to_first.tif"}) {
        const std::string error = LoadError(ReadFileBytes(SuitePath(name)));
        EXPECT_TRUE(error == NothingRaised || error.rfind("Invalid image (0x", 0) == 0) << name << ": " << error;
    }
    // libtiff's own complaints are collected, never printed.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

// A stand-in for one of the program's own readers, as the window will plug
// them in: it takes GIF data and delivers a fixed frame (or none).
class FixedDecoder : public imaging::Decoder {
public:
    explicit FixedDecoder(int frames) : FFrames(frames) {}
    imaging::ContainerFormat Container() const override { return imaging::ContainerFormat::Gif; }
    int FrameCount() const override { return FFrames; }
    imaging::Frame DecodeFrame(int) override { return {2, 1, {1, 2, 3, 255, 4, 5, 6, 0}}; }

private:
    int FFrames;
};

TEST(TiffCrafted, OtherFormatsGoToTheDecoderRegisteredForThem) {
    const std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
    EXPECT_EQ(LoadError(gif), "Invalid image (0x88982F50)");

    auto factory = imaging::SharedImagingFactory();
    auto previous = factory->RegisterDecoder(
        imaging::ContainerFormat::Gif, [](std::span<const uint8_t>) { return std::make_unique<FixedDecoder>(1); });
    TWICImage image;
    LoadBytes(image, gif);
    EXPECT_EQ(image.ImageFormat(), wifGif);
    TBitmap decoded;
    decoded.Assign(&image);
    EXPECT_EQ(Pixels32(decoded), (std::vector<uint32_t>{0xFF030201, 0x00000000}));

    factory->RegisterDecoder(imaging::ContainerFormat::Gif,
                             [](std::span<const uint8_t>) { return std::make_unique<FixedDecoder>(0); });
    EXPECT_EQ(LoadError(gif), "Invalid image frame index 0: there are 0 frames (0--1)");
    factory->RegisterDecoder(imaging::ContainerFormat::Gif, previous);
    EXPECT_EQ(LoadError(gif), "Invalid image (0x88982F50)");
}

}  // namespace
