// The public PNG suite: every valid file decodes, interlaced files equal
// their plain twins pixel for pixel, every corrupt file fails with the class
// and message of its fault.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>
#include <vector>

#include "pictures/png/png_image.h"
#include "png_test_files.h"

namespace {

std::vector<std::string> SuiteNames(bool corrupt) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(SuiteFile("")))
        if (entry.path().extension() == ".png" && (entry.path().filename().string()[0] == 'x') == corrupt)
            names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Everything of a decoded pixel: DIB value (index or blue-green-red), low
// bytes of 16-bit samples, alpha.
uint64_t PixelKey(const TChunkIHDR& header, int x, int y) {
    const int bits = header.BitmapInfo().Header.biBitCount;
    const uint8_t* row = header.DibRow(y);
    uint64_t key = 0;
    if (bits == 24) {
        key = uint64_t(row[3 * x]) | uint64_t(row[3 * x + 1]) << 8 | uint64_t(row[3 * x + 2]) << 16;
    } else {
        const int bit = x * bits;
        key = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
    }
    if (const uint8_t* extra = header.ExtraImageData()) {
        const uint8_t* extraRow = extra + (header.DibRow(y) - header.ImageData());
        const int bytes = bits / 8;
        for (int i = 0; i < bytes; ++i) key |= uint64_t(extraRow[bytes * x + i]) << (24 + 8 * i);
    }
    if (const uint8_t* alpha = header.AlphaRow(y)) key |= uint64_t(alpha[x]) << 56;
    return key;
}

TEST(PngSuite, EveryValidFileDecodes) {
    const auto names = SuiteNames(false);
    ASSERT_GE(names.size(), 160u);
    for (const std::string& name : names) {
        TPngImage png;
        EXPECT_NO_THROW(png.LoadFromFile(SuiteFile(name))) << name;
        EXPECT_GT(png.Width(), 0) << name;
        EXPECT_GT(png.Height(), 0) << name;
    }
}

TEST(PngSuite, InterlacedFilesEqualTheirPlainTwins) {
    int pairs = 0;
    for (const std::string& name : SuiteNames(false)) {
        if (name.size() < 4 || name[3] != 'i') continue;
        std::string twin = name;
        twin[3] = 'n';
        if (!std::filesystem::exists(SuiteFile(twin))) continue;
        TPngImage interlaced, plain;
        interlaced.LoadFromFile(SuiteFile(name));
        plain.LoadFromFile(SuiteFile(twin));
        ASSERT_EQ(interlaced.InterlaceMethod(), imAdam7) << name;
        ASSERT_EQ(plain.InterlaceMethod(), imNone) << twin;
        ASSERT_EQ(interlaced.Width(), plain.Width()) << name;
        ASSERT_EQ(interlaced.Height(), plain.Height()) << name;
        const TChunkIHDR& a = interlaced.Header();
        const TChunkIHDR& b = plain.Header();
        int differences = 0;
        for (int y = 0; y < plain.Height(); ++y)
            for (int x = 0; x < plain.Width(); ++x) differences += PixelKey(a, x, y) != PixelKey(b, x, y);
        EXPECT_EQ(differences, 0) << name << " against " << twin;
        const auto& tableA = a.BitmapInfo().Colors;
        const auto& tableB = b.BitmapInfo().Colors;
        EXPECT_TRUE(std::equal(tableA.begin(), tableA.end(), tableB.begin(), tableB.end(),
                               [](const gdi::RGBQUAD& p, const gdi::RGBQUAD& q) {
                                   return p.rgbRed == q.rgbRed && p.rgbGreen == q.rgbGreen && p.rgbBlue == q.rgbBlue;
                               }))
            << name;
        ++pairs;
    }
    EXPECT_GE(pairs, 30);
}

TEST(PngSuite, ACopyHoldsEveryPlaneOfItsOwn) {
    // 16-bit colour with alpha: the picture, its low bytes and its alpha plane.
    auto original = std::make_unique<TPngImage>();
    original->LoadFromFile(SuiteFile("basn6a16.png"));
    TPngImage copy;
    copy.Assign(original.get());
    std::vector<uint64_t> expected;
    for (int y = 0; y < original->Height(); ++y)
        for (int x = 0; x < original->Width(); ++x) expected.push_back(PixelKey(original->Header(), x, y));
    EXPECT_NE(copy.Header().ImageData(), original->Header().ImageData());
    // Nothing of the copy may live in the original's memory.
    original.reset();
    std::vector<uint64_t> copied;
    for (int y = 0; y < copy.Height(); ++y)
        for (int x = 0; x < copy.Width(); ++x) copied.push_back(PixelKey(copy.Header(), x, y));
    EXPECT_TRUE(copied == expected);
    std::set<uint64_t> alphas;
    for (uint64_t key : expected) alphas.insert(key >> 56);
    EXPECT_GT(alphas.size(), 1u) << "the file's alpha varies";
}

// Pixels worked out from the files by a separate plain decode (inflate,
// unfilter, gamma 1.0 → display 2.2 where the file has gAMA 100000).
struct TKnownPixel {
    const char* File;
    int X, Y;
    uint8_t Blue, Green, Red;  // the DIB's bytes; for indexed DIBs the colour-table entry
    int Alpha;                 // -1: no alpha plane
};

TEST(PngSuite, KnownPixelsAgreeWithASeparateDecode) {
    const TKnownPixel pixels[] = {
        {"basn2c08.png", 15, 7, 72, 255, 255, -1},   // RGB (255, 255, 16), gamma: 16 → 72
        {"basn2c08.png", 20, 3, 194, 255, 255, -1},  // blue $8B → 194
        {"basn6a16.png", 10, 20, 0, 85, 255, 0xA5},  // ($FFFF, $1745, 0, $A529): high bytes
        {"basn6a16.png", 31, 5, 111, 235, 0, 0},
        {"basn3p04.png", 17, 9, 140, 255, 0, -1},        // index 14 of the corrected palette
        {"basn0g02.png", 13, 2, 255, 255, 255, -1},      // 2-bit grey 3
        {"basn0g02.png", 31, 31, 212, 212, 212, -1},     // 2-bit grey 2 = 170 → 212
        {"basn4a08.png", 5, 5, 0xD5, 0xD5, 0xD5, 0x29},  // grey + alpha: the grey without gamma
        {"f04n2c08.png", 25, 30, 179, 45, 0, -1},        // Paeth rows, no gAMA
    };
    for (const TKnownPixel& p : pixels) {
        TPngImage png;
        png.LoadFromFile(SuiteFile(p.File));
        const TChunkIHDR& header = png.Header();
        const int bits = header.BitmapInfo().Header.biBitCount;
        uint8_t blue, green, red;
        if (bits == 24) {
            const uint8_t* dib = header.DibRow(p.Y) + 3 * p.X;
            blue = dib[0], green = dib[1], red = dib[2];
        } else if (header.IHDRData().ColorType == 4) {
            blue = green = red = header.DibRow(p.Y)[p.X];
        } else {
            const gdi::RGBQUAD& c = header.BitmapInfo().Colors[PixelKey(header, p.X, p.Y) & 0xFF];
            blue = c.rgbBlue, green = c.rgbGreen, red = c.rgbRed;
        }
        EXPECT_EQ(blue, p.Blue) << p.File << " " << p.X << "," << p.Y;
        EXPECT_EQ(green, p.Green) << p.File << " " << p.X << "," << p.Y;
        EXPECT_EQ(red, p.Red) << p.File << " " << p.X << "," << p.Y;
        const uint8_t* alpha = header.AlphaRow(p.Y);
        EXPECT_EQ(alpha ? alpha[p.X] : -1, p.Alpha) << p.File;
    }
}

struct TCorruptCase {
    const char* File;
    const char* ClassName;
    const char* Message;
};

TEST(PngSuite, CorruptFilesFailWithTheirFault) {
    using namespace png_messages;
    const TCorruptCase cases[] = {
        {"xc1n0g08.png", "EPNGUnknownColorType", UnknownColorType},
        {"xc9n2c08.png", "EPNGUnknownColorType", UnknownColorType},
        {"xcrn0g04.png", "EPNGInvalidFileHeader", InvalidFileHeader},
        {"xcsn0g01.png", "EPngInvalidCRC", InvalidCRC},
        {"xd0n2c08.png", "EPNGInvalidBitDepth", InvalidBitDepth},
        {"xd3n2c08.png", "EPNGInvalidBitDepth", InvalidBitDepth},
        {"xd9n2c08.png", "EPNGInvalidBitDepth", InvalidBitDepth},
        {"xdtn0g01.png", "EPNGNoImageData", NoImageData},
        {"xhdn0g08.png", "EPngInvalidCRC", InvalidCRC},
        {"xlfn0g04.png", "EPNGInvalidFileHeader", InvalidFileHeader},
        {"xs1n0g01.png", "EPNGInvalidFileHeader", InvalidFileHeader},
        {"xs2n0g01.png", "EPNGInvalidFileHeader", InvalidFileHeader},
        {"xs4n0g01.png", "EPNGInvalidFileHeader", InvalidFileHeader},
        {"xs7n0g01.png", "EPNGInvalidFileHeader", InvalidFileHeader},
    };
    EXPECT_EQ(std::size(cases), SuiteNames(true).size()) << "a corrupt file of the suite has no row";
    for (const TCorruptCase& c : cases) {
        TPngImage png;
        try {
            png.LoadFromFile(SuiteFile(c.File));
            ADD_FAILURE() << c.File << " loaded";
        } catch (const Exception& e) {
            EXPECT_STREQ(e.ClassName(), c.ClassName) << c.File;
            EXPECT_EQ(e.Message(), c.Message) << c.File;
        }
        EXPECT_TRUE(png.Empty()) << c.File << ": a failed load leaves nothing to draw";
    }
}

}  // namespace
