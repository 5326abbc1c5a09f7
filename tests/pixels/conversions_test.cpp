#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/picture.h"
#include "pixels/bitmap32.h"
#include "pixels/conversions.h"

namespace {

struct TBgra {
    uint8_t b, g, r, a;
};

// A w × h TBitmap of `format` whose pixel (x, y) gets pixels[y * w + x]:
// colour-table indices (in `b`) for 8 bits, bytes for 24 and 32 bits.
std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int w, int h, const std::vector<TBgra>& pixels,
                                    const std::vector<gdi::PALETTEENTRY>& palette = {}) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(format);
    if (!palette.empty()) bitmap->SetPalette(gdi::CreatePalette(palette));
    bitmap->SetSize(w, h);
    const size_t bytes = format == pf8bit ? 1 : format == pf24bit ? 3 : 4;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::memcpy(bitmap->ScanLine(y) + x * bytes, &pixels[y * w + x], bytes);
    return bitmap;
}

std::vector<TColor32> Pixels(const TCustomBitmap32& bitmap) {
    return {bitmap.Bits(), bitmap.Bits() + size_t(bitmap.Width()) * bitmap.Height()};
}

// Converts into a bitmap already of the same size and full of other pixels,
// so that nothing of an earlier picture may survive.
std::vector<TColor32> Converted(const TBitmap& source) {
    TBitmap32 target(source.Width(), source.Height());
    target.Clear(0xDEADBEEF);
    target.Assign(&source);
    return Pixels(target);
}

const TBgra White{255, 255, 255, 0}, Black{0, 0, 0, 0}, Colour{0x30, 0x20, 0x10, 0};

TEST(BitmapToBitmap32, PixelValuesForEachKindOfSource) {
    {
        SCOPED_TRACE("24 bits: opaque source colours");
        auto bitmap = MakeBitmap(pf24bit, 3, 1, {Colour, White, Black});
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0xFF102030, 0xFFFFFFFF, 0xFF000000}));
    }
    {
        SCOPED_TRACE("8 bits: the colour-table entry");
        const std::vector<gdi::PALETTEENTRY> palette = {{0, 0, 0, 0}, {255, 0, 0, 0}, {0x10, 0x20, 0x30, 0}};
        auto bitmap = MakeBitmap(pf8bit, 3, 1, {{1, 0, 0, 0}, {2, 0, 0, 0}, {0, 0, 0, 0}}, palette);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0xFFFF0000, 0xFF102030, 0xFF000000}));
    }
    {
        SCOPED_TRACE("32 bits, alpha ignored: the fourth byte as stored");
        auto bitmap = MakeBitmap(pf32bit, 3, 1, {{0x30, 0x20, 0x10, 0}, {0x30, 0x20, 0x10, 255}, {1, 2, 3, 0x7F}});
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0x00102030, 0xFF102030, 0x7F030201}));
    }
    for (TAlphaFormat format : {afDefined, afPremultiplied}) {
        SCOPED_TRACE("32 bits with alpha: premultiplied bytes as stored");
        auto bitmap = MakeBitmap(pf32bit, 3, 1, {{200, 100, 50, 128}, {255, 255, 255, 0}, {9, 8, 7, 255}});
        bitmap->SetAlphaFormat(format);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0x80193264, 0x00000000, 0xFF070809}));
    }
}

TEST(BitmapToBitmap32, TransparentSources) {
    {
        SCOPED_TRACE("24 bits, white transparent: white pixels opaque black");
        auto bitmap = MakeBitmap(pf24bit, 4, 1, {White, Colour, White, Black});
        bitmap->SetTransparentColor(clWhite);
        bitmap->SetTransparent(true);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0xFF000000, 0xFF102030, 0xFF000000, 0xFF000000}));
    }
    {
        SCOPED_TRACE("24 bits, black transparent: black pixels transparent black");
        auto bitmap = MakeBitmap(pf24bit, 3, 1, {Black, Colour, White});
        bitmap->SetTransparentColor(clBlack);
        bitmap->SetTransparent(true);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0x00000000, 0xFF102030, 0xFFFFFFFF}));
    }
    {
        // The mask takes the key exactly, so no pixel keeps a key colour other than black.
        SCOPED_TRACE("24 bits, odd key: its pixels opaque black, the colour one blue step away drawn");
        auto bitmap = MakeBitmap(pf24bit, 2, 1, {{1, 2, 3, 0}, {0, 2, 3, 0}});
        bitmap->SetTransparentColor(0x010203);  // blue 1, green 2, red 3
        bitmap->SetTransparent(true);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0xFF000000, 0xFF030200}));
    }
    {
        SCOPED_TRACE("32 bits, red transparent: red pixels vanish, others keep four bytes");
        auto bitmap = MakeBitmap(pf32bit, 3, 1, {{0, 0, 255, 0}, {0x30, 0x20, 0x10, 0x40}, {0, 0, 0, 0xFF}});
        bitmap->SetTransparentColor(clRed);
        bitmap->SetTransparent(true);
        EXPECT_EQ(Converted(*bitmap), (std::vector<TColor32>{0x00000000, 0x40102030, 0xFF000000}));
    }
}

TEST(BitmapToBitmap32, EmptyAndPictureSources) {
    TBitmap32 target(2, 2);
    TBitmap empty;
    target.Assign(&empty);
    EXPECT_TRUE(target.Empty());
    EXPECT_EQ(target.Width(), 0);

    TPicture picture;
    picture.Assign(MakeBitmap(pf24bit, 1, 1, {Colour}).get());
    target.Assign(&picture);
    EXPECT_EQ(Pixels(target), std::vector<TColor32>{0xFF102030});

    TPicture nothing;
    try {
        target.Assign(&nothing);
        FAIL() << "an empty picture was taken";
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "Cannot assign a TPicture to a TBitmap32");
    }
}

TEST(BitmapToBitmap32, MemoryStoreIsFilledThroughAPlatformStore) {
    auto bitmap = MakeBitmap(pf24bit, 2, 1, {Colour, White});
    TCustomBitmap32 memory(2, 1);  // starts opaque black
    memory.Assign(bitmap.get());
    EXPECT_EQ(Pixels(memory), (std::vector<TColor32>{0xFF102030, 0xFFFFFFFF}));
    EXPECT_EQ(memory.BackendSupport<ICanvasSupport>(), nullptr);  // it kept its own store
}

// The bytes of a 32-bit TBitmap, top row first.
std::vector<TColor32> BitmapPixels(TBitmap& bitmap) {
    std::vector<TColor32> pixels;
    for (int y = 0; y < bitmap.Height(); ++y) {
        const auto* row = reinterpret_cast<const TColor32*>(bitmap.ScanLine(y));
        pixels.insert(pixels.end(), row, row + bitmap.Width());
    }
    return pixels;
}

TEST(Bitmap32ToBitmap, PictureGetsA32BitBitmapOfExactlyTheSameBytes) {
    TBitmap32 source(3, 2);
    const std::vector<TColor32> expected = {0x00102030, 0x80FF0000, 0xFFFFFFFF, 0, 0x01020304, 0xFF000000};
    std::copy(expected.begin(), expected.end(), source.Bits());

    TPicture picture;
    picture.Bitmap().SetSize(7, 9);
    source.AssignTo(picture);
    TBitmap& shown = picture.Bitmap();
    EXPECT_EQ(shown.Width(), 3);
    EXPECT_EQ(shown.Height(), 2);
    EXPECT_EQ(shown.PixelFormat(), pf32bit);
    EXPECT_EQ(shown.AlphaFormat(), afIgnored);
    EXPECT_FALSE(shown.Transparent());
    EXPECT_EQ(BitmapPixels(shown), expected);

    // A memory store reaches a bitmap too, and an empty one empties it.
    TCustomBitmap32 memory(1, 1);
    TBitmap direct;
    memory.AssignTo(direct);
    EXPECT_EQ(BitmapPixels(direct), std::vector<TColor32>{0xFF000000});
    TBitmap32().AssignTo(direct);
    EXPECT_TRUE(direct.Empty());
}

// Real files: the same picture stored in several layouts converts to the
// same colours; a 32-bit file with zero fourth bytes gives alpha 0.
std::vector<TColor32> ConvertedFile(const std::string& name) {
    TBitmap bitmap;
    bitmap.LoadFromFile(std::string(TW_TESTIMAGES_DIR) + "/bmpsuite/g/" + name);
    return Converted(bitmap);
}

TEST(BitmapToBitmap32, BmpSuiteLayoutsAgree) {
    const std::vector<TColor32> truecolour = ConvertedFile("rgb24.bmp");
    ASSERT_EQ(truecolour.size(), 127u * 64u);
    for (TColor32 pixel : truecolour) ASSERT_EQ(pixel >> 24, 0xFFu);
    EXPECT_EQ(ConvertedFile("rgb24pal.bmp"), truecolour);
    std::vector<TColor32> withoutAlpha = truecolour;
    for (TColor32& pixel : withoutAlpha) pixel &= 0x00FFFFFF;
    EXPECT_EQ(ConvertedFile("rgb32.bmp"), withoutAlpha);

    // The 8-bit picture: its colour table, bottom-up, top-down and run-length
    // encoded (a device-dependent image) all give the same opaque colours.
    TBitmap indexed;
    indexed.LoadFromFile(std::string(TW_TESTIMAGES_DIR) + "/bmpsuite/g/pal8.bmp");
    ASSERT_EQ(indexed.PixelFormat(), pf8bit);
    const std::vector<gdi::RGBQUAD> table = gdi::GetDIBColorTable(indexed.Handle());
    std::vector<TColor32> expected;
    for (int y = 0; y < indexed.Height(); ++y)
        for (int x = 0; x < indexed.Width(); ++x) {
            const uint8_t index = indexed.ScanLine(y)[x];
            ASSERT_LT(index, table.size());
            const gdi::RGBQUAD& entry = table[index];
            expected.push_back(0xFF000000u | entry.rgbRed << 16 | entry.rgbGreen << 8 | entry.rgbBlue);
        }
    EXPECT_EQ(Converted(indexed), expected);
    for (const char* name : {"pal8topdown.bmp", "pal8rle.bmp", "pal8v5.bmp"})
        EXPECT_EQ(ConvertedFile(name), expected) << name;
}

}  // namespace
