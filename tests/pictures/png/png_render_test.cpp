// What a PNG leaves in a TBitmap through Assign (the program's road), and
// drawing onto a canvas that already holds pixels.

#include <gtest/gtest.h>

#include "pictures/bitmap.h"
#include "pictures/png/png_image.h"
#include "png_test_files.h"

namespace {

std::unique_ptr<TPngImage> Loaded(const TBytes& file) {
    auto png = std::make_unique<TPngImage>();
    TMemoryStream stream(file);
    png->LoadFromStream(stream);
    return png;
}

// Blue, green, red, fourth byte of pixel x of row y of a 32-bit bitmap.
TBytes Pixel32(TBitmap& bitmap, int x, int y) {
    const uint8_t* p = bitmap.ScanLine(y) + 4 * x;
    return {p[0], p[1], p[2], p[3]};
}

const TBytes Plte = Chunk("PLTE", {200, 200, 200, 10, 20, 30, 0, 0, 0});

TEST(PngRender, PartialTransparencyEndsPremultipliedOnBlack) {
    struct {
        const char* Name;
        TBytes File;
        std::vector<TBytes> Want;  // per pixel of row 0
    } cases[] = {
        // Opaque pixels are copied; alpha 254, one step below, is still blended.
        {"RGB + alpha, no gamma on alpha",
         PngFile(IhdrData(4, 1, 8, 6),
                 {Chunk("gAMA", {0, 1, 0x86, 0xA0}),
                  IdatChunks(Unfiltered({{255, 0, 0, 128, 10, 20, 30, 0, 0, 255, 0, 255, 255, 255, 255, 254}}))}),
         {{0, 0, 128, 128}, {0, 0, 0, 0}, {0, 255, 0, 255}, {254, 254, 254, 254}}},
        {"grey + alpha, no gamma on the grey",
         PngFile(IhdrData(1, 1, 8, 4), {Chunk("gAMA", {0, 1, 0x86, 0xA0}), IdatChunks(Unfiltered({{200, 100}}))}),
         {{78, 78, 78, 100}}},
        {"palette, two entries below 255",
         PngFile(IhdrData(2, 1, 8, 3), {Plte, Chunk("tRNS", {100, 0}), IdatChunks(Unfiltered({{0, 2}}))}),
         {{79, 79, 79, 100}, {0, 0, 0, 255}}},
        {"palette, all 255",
         PngFile(IhdrData(2, 1, 8, 3), {Plte, Chunk("tRNS", {255, 255, 255}), IdatChunks(Unfiltered({{0, 1}}))}),
         {{200, 200, 200, 255}, {30, 20, 10, 255}}},
    };
    for (const auto& c : cases) {
        TBitmap bitmap;
        bitmap.Assign(Loaded(c.File).get());
        EXPECT_EQ(bitmap.PixelFormat(), pf32bit) << c.Name;
        EXPECT_EQ(bitmap.AlphaFormat(), afDefined) << c.Name;
        EXPECT_FALSE(bitmap.Transparent()) << c.Name;
        for (size_t x = 0; x < c.Want.size(); ++x)
            EXPECT_EQ(Pixel32(bitmap, int(x), 0), c.Want[x]) << c.Name << ", x " << x;
    }
}

TEST(PngRender, OpaqueAndBitTransparentPicturesKeepTheirFormat) {
    TBitmap rgb;
    rgb.Assign(Loaded(PngFile(IhdrData(1, 1, 8, 2),
                              {Chunk("gAMA", {0, 1, 0x86, 0xA0}), IdatChunks(Unfiltered({{128, 64, 1}}))}))
                   .get());
    EXPECT_EQ(rgb.PixelFormat(), pf24bit);
    EXPECT_EQ((TBytes{rgb.ScanLine(0)[0], rgb.ScanLine(0)[1], rgb.ScanLine(0)[2]}), (TBytes{21, 136, 186}));
    EXPECT_FALSE(rgb.Transparent());

    TBitmap grey;
    grey.Assign(Loaded(PngFile(IhdrData(8, 1, 1, 0), {IdatChunks(Unfiltered({{0b10100000}}))})).get());
    EXPECT_EQ(grey.PixelFormat(), pf1bit);
    EXPECT_EQ(grey.ScanLine(0)[0] & 0xF0, 0b10100000);

    // One fully transparent palette entry: indices and palette kept, the
    // entry's colour made the transparent colour.
    TBitmap keyed;
    keyed.Assign(
        Loaded(PngFile(IhdrData(3, 1, 8, 3), {Plte, Chunk("tRNS", {255, 0}), IdatChunks(Unfiltered({{0, 1, 2}}))}))
            .get());
    EXPECT_EQ(keyed.PixelFormat(), pf8bit);
    EXPECT_TRUE(keyed.Transparent());
    EXPECT_EQ(keyed.TransparentColor() & 0xFFFFFF, 0x1E140A);
    const auto entries = gdi::GetPaletteEntries(keyed.Palette());
    ASSERT_GE(entries.size(), 3u);
    const uint8_t* row = keyed.ScanLine(0);
    for (int x = 0; x < 3; ++x) {
        const gdi::PALETTEENTRY& e = entries[row[x]];
        const TBytes want[] = {{200, 200, 200}, {10, 20, 30}, {0, 0, 0}};
        EXPECT_EQ((TBytes{e.peRed, e.peGreen, e.peBlue}), want[x]) << "x " << x;
    }
}

TEST(PngRender, AnOpaquePictureClearsAnEarlierTransparentColour) {
    TBitmap decoded;
    decoded.Assign(
        Loaded(PngFile(IhdrData(1, 1, 8, 2), {Chunk("tRNS", {0, 9, 0, 9, 0, 9}), IdatChunks(Unfiltered({{9, 9, 9}}))}))
            .get());
    ASSERT_TRUE(decoded.Transparent());
    // The next picture has pixels of the old transparent colour.
    decoded.Assign(Loaded(PngFile(IhdrData(1, 1, 8, 2), {IdatChunks(Unfiltered({{9, 9, 9}}))})).get());
    EXPECT_FALSE(decoded.Transparent());
}

TEST(PngRender, PartialDrawingOverPixelsAndStretched) {
    // 2 × 1 RGB + alpha drawn into 4 × 2 over (100, 100, 100, 200).
    auto png = Loaded(PngFile(IhdrData(2, 1, 8, 6), {IdatChunks(Unfiltered({{0, 0, 200, 128, 0, 0, 0, 0}}))}));
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(4, 2);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 4; ++x)
            std::fill(target.ScanLine(y) + 4 * x, target.ScanLine(y) + 4 * x + 4, 100),
                target.ScanLine(y)[4 * x + 3] = 200;
    png->Draw(target.Canvas(), Rect(0, 0, 4, 2));
    for (int y = 0; y < 2; ++y) {
        EXPECT_EQ(Pixel32(target, 0, y), (TBytes{150, 50, 50, 228})) << "y " << y;
        EXPECT_EQ(Pixel32(target, 1, y), (TBytes{150, 50, 50, 228})) << "y " << y;
        EXPECT_EQ(Pixel32(target, 3, y), (TBytes{100, 100, 100, 200})) << "alpha 0 leaves the pixel";
    }
}

TEST(PngRender, PartialDrawingOntoAPartlyTransparentTarget) {
    // Target (100, 100, 100) at alpha 253 under each kind of partial alpha.
    auto drawnOver = [](const TBytes& file, int width) {
        auto png = Loaded(file);
        TBitmap target;
        target.SetPixelFormat(pf32bit);
        target.SetSize(width, 1);
        for (int x = 0; x < width; ++x) {
            uint8_t* p = target.ScanLine(0) + 4 * x;
            p[0] = p[1] = p[2] = 100;
            p[3] = 253;
        }
        png->Draw(target.Canvas(), Rect(0, 0, width, 1));
        std::vector<TBytes> pixels;
        for (int x = 0; x < width; ++x) pixels.push_back(Pixel32(target, x, 0));
        return pixels;
    };
    // Straight alpha 128: colour (127 * 100 + 128 * c + 127) / 255; alpha
    // 255 - (2 * 127 + 127) / 255 = 254.
    EXPECT_EQ(drawnOver(PngFile(IhdrData(2, 1, 8, 6), {IdatChunks(Unfiltered({{0, 0, 200, 128, 200, 0, 0, 128}}))}), 2),
              (std::vector<TBytes>{{150, 50, 50, 254}, {50, 50, 150, 254}}));
    EXPECT_EQ(drawnOver(PngFile(IhdrData(1, 1, 8, 4), {IdatChunks(Unfiltered({{200, 128}}))}), 1),
              (std::vector<TBytes>{{150, 150, 150, 254}}));
    // Palette entries at alpha 100, 50 and 255: colour (a * c + (255 - a) *
    // 100 + 255) >> 8, and the entry's alpha replaces the target's.
    EXPECT_EQ(
        drawnOver(PngFile(IhdrData(3, 1, 8, 3), {Plte, Chunk("tRNS", {100, 50}), IdatChunks(Unfiltered({{0, 1, 2}}))}),
                  3),
        (std::vector<TBytes>{{139, 139, 139, 100}, {86, 84, 83, 50}, {0, 0, 0, 255}}));
}

TEST(PngRender, PaletteIndexWithoutEntryFailsInPartialDrawing) {
    // Index 5 of a 3-entry palette, with partial transparency.
    auto png = Loaded(PngFile(IhdrData(1, 1, 8, 3), {Plte, Chunk("tRNS", {100, 50}), IdatChunks(Unfiltered({{5}}))}));
    TBitmap bitmap;
    try {
        bitmap.Assign(png.get());
        ADD_FAILURE() << "assigned";
    } catch (const EPngError& e) {
        EXPECT_EQ(e.Message(), png_messages::NoSuchPaletteEntry);
    }
}

TEST(PngRender, ACopyOutlivesItsOriginal) {
    auto original = Loaded(PngFile(IhdrData(1, 1, 8, 6), {IdatChunks(Unfiltered({{30, 20, 10, 255}}))}));
    std::unique_ptr<TGraphic> copy = original->NewInstance();
    copy->Assign(original.get());
    original.reset();
    TBitmap bitmap;
    bitmap.Assign(copy.get());
    EXPECT_EQ(Pixel32(bitmap, 0, 0), (TBytes{10, 20, 30, 255}));
}

}  // namespace
