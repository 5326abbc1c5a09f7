// TBitmap: sharing and copy on write, the rebuild rules, pixel access,
// alpha format, transparency, and what Draw leaves on a 32-bit target.

#include <gtest/gtest.h>

#include <cstring>

#include "tests/pictures/gdi/gdi_test_support.h"
#include "pictures/bitmap.h"
#include "pictures/picture.h"

using namespace testing_support;

namespace {

// Writes blue, green, red (and a fourth byte for 32 bits) at (x, y).
void Put(TBitmap& bitmap, int x, int y, uint32_t bgra) {
    const int bytes = bitmap.PixelFormat() == pf32bit ? 4 : 3;
    std::memcpy(bitmap.ScanLine(y) + x * bytes, &bgra, size_t(bytes));
}

std::unique_ptr<TBitmap> MakeBitmap(TPixelFormat format, int width, int height) {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(format);
    bitmap->SetSize(width, height);
    return bitmap;
}

// A zero-filled, top-down 32-bit store with a canvas over it.
struct Store {
    Dib Target;
    TDCCanvas Canvas;
    Store(int width, int height)
        : Target(MakeDib(Describe(width, -height, 32))), Canvas(Target.DC, Rect(0, 0, width, height)) {}
    uint32_t At(int x, int y) const {
        uint32_t value;
        std::memcpy(&value, Target.Bits + y * Target.RowBytes + x * 4, 4);
        return value;
    }
};

TEST(Bitmap, SharedImageIsCopiedOnlyWhenOneHolderDraws) {
    auto source = MakeBitmap(pf24bit, 8, 4);
    Put(*source, 0, 0, 0x102030);
    TBitmap first, second;
    first.Assign(source.get());
    second.Assign(source.get());
    EXPECT_EQ(&first.Image(), &second.Image()) << "assignment copies no pixels";
    source.reset();  // freeing the source leaves the shared pixels intact
    first.Canvas().MoveTo(0, 0);
    first.Canvas().LineTo(8, 0);
    EXPECT_NE(&first.Image(), &second.Image());
    EXPECT_EQ(first.ScanLine(0)[0], 0);
    EXPECT_EQ(second.ScanLine(0)[0], 0x30);
    EXPECT_EQ(second.ScanLine(0)[2], 0x10);
    // Writing through ScanLine of a sharer copies as well.
    TBitmap third;
    third.Assign(&second);
    third.ScanLine(0)[0] = 0x99;
    EXPECT_EQ(second.ScanLine(0)[0], 0x30);
}

TEST(Bitmap, SetSizeFillsWhiteAndKeepsOldPixelsTopLeft) {
    auto bitmap = MakeBitmap(pf24bit, 200, 100);
    EXPECT_EQ(bitmap->PixelFormat(), pf24bit);
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 600; ++x) ASSERT_EQ(bitmap->ScanLine(y)[x], 255) << x << "," << y;
    int changes = 0;
    bitmap->SetOnChange([&](void*) { ++changes; });
    bitmap->SetSize(200, 100);
    EXPECT_EQ(changes, 0) << "same size: no change";

    auto small = MakeBitmap(pf24bit, 2, 2);
    Put(*small, 1, 1, 0xFF0000);  // red
    small->SetSize(3, 3);
    EXPECT_EQ(small->ScanLine(1)[3 + 2], 0xFF);
    EXPECT_EQ(small->ScanLine(2)[6], 0xFF) << "new pixels are white";
    small->Canvas().Brush().Color = clRed;  // with a canvas the brush colour fills
    small->SetSize(4, 3);
    EXPECT_EQ(small->ScanLine(0)[9], 0x00);
    EXPECT_EQ(small->ScanLine(0)[11], 0xFF);
    EXPECT_EQ(small->ScanLine(1)[3 + 2], 0xFF) << "old pixels stay";

    TBitmap device;  // no pixel format set: device-dependent
    device.SetSize(3, 2);
    EXPECT_EQ(device.PixelFormat(), pfDevice);
    EXPECT_EQ(device.HandleType(), bmDDB);
}

TEST(Bitmap, PixelFormatChanges) {
    auto bitmap = MakeBitmap(pf24bit, 3, 1);
    Put(*bitmap, 0, 0, 0xFF0000);  // red
    Put(*bitmap, 1, 0, 0x123456);
    int changes = 0;
    bitmap->SetOnChange([&](void*) { ++changes; });
    bitmap->SetPixelFormat(pf24bit);
    EXPECT_EQ(changes, 0);
    EXPECT_THROW(
        try { bitmap->SetPixelFormat(pfCustom); } catch (const EInvalidGraphic& error) {
            EXPECT_STREQ(error.what(), "Invalid pixel format");
            throw;
        },
        EInvalidGraphic);

    bitmap->SetPixelFormat(pf32bit);  // deeper at the same size: converted exactly
    EXPECT_EQ(bitmap->PixelFormat(), pf32bit);
    uint32_t pixel;
    std::memcpy(&pixel, bitmap->ScanLine(0) + 4, 4);
    EXPECT_EQ(pixel, 0x00123456u);
    bitmap->SetPixelFormat(pf16bit);
    EXPECT_EQ(bitmap->PixelFormat(), pf16bit);
    EXPECT_EQ(bitmap->Image().FDIB.Masks[0], 0xF800u);
    bitmap->SetPixelFormat(pf8bit);  // halftone palette, nearest colours
    EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
    ASSERT_TRUE(bitmap->Palette());
    const auto table = gdi::GetDIBColorTable(bitmap->Handle());
    const gdi::RGBQUAD red = table[bitmap->ScanLine(0)[0]];
    EXPECT_EQ(Packed(red), 0xFF0000u);
    bitmap->SetPixelFormat(pfDevice);
    EXPECT_EQ(bitmap->HandleType(), bmDDB);
    bitmap->SetPixelFormat(pf1bit);
    EXPECT_EQ(bitmap->PixelFormat(), pf1bit);
    EXPECT_TRUE(bitmap->Monochrome());
}

TEST(Bitmap, ScanLineFollowsRowOrder) {
    auto bitmap = MakeBitmap(pf24bit, 5, 10);
    const gdi::DibSection& dib = bitmap->Image().FDIB;
    EXPECT_GT(dib.Header.biHeight, 0);
    EXPECT_EQ(bitmap->ScanLine(0), static_cast<uint8_t*>(dib.Bits) + 9 * 16) << "row 0 is the last row in memory";
    EXPECT_EQ(bitmap->ScanLine(9), dib.Bits);
    for (int row : {-1, 10}) {
        try {
            bitmap->ScanLine(row);
            ADD_FAILURE() << "row " << row;
        } catch (const EInvalidGraphicOperation& error) {
            EXPECT_STREQ(error.what(), "Scan line index out of range");
        }
    }

    auto image = std::make_shared<TBitmapImage>();
    void* bits = nullptr;
    image->FHandle = image->FDIBHandle = gdi::CreateDIBSection(Describe(5, -10, 24), &bits);
    gdi::GetDibSection(image->FHandle, image->FDIB);
    TBitmap topDown;
    topDown.SetImage(std::move(image));
    EXPECT_EQ(topDown.ScanLine(0), bits);
    EXPECT_EQ(topDown.ScanLine(1), static_cast<uint8_t*>(bits) + 16);
    topDown.SetWidth(7);  // same height: the order stays
    EXPECT_LT(topDown.Image().FDIB.Header.biHeight, 0);
    EXPECT_THROW(TBitmap().ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, AlphaFormatPremultipliesAndBack) {
    auto bitmap = MakeBitmap(pf32bit, 3, 1);
    const uint8_t pixels[] = {255, 255, 255, 0, 200, 100, 50, 128, 7, 8, 9, 255};
    std::memcpy(bitmap->ScanLine(0), pixels, sizeof pixels);
    TBitmap sharer;
    sharer.Assign(bitmap.get());
    bitmap->SetAlphaFormat(afDefined);
    const uint8_t* row = bitmap->ScanLine(0);
    EXPECT_EQ(std::vector<uint8_t>(row, row + 12), (std::vector<uint8_t>{0, 0, 0, 0, 100, 50, 25, 128, 7, 8, 9, 255}));
    EXPECT_EQ(sharer.ScanLine(0)[4], 200) << "the sharer keeps its pixels";
    bitmap->SetAlphaFormat(afPremultiplied);  // between defined formats nothing is converted
    EXPECT_EQ(bitmap->ScanLine(0)[4], 100);
    bitmap->SetAlphaFormat(afIgnored);
    row = bitmap->ScanLine(0);
    EXPECT_EQ(std::vector<uint8_t>(row, row + 12), (std::vector<uint8_t>{0, 0, 0, 0, 199, 100, 50, 128, 7, 8, 9, 255}));

    uint8_t over[] = {200, 100, 50, 100};  // colours above alpha keep the low 8 bits
    UnpremultiplyPixels(over, 1);
    EXPECT_EQ(over[0], uint8_t((200 * 255 + 50) / 100));

    // White at every alpha: premultiplied, each channel is the alpha itself
    // (a scale of a / 255, not a / 256, which loses a step near opaque), and
    // un-premultiplied it is white again.
    auto ramp = MakeBitmap(pf32bit, 256, 1);
    for (int alpha = 0; alpha < 256; ++alpha) Put(*ramp, alpha, 0, uint32_t(alpha) << 24 | 0xFFFFFF);
    ramp->SetAlphaFormat(afDefined);
    for (int alpha = 0; alpha < 256; ++alpha) {
        const uint8_t* pixel = ramp->ScanLine(0) + 4 * alpha;
        const uint8_t a = uint8_t(alpha);
        ASSERT_EQ(std::vector<uint8_t>(pixel, pixel + 4), (std::vector<uint8_t>{a, a, a, a})) << "alpha " << alpha;
    }
    ramp->SetAlphaFormat(afIgnored);
    for (int alpha = 1; alpha < 256; ++alpha) {
        const uint8_t* pixel = ramp->ScanLine(0) + 4 * alpha;
        ASSERT_EQ(std::vector<uint8_t>(pixel, pixel + 4), (std::vector<uint8_t>{255, 255, 255, uint8_t(alpha)}))
            << "alpha " << alpha;
    }
}

TEST(Bitmap, TransparentColourDefaultsToBottomLeftPixel) {
    auto bitmap = MakeBitmap(pf24bit, 4, 3);
    Put(*bitmap, 0, 2, 0x030201);  // blue 1, green 2, red 3
    EXPECT_EQ(bitmap->TransparentColor(), 0x02010203);
    EXPECT_EQ(bitmap->TransparentMode(), tmAuto);
    bitmap->SetTransparentColor(clRed);
    EXPECT_EQ(bitmap->TransparentColor(), 0x020000FF);
    EXPECT_EQ(bitmap->TransparentMode(), tmFixed);
    bitmap->SetTransparentMode(tmAuto);
    EXPECT_EQ(bitmap->TransparentColor(), 0x02010203);
    bitmap->SetTransparentMode(tmFixed);
    Put(*bitmap, 0, 2, 0);
    EXPECT_EQ(bitmap->TransparentColor(), 0x02010203) << "fixed at the colour read then";
    EXPECT_EQ(MakeBitmap(pf1bit, 2, 2)->TransparentColor(), 0x02FFFFFF);
}

TEST(Bitmap, DrawOntoZeroStore) {
    {
        SCOPED_TRACE("pf32bit afDefined: every byte copied");
        auto bitmap = MakeBitmap(pf32bit, 2, 1);
        bitmap->SetAlphaFormat(afDefined);
        Put(*bitmap, 0, 0, 0x80193264);
        Put(*bitmap, 1, 0, 0x00000000);
        Store store(2, 1);
        store.Canvas.Draw(0, 0, bitmap.get());
        EXPECT_EQ(store.At(0, 0), 0x80193264u);
        EXPECT_EQ(store.At(1, 0), 0u);
    }
    {
        SCOPED_TRACE("pf32bit afIgnored: the fourth byte as stored");
        auto bitmap = MakeBitmap(pf32bit, 1, 1);
        Put(*bitmap, 0, 0, 0x7F102030);
        Store store(1, 1);
        store.Canvas.Draw(0, 0, bitmap.get());
        EXPECT_EQ(store.At(0, 0), 0x7F102030u);
    }
    {
        SCOPED_TRACE("pf24bit: fourth byte 0");
        auto bitmap = MakeBitmap(pf24bit, 2, 2);
        Put(*bitmap, 1, 1, 0x102030);
        Store store(3, 3);
        store.Canvas.Draw(1, 1, bitmap.get());
        EXPECT_EQ(store.At(2, 2), 0x102030u);
        EXPECT_EQ(store.At(1, 1), 0xFFFFFFu);
        EXPECT_EQ(store.At(0, 0), 0u);
    }
    for (const TPixelFormat format : {pf24bit, pf8bit, pf16bit}) {
        SCOPED_TRACE("transparent, format " + std::to_string(format));
        auto bitmap = MakeBitmap(pf24bit, 3, 1);
        // Red 0x20, green 0x40, blue 0xF0: the transparent colour, as a TColor 0xF04020.
        Put(*bitmap, 0, 0, 0x2040F0);
        Put(*bitmap, 1, 0, 0xFF0000);
        Put(*bitmap, 2, 0, 0x2040F0);
        bitmap->SetPixelFormat(format);
        bitmap->SetTransparentColor(0xF04020);
        bitmap->SetTransparent(true);
        Store store(3, 1);
        store.Canvas.Draw(0, 0, bitmap.get());
        EXPECT_EQ(store.At(0, 0), 0u);
        EXPECT_EQ(store.At(1, 0), 0xFF0000u);
        EXPECT_EQ(store.At(2, 0), 0u);
        Store stretched(6, 2);
        bitmap->Draw(stretched.Canvas, Rect(0, 0, 6, 2));
        EXPECT_EQ(stretched.At(1, 1), 0u);
        EXPECT_EQ(stretched.At(2, 1), 0xFF0000u);
        EXPECT_EQ(stretched.At(3, 0), 0xFF0000u);
        EXPECT_EQ(stretched.At(4, 0), 0u);
    }
}

TEST(Bitmap, StoreCopiedIntoBitmapCanvas) {
    // How a 32-bit store hands its pixels back: BitBlt into the canvas's context.
    Store store(2, 2);
    std::memcpy(store.Target.Bits, "\x01\x02\x03\x80", 4);
    TBitmap shared;
    auto bitmap = MakeBitmap(pf32bit, 2, 2);
    shared.Assign(bitmap.get());
    bitmap->Canvas().Lock();
    ASSERT_TRUE(gdi::BitBlt(bitmap->Canvas().Handle(), 0, 0, 2, 2, store.Target.DC, 0, 0, gdi::SRCCOPY));
    bitmap->Canvas().Unlock();
    uint32_t pixel;
    std::memcpy(&pixel, bitmap->ScanLine(0), 4);
    EXPECT_EQ(pixel, 0x80030201u);
    std::memcpy(&pixel, shared.ScanLine(0), 4);
    EXPECT_EQ(pixel, 0xFFFFFFFFu) << "the other holder keeps its white pixels";
}

TEST(Bitmap, ExcessiveSizeKeepsThePreviousImage) {
    auto bitmap = MakeBitmap(pf32bit, 10, 10);
    Put(*bitmap, 3, 3, 0x11223344);
    try {
        bitmap->SetSize(65535, 65535);
        ADD_FAILURE() << "no exception";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "Not enough memory resources are available to process this command.");
    }
    EXPECT_EQ(bitmap->Width(), 10);
    uint32_t pixel;
    std::memcpy(&pixel, bitmap->ScanLine(3) + 12, 4);
    EXPECT_EQ(pixel, 0x11223344u);
    EXPECT_THROW(bitmap->SetSize(-1, 5), EOutOfResources);
}

TEST(Bitmap, PaletteComesFromTheColourTableAndRebuildsOnChange) {
    auto bitmap = MakeBitmap(pf24bit, 2, 1);
    Put(*bitmap, 0, 0, 0xFF0000);
    Put(*bitmap, 1, 0, 0xFFFFFF);
    bitmap->SetPixelFormat(pf1bit);  // black and white table, no palette yet
    const auto entries = gdi::GetPaletteEntries(bitmap->Palette());
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1].peRed, 255);
    bitmap->SetPalette(gdi::CreatePalette({{255, 0, 0, 0}, {255, 255, 255, 0}}));
    const auto table = gdi::GetDIBColorTable(bitmap->Handle());
    ASSERT_EQ(table.size(), 2u);
    EXPECT_EQ(table[0].rgbRed, 255);
    EXPECT_EQ(bitmap->ScanLine(0)[0] >> 6, 0b01) << "black became the nearest entry, red; white stays";
}

TEST(Bitmap, ScanLineDropsTheKeptRunLengthCopy) {
    auto image = std::make_shared<TBitmapImage>();
    void* bits = nullptr;
    image->FHandle = image->FDIBHandle = gdi::CreateDIBSection(Describe(2, 2, 8, {{0, 0, 0, 0}}), &bits);
    gdi::GetDibSection(image->FHandle, image->FDIB);
    image->FDIB.Header.biClrUsed = 1;
    image->FSaveStream = std::make_shared<TMemoryStream>(std::vector<uint8_t>{'B', 'M'});
    TBitmap bitmap;
    bitmap.SetImage(std::move(image));
    TBitmap sharer;
    sharer.Assign(&bitmap);
    bitmap.ScanLine(0);
    EXPECT_FALSE(bitmap.Image().FSaveStream);
    EXPECT_EQ(bitmap.Image().FDIB.Header.biClrUsed, 0u);
    EXPECT_TRUE(sharer.Image().FSaveStream) << "the sharer keeps its copy";
}

class TNoPicture : public TGraphic {
public:
    const char* ClassName() const override { return "TNoPicture"; }
    void LoadFromStream(TStream&) override {}
    void Draw(TCanvas&, const TRect&) override {}
    bool Empty() const override { return false; }
    int Width() const override { return 1; }
    int Height() const override { return 1; }
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TNoPicture>(); }
};

TEST(Bitmap, AssignmentFailuresNameBothClasses) {
    TBitmap bitmap;
    TNoPicture other;
    try {
        bitmap.Assign(&other);
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a TNoPicture to a TBitmap");
    }
    try {
        other.Assign(nullptr);
        ADD_FAILURE();
    } catch (const EConvertError& error) {
        EXPECT_STREQ(error.what(), "Cannot assign a nil to a TNoPicture");
    }
    auto full = MakeBitmap(pf24bit, 2, 2);
    full->Assign(nullptr);
    EXPECT_TRUE(full->Empty());
}

TEST(Picture, HoldsCopiesOfGraphics) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](void*) { ++changes; };
    auto source = MakeBitmap(pf24bit, 3, 2);
    picture.Assign(source.get());
    auto* held = dynamic_cast<TBitmap*>(picture.Graphic());
    ASSERT_NE(held, nullptr);
    EXPECT_NE(held, source.get());
    Put(*source, 0, 0, 0);
    EXPECT_EQ(held->ScanLine(0)[0], 255) << "the copy is independent";
    const int before = changes;
    held->SetSize(5, 5);
    EXPECT_GT(changes, before) << "the held graphic's changes reach the picture";
    TNoPicture other;
    picture.SetGraphic(other.NewInstance());
    EXPECT_EQ(picture.Bitmap().Width(), 0) << "Bitmap() replaces a graphic of another class";
    picture.Assign(static_cast<const TGraphic*>(nullptr));
    EXPECT_EQ(picture.Graphic(), nullptr);
}

}  // namespace
