// TBitmap::LoadFromStream over BMP files written field by field: header,
// mask, colour-table and pixel-offset rules, short and oversized data, the
// pixel limit and run-length codes.

#include <gtest/gtest.h>

#include <cstring>

#include "bmp_test_support.h"
#include "pictures/bmp/bmp_read_header.h"

using namespace bmptest;

namespace {

const std::string NotValid = "EInvalidGraphic: Bitmap image is not valid";
const std::string ReadError = "EReadError: Stream read error";

std::vector<uint8_t> Bytes(std::initializer_list<int> values) { return {values.begin(), values.end()}; }

std::vector<uint32_t> LoadedPixels(const BmpWriter& writer) {
    TBitmap bitmap;
    LoadBytes(bitmap, writer.Build());
    return Pixels(bitmap);
}

TEST(BmpCrafted, EmptyTinyAndForeignStreams) {
    TBitmap bitmap;
    LoadBytes(bitmap, {});
    EXPECT_TRUE(bitmap.Empty());
    EXPECT_EQ(bitmap.Width(), 0);

    const std::vector<uint8_t> file = BmpWriter{}.Build();
    for (size_t length : {1, 13}) EXPECT_EQ(LoadError({file.begin(), file.begin() + length}), ReadError) << length;
    std::vector<uint8_t> wrongType = file;
    wrongType[1] = 'A';
    EXPECT_EQ(LoadError(wrongType), NotValid);
}

TEST(BmpCrafted, RowsArePaddedBottomUpAndShortBlocksLeaveZeros) {
    BmpWriter writer;
    writer.Width = 3;
    writer.Height = 3;
    // Bottom row first: blue, green, red per pixel, then 3 filler bytes; the
    // top row is missing and half of the middle one.
    writer.Pixels = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0xEE, 0xEE, 0xEE, 10, 11, 12, 13, 14});
    EXPECT_EQ(LoadedPixels(writer),
              (std::vector<uint32_t>{0, 0, 0, 0x0C0B0A, 0x000E0D, 0, 0x030201, 0x060504, 0x090807}));
}

TEST(BmpCrafted, ThirtyTwoBitPixelsKeepTheirFourthByteUnlessAlphaIsDefined) {
    BmpWriter writer;
    writer.Width = 2;
    writer.BitCount = 32;
    writer.Pixels = Bytes({200, 100, 50, 128, 10, 20, 30, 0});
    for (TAlphaFormat alpha : {afIgnored, afDefined}) {
        TBitmap bitmap;
        bitmap.SetAlphaFormat(alpha);
        LoadBytes(bitmap, writer.Build());
        const auto* bits = static_cast<const uint8_t*>(bitmap.Image().FDIB.Bits);
        EXPECT_EQ(std::vector<uint8_t>(bits, bits + 8),
                  alpha == afIgnored ? writer.Pixels : Bytes({100, 50, 25, 128, 0, 0, 0, 0}));
    }
}

TEST(BmpCrafted, ColourTableFollowsColoursUsed) {
    BmpWriter writer;
    writer.BitCount = 8;
    writer.Colors.assign(256, 0x808080);  // colours used 0: a full table
    writer.Colors[7] = 0x123456;
    writer.Pixels = Bytes({7, 0, 0, 0});
    writer.PixelOffset = 0;  // no usable offset: the pixels follow the table
    EXPECT_EQ(LoadedPixels(writer), std::vector<uint32_t>{0x123456});
    writer.ColorsUsed = 300;
    writer.Colors.assign(300, 0);
    EXPECT_EQ(LoadError(writer.Build()), NotValid);
}

TEST(BmpCrafted, BitFieldMasksAfterOrInsideTheHeader) {
    BmpWriter writer;
    writer.Width = 2;
    writer.BitCount = 16;
    writer.Compression = 3;
    writer.Masks = {0xF800, 0x07E0, 0x001F};
    writer.Pixels = Bytes({0x00, 0xF8, 0x1F, 0x00});  // pure red, pure blue
    for (uint32_t headerSize : {40u, 108u, 124u}) {
        writer.HeaderSize = headerSize;
        TBitmap bitmap;
        LoadBytes(bitmap, writer.Build());
        EXPECT_EQ(bitmap.PixelFormat(), pf16bit) << headerSize;
        EXPECT_EQ(Pixels(bitmap), (std::vector<uint32_t>{0xFF0000, 0x0000FF})) << headerSize;
    }
}

TEST(BmpCrafted, PixelOffsetIsHonouredOnlyWhenItIsPlausible) {
    BmpWriter writer;
    writer.Gap = Bytes({0xAA, 0xBB, 0xCC, 0xDD});
    writer.Pixels = Bytes({1, 2, 3, 0});
    EXPECT_EQ(LoadedPixels(writer), std::vector<uint32_t>{0x030201});

    // The same file further down a stream: the offset counts from its start.
    std::vector<uint8_t> embedded = writer.Build();
    embedded.insert(embedded.begin(), 3, 'x');
    TMemoryStream stream(embedded);
    stream.SetPosition(3);
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    EXPECT_EQ(Pixels(bitmap), std::vector<uint32_t>{0x030201});

    // Offsets into the headers or past the end: the pixels follow the table.
    for (int64_t offset : {0, 20, 1000}) {
        writer.PixelOffset = offset;
        EXPECT_EQ(LoadedPixels(writer), std::vector<uint32_t>{0xCCBBAA}) << offset;
    }
}

TEST(BmpCrafted, DeclaredSizesAreNeverTrusted) {
    BmpWriter writer;
    writer.Pixels = Bytes({1, 2, 3, 0});
    std::vector<uint8_t> file = writer.Build();
    std::memcpy(file.data() + 14, "\xF0\xFF\xFF\x7F", 4);  // a 2 GiB header in a 62-byte file
    EXPECT_EQ(LoadError(file), ReadError);
    std::memcpy(file.data() + 14, "\x02\x00\x00\x00", 4);  // shorter than its own size field
    EXPECT_EQ(LoadError(file), NotValid);
    writer.HeaderSize = 16;  // a short OS/2 2.x header, unknown to the graphics layer
    EXPECT_EQ(LoadError(writer.Build()), "EOSError: System Error.  Code: 87.\r\nThe parameter is incorrect.");

    // An image-size field far beyond the pixel block reads only the block.
    BmpWriter oversized;
    oversized.BitCount = 32;
    oversized.Compression = 3;
    oversized.Masks = {0xFF0000, 0xFF00, 0xFF};
    oversized.ImageSize = 0x7FFFFFFF;
    oversized.Pixels = std::vector<uint8_t>(4096, 0x5A);
    EXPECT_EQ(LoadedPixels(oversized), std::vector<uint32_t>{0x5A5A5A});
}

TEST(BmpCrafted, RowsOfWholeWordsNeedNoPaddingEvenWithBytesAfterThePixels) {
    // Width times bits a multiple of 32: rows of 12, 4 and 4 bytes without
    // filler. No image-size field, and bytes after the pixels that must not
    // be taken for more rows.
    struct Case {
        int32_t width;
        uint16_t bitCount;
        std::vector<uint32_t> colours;
        std::vector<uint8_t> pixels;
        std::vector<uint32_t> expected;
    } cases[] = {
        {4,
         24,
         {},
         Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32}),
         {0x171615, 0x1A1918, 0x1D1C1B, 0x201F1E, 0x030201, 0x060504, 0x090807, 0x0C0B0A}},
        {1, 32, {}, Bytes({1, 2, 3, 0, 4, 5, 6, 0}), {0x060504, 0x030201}},
        {4,
         8,
         {0x000000, 0x0000FF, 0x00FF00, 0xFF0000},
         Bytes({0, 1, 2, 3, 3, 2, 1, 0}),
         {0xFF0000, 0x00FF00, 0x0000FF, 0x000000, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000}},
    };
    for (const Case& c : cases) {
        BmpWriter writer;
        writer.Width = c.width;
        writer.Height = 2;
        writer.BitCount = c.bitCount;
        writer.Colors = c.colours;
        writer.ColorsUsed = static_cast<uint32_t>(c.colours.size());
        writer.Pixels = c.pixels;
        writer.Pixels.insert(writer.Pixels.end(), 64, 0xEE);
        EXPECT_EQ(LoadError(writer.Build()), NothingRaised) << c.bitCount << " bits";
        EXPECT_EQ(LoadedPixels(writer), c.expected) << c.bitCount << " bits";
    }

    // Uncompressed rows ignore an image-size field that claims too little.
    BmpWriter understated;
    understated.Height = 2;
    understated.ImageSize = 4;
    understated.Pixels = Bytes({1, 2, 3, 0, 4, 5, 6, 0});
    EXPECT_EQ(LoadedPixels(understated), (std::vector<uint32_t>{0x060504, 0x030201}));
}

TEST(BmpCrafted, PicturesAboveThePixelLimitAreRefusedBeforeAllocation) {
    BmpWriter writer;
    writer.Width = writer.Height = 20000;
    writer.BitCount = 8;
    writer.ColorsUsed = 1;
    writer.Colors = {0xFFFFFF};
    writer.Pixels = Bytes({1, 2, 3, 4});
    const std::string tooBig =
        "EOSError: System Error.  Code: 8.\r\nNot enough memory resources are available to process this command.";
    EXPECT_EQ(LoadError(writer.Build()), tooBig);
    writer.Compression = 1;  // run-length encoded
    EXPECT_EQ(LoadError(writer.Build()), tooBig);

    // Headers whose row bytes times height overflow 64 bits: refused by the
    // limit before any product of the fields is formed (the sanitizer build
    // reports the overflow otherwise).
    for (const uint16_t bitCount : {24, 32}) {
        BmpWriter extreme;
        extreme.Width = extreme.Height = 0x7FFFFFFF;
        extreme.BitCount = bitCount;
        const std::vector<uint8_t> headersOnly = extreme.Build();
        ASSERT_EQ(headersOnly.size(), 54u);
        EXPECT_EQ(LoadError(headersOnly), tooBig) << bitCount;
        extreme.Pixels = std::vector<uint8_t>(16, 1);
        TMemoryStream stream(extreme.Build());
        EXPECT_EQ(ReadBmpHeaders(stream, stream.Size()).BytesToRead, 16) << "claims what the file holds";
    }
}

TEST(BmpCrafted, RunLengthDeltasAndLineEndsLeaveSkippedPixelsAtColourZero) {
    BmpWriter writer;
    writer.Width = 4;
    writer.Height = 3;
    writer.BitCount = 8;
    writer.Compression = 1;
    writer.ColorsUsed = 3;
    writer.Colors = {0x000000, 0xFF0000, 0x00FF00};
    writer.Pixels = Bytes({
        2, 1,        // bottom row: two pixels of colour 1
        0, 0,        // end of line
        0, 2, 3, 1,  // delta: 3 right, 1 up (to the top row)
        1, 2,        // one pixel of colour 2
        0, 1,        // end of bitmap
    });
    EXPECT_EQ(LoadedPixels(writer), (std::vector<uint32_t>{0, 0, 0, 0x00FF00, 0, 0, 0, 0, 0xFF0000, 0xFF0000, 0, 0}));
}

}  // namespace
