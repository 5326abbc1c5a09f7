// A target offered before the load: which pictures decode into it, and that
// what they write there is what the picture would have written afterwards.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/png/png_image.h"
#include "png_test_files.h"

namespace {

using TPixels = std::vector<uint32_t>;

// Loads with a target offered; the pixels written there, none when the
// target was not asked for.
TPixels LoadOffering(TPngImage& png, const std::function<void()>& load) {
    TPixels pixels;
    png.OfferOpaqueTarget([&] {
        pixels.assign(size_t(png.Width()) * size_t(png.Height()), 0);
        return pixels.data();
    });
    load();
    return pixels;
}

TPixels LoadOffering(TPngImage& png, const TBytes& file) {
    TMemoryStream stream(file);
    return LoadOffering(png, [&] { png.LoadFromStream(stream); });
}

// The first row of the picture drawn into a bitmap, as its bytes.
TBytes FirstRowDrawn(TPngImage& png) {
    TBitmap bitmap;
    bitmap.Assign(&png);
    const uint8_t* row = bitmap.ScanLine(0);
    return TBytes(row, row + bitmap.Width() * 4);
}

// The pixels of the same file loaded without an offer, written afterwards.
TPixels WrittenAfterwards(const TBytes& file) {
    TPngImage png;
    TMemoryStream stream(file);
    png.LoadFromStream(stream);
    TPixels pixels(size_t(png.Width()) * size_t(png.Height()));
    EXPECT_TRUE(png.WriteOpaquePixels([&] { return pixels.data(); }));
    return pixels;
}

uint32_t* NoRoomExpected() { throw std::logic_error("asked for room"); }

TBytes TransparentColour() { return Chunk("tRNS", {0, 10, 0, 20, 0, 30}); }

}  // namespace

TEST(PngOfferedTarget, OpaqueTrueColourDecodesIntoTheTargetAlone) {
    const TBytes gamma = Chunk("gAMA", {0, 0, 0x75, 0x30});  // 0.3: the samples change
    const TBytes rows = IdatChunks(Unfiltered({{128, 64, 1, 255, 254, 0}, {10, 20, 30, 0, 0, 0}}));
    for (const TBytes& file : {PngFile(IhdrData(2, 2, 8, 2), {rows}), PngFile(IhdrData(2, 2, 8, 2), {gamma, rows})}) {
        TPngImage png;
        const TPixels pixels = LoadOffering(png, file);
        EXPECT_EQ(pixels, WrittenAfterwards(file));
        EXPECT_TRUE(png.WriteOpaquePixels(NoRoomExpected));
        // Nothing of its own is left to draw, and drawing says so.
        TBitmap bitmap;
        EXPECT_THROW(bitmap.Assign(&png), EInvalidGraphicOperation);
    }
}

TEST(PngOfferedTarget, PixelsTheDataNeverReachesAreOpaqueBlack) {
    // Two and a half rows of a 2 × 4 picture, then the compressed data end.
    const TBytes file =
        PngFile(IhdrData(2, 4, 8, 2), {IdatChunks({0, 1, 2, 3, 4, 5, 6, 0, 7, 8, 9, 10, 11, 12, 0, 13})});
    TPngImage png;
    const TPixels pixels = LoadOffering(png, file);
    EXPECT_EQ(pixels, WrittenAfterwards(file));
    EXPECT_EQ(pixels.back(), 0xFF000000u);
}

TEST(PngOfferedTarget, TransparencyKeepsThePicturesOwnPixels) {
    const TBytes rows = IdatChunks(Unfiltered({{10, 20, 30, 1, 2, 3}}));
    // Before the image data, as it belongs, and after it, where a lenient
    // reader still finds it: either way the picture is loaded as usual.
    for (const TBytes& file : {PngFile(IhdrData(2, 1, 8, 2), {TransparentColour(), rows}),
                               PngFile(IhdrData(2, 1, 8, 2), {rows, TransparentColour()})}) {
        TPngImage offered, plain;
        LoadOffering(offered, file);
        TMemoryStream stream(file);
        plain.LoadFromStream(stream);
        EXPECT_EQ(offered.TransparencyMode(), ptmBit);
        EXPECT_FALSE(offered.WriteOpaquePixels(NoRoomExpected));
        EXPECT_EQ(FirstRowDrawn(offered), FirstRowDrawn(plain));
    }
}

TEST(PngOfferedTarget, OtherKindsAndLaterLoadsIgnoreTheOffer) {
    // Grey, palette and 16-bit pictures keep their planes.
    for (const char* name : {"basn0g08.png", "basn3p08.png", "basn2c16.png", "basn6a08.png"}) {
        TPngImage png;
        EXPECT_TRUE(LoadOffering(png, [&] { png.LoadFromFile(SuiteFile(name)); }).empty()) << name;
    }
    // The offer was for one load: the next one keeps its pixels.
    TPngImage png;
    const TBytes file = PngFile(IhdrData(1, 1, 8, 2), {IdatChunks(Unfiltered({{1, 2, 3}}))});
    EXPECT_EQ(LoadOffering(png, file).size(), 1u);
    TMemoryStream stream(file);
    png.LoadFromStream(stream);
    TBitmap bitmap;
    EXPECT_NO_THROW(bitmap.Assign(&png));
}
