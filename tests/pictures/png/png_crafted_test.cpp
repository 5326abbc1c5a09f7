// Crafted files: each built byte by byte for one rule of the reader.

#include <gtest/gtest.h>

#include <random>

#include "pictures/png/png_image.h"
#include "png_test_files.h"

namespace {

void Load(TPngImage& png, const TBytes& file) {
    TMemoryStream stream(file);
    png.LoadFromStream(stream);
}

// Loads and expects the failure of class `className` with `message`.
void ExpectLoadFailure(const char* what, const TBytes& file, const char* className, const std::string& message) {
    TPngImage png;
    try {
        Load(png, file);
        ADD_FAILURE() << what << ": loaded, want " << className;
    } catch (const Exception& e) {
        EXPECT_STREQ(e.ClassName(), className) << what;
        EXPECT_EQ(e.Message(), message) << what;
    }
}

TBytes GammaChunk(uint32_t value) {
    TBytes data;
    PutBigEndian32(data, value);
    return Chunk("gAMA", data);
}

const uint8_t* Dib(const TPngImage& png, int y = 0) { return png.Header().DibRow(y); }

TEST(PngCrafted, GammaTableValues) {
    // One RGB pixel (red 128, green 64, blue 1), then (255, 254, 0).
    const TBytes ihdr = IhdrData(2, 1, 8, 2);
    const TBytes rows = IdatChunks(Unfiltered({{128, 64, 1, 255, 254, 0}}));
    struct {
        const char* Name;
        TBytes Gamma;
        TBytes Want;  // the DIB row: blue, green, red of both pixels
    } cases[] = {
        {"no gAMA", {}, {1, 64, 128, 0, 254, 255}},
        {"45455 is the identity", GammaChunk(45455), {1, 64, 128, 0, 254, 255}},
        {"100000", GammaChunk(100000), {21, 136, 186, 0, 255, 255}},
        {"2 data bytes count as 1", Chunk("gAMA", {0x00, 0x01}), {0, 0, 0, 0, 0, 255}},
        {"0 changes nothing", GammaChunk(0), {1, 64, 128, 0, 254, 255}},
    };
    for (const auto& c : cases) {
        TPngImage png;
        Load(png, c.Gamma.empty() ? PngFile(ihdr, {rows}) : PngFile(ihdr, {c.Gamma, rows}));
        EXPECT_EQ(TBytes(Dib(png), Dib(png) + 6), c.Want) << c.Name;
    }
    // gAMA acts only on what is decoded after it.
    TPngImage late;
    Load(late, PngFile(ihdr, {rows, GammaChunk(100000)}));
    EXPECT_EQ(TBytes(Dib(late), Dib(late) + 6), (TBytes{1, 64, 128, 0, 254, 255}));
}

TEST(PngCrafted, GammaReachesPaletteAndGreyRamp) {
    TPngImage palette;
    Load(palette, PngFile(IhdrData(1, 1, 8, 3),
                          {GammaChunk(100000), Chunk("PLTE", {128, 64, 1}), IdatChunks(Unfiltered({{0}}))}));
    const gdi::RGBQUAD& entry = palette.Header().BitmapInfo().Colors[0];
    EXPECT_EQ((TBytes{entry.rgbRed, entry.rgbGreen, entry.rgbBlue}), (TBytes{186, 136, 21}));

    TPngImage grey;
    Load(grey, PngFile(IhdrData(1, 1, 8, 0), {GammaChunk(100000), IdatChunks(Unfiltered({{128}}))}));
    EXPECT_EQ(Dib(grey)[0], 128) << "the index";
    EXPECT_EQ(grey.Header().BitmapInfo().Colors[128].rgbGreen, 186) << "the ramp carries the gamma";

    // Alpha and the grey of grey + alpha pictures: PngRender.
}

TEST(PngCrafted, TwoBitGreyGivesFourEvenGreysInterlacedOrNot) {
    for (uint8_t interlace : {0, 1}) {
        TBytes raw;
        if (interlace == 0) {
            raw = Unfiltered({{0b00011011}});
        } else {
            // 4 × 1 through Adam7: pass 1 (x 0), pass 4 (x 2), pass 6 (x 1, 3).
            raw = Unfiltered({{0b00000000}, {0b10000000}, {0b01110000}});
        }
        TPngImage png;
        Load(png, PngFile(IhdrData(4, 1, 2, 0, interlace), {IdatChunks(raw)}));
        ASSERT_EQ(png.Header().BitmapInfo().Header.biBitCount, 4);
        const auto& table = png.Header().BitmapInfo().Colors;
        for (int x = 0; x < 4; ++x) {
            const unsigned index = (Dib(png)[x / 2] >> (x % 2 ? 0 : 4)) & 15;
            EXPECT_EQ(table[index].rgbRed, 85 * x) << "x " << x << ", interlace " << int(interlace);
        }
    }
}

TEST(PngCrafted, SixteenBitSamplesKeepTheirHighByte) {
    TPngImage png;
    Load(png, PngFile(IhdrData(1, 1, 16, 2), {IdatChunks(Unfiltered({{0x12, 0xFF, 0x34, 0x80, 0x56, 0x01}}))}));
    EXPECT_EQ(TBytes(Dib(png), Dib(png) + 3), (TBytes{0x56, 0x34, 0x12}));
    EXPECT_EQ(TBytes(png.Header().ExtraImageData(), png.Header().ExtraImageData() + 3), (TBytes{0x01, 0x80, 0xFF}));
}

TEST(PngCrafted, FilterSevenIsTakenAsNone) {
    TPngImage png;
    Load(png, PngFile(IhdrData(2, 2, 8, 0), {IdatChunks({0, 5, 6, 7, 9, 10})}));
    EXPECT_EQ(Dib(png, 0)[0], 5);
    EXPECT_EQ(Dib(png, 1)[1], 10);
}

// Random rows with random filter types, or all unfiltered.
TBytes RandomRows(int width, int height, int bytesPerPixel, uint32_t seed, bool filtered = true) {
    std::mt19937 random(seed);
    TBytes raw;
    for (int y = 0; y < height; ++y) {
        raw.push_back(filtered ? uint8_t(random() % 5) : 0);
        for (int i = 0; i < width * bytesPerPixel; ++i) raw.push_back(uint8_t(random()));
    }
    return raw;
}

TBytes Pixels(const TPngImage& png) {
    const TChunkIHDR& header = png.Header();
    return TBytes(header.ImageData(), header.ImageData() + header.BytesPerRow() * png.Height());
}

TEST(PngCrafted, ImageDataSplitOrHugeDecodesAsOneStream) {
    const TBytes ihdr = IhdrData(60, 60, 8, 2);
    const TBytes raw = RandomRows(60, 60, 3, 7);
    TPngImage whole, split;
    Load(whole, PngFile(ihdr, {IdatChunks(raw)}));
    Load(split, PngFile(ihdr, {IdatChunks(raw, 100)}));
    EXPECT_EQ(Pixels(split), Pixels(whole));
    EXPECT_GT(Compress(raw).size(), 100u * 100u) << "more than 100 chunks of 100 bytes";

    // One IDAT of about 200000 bytes: the last row ends inside a portion of
    // input, and the chunk's CRC still covers all of it.
    const TBytes bigRaw = RandomRows(300, 222, 3, 8, false);
    TPngImage big;
    Load(big, PngFile(IhdrData(300, 222, 8, 2), {IdatChunks(bigRaw)}));
    EXPECT_GT(Compress(bigRaw).size(), 200000u);
    const uint8_t* lastRaw = &bigRaw[bigRaw.size() - 900];
    const uint8_t* lastRow = Dib(big, 221);
    int wrong = 0;
    for (int x = 0; x < 300; ++x)
        for (int c = 0; c < 3; ++c) wrong += lastRow[3 * x + c] != lastRaw[3 * x + 2 - c];
    EXPECT_EQ(wrong, 0) << "the last row, blue-green-red";
}

TEST(PngCrafted, ChunksAroundTheImageData) {
    const TBytes ihdr = IhdrData(60, 60, 8, 2);
    const TBytes raw = RandomRows(60, 60, 3, 9);
    const TBytes compressed = Compress(raw);
    const TBytes head = Chunk("IDAT", TBytes(compressed.begin(), compressed.begin() + 1000));
    const TBytes tail = Chunk("IDAT", TBytes(compressed.begin() + 1000, compressed.end()));
    const TBytes text = Chunk("tEXt", {'k', 0, 'v'});
    ExpectLoadFailure("tEXt while data are needed", PngFile(ihdr, {head, text, tail}), "EPNGMissingMultipleIDAT",
                      png_messages::MissingMultipleIDAT);
    // IDAT chunks after the rows are complete are skipped unread.
    TBytes garbage = Chunk("IDAT", TBytes(50, 0xEE));
    garbage[garbage.size() - 1] ^= 0xFF;  // not even its CRC is tested
    TPngImage png;
    EXPECT_NO_THROW(Load(png, PngFile(ihdr, {head, tail, text, garbage})));
}

TEST(PngCrafted, AncillaryAndUnknownChunks) {
    const TBytes ihdr = IhdrData(1, 1, 8, 0);
    const TBytes rows = IdatChunks(Unfiltered({{7}}));
    TBytes badText = Chunk("tEXt", {'k', 0, 'v'});
    badText.back() ^= 1;
    ExpectLoadFailure("ancillary chunk with a wrong CRC", PngFile(ihdr, {badText, rows}), "EPngInvalidCRC",
                      png_messages::InvalidCRC);
    TBytes badChrm = Chunk("cHRM", TBytes(32, 1));
    badChrm.back() ^= 1;
    TPngImage png;
    Load(png, PngFile(ihdr, {badChrm, Chunk("prVt", {1, 2}), rows}));
    ASSERT_EQ(png.Chunks().size(), 4u) << "IHDR, prVt, IDAT, IEND: cHRM is not kept";
    EXPECT_EQ(png.Chunks()[1]->Name(), "prVt");
    EXPECT_EQ(png.Chunks()[1]->Data(), (TBytes{1, 2}));
    ExpectLoadFailure("unknown critical chunk", PngFile(ihdr, {Chunk("CRIT", {}), rows}), "EPNGUnknownCriticalChunk",
                      png_messages::UnknownCriticalChunk);
}

TEST(PngCrafted, TextChunks) {
    const TBytes compressedText = Compress(TBytes{'h', 'e', 'l', 'l', 'o'});
    TBytes ztxt = {'K', 'e', 'y', 0, 0};
    ztxt.insert(ztxt.end(), compressedText.begin(), compressedText.end());
    // Compressed text inflating far beyond any real text is left empty.
    const TBytes bombText = Compress(TBytes(size_t(8) << 20, 'a'));
    TBytes bomb = {'B', 0, 0};
    bomb.insert(bomb.end(), bombText.begin(), bombText.end());
    TPngImage png;
    Load(png, PngFile(IhdrData(1, 1, 8, 0), {Chunk("tEXt", {'T', 'i', 't', 'l', 'e', 0, 'x', 'y'}), Chunk("zTXt", ztxt),
                                             Chunk("zTXt", bomb), IdatChunks(Unfiltered({{7}}))}));
    const auto* text = dynamic_cast<const TChunktEXt*>(png.Chunks()[1].get());
    const auto* ztext = dynamic_cast<const TChunkzTXt*>(png.Chunks()[2].get());
    const auto* bombed = dynamic_cast<const TChunkzTXt*>(png.Chunks()[3].get());
    ASSERT_TRUE(text && ztext && bombed);
    EXPECT_EQ(text->Keyword() + "=" + text->Text(), "Title=xy");
    EXPECT_EQ(ztext->Keyword() + "=" + ztext->Text(), "Key=hello");
    EXPECT_EQ(bombed->Keyword() + "=" + bombed->Text(), "B=");
}

TEST(PngCrafted, HeaderAndStructureFailures) {
    using namespace png_messages;
    const TBytes rows = IdatChunks(Unfiltered({{0}}));
    TBytes shortIhdr = IhdrData(1, 1, 8, 0);
    shortIhdr.pop_back();
    TBytes huge = Join({Signature(), Chunk("IHDR", IhdrData(1, 1, 8, 0))});
    PutBigEndian32(huge, 0xFFFFFFF0u);  // a tEXt chunk claiming 4 GiB
    huge.insert(huge.end(), {'t', 'E', 'X', 't', 1, 2, 3});
    TBytes compression1 = IhdrData(1, 1, 8, 0);
    compression1[10] = 1;
    struct {
        const char* Name;
        TBytes File;
        const char* ClassName;
        const char* Message;
    } cases[] = {
        {"empty file", {}, "EPNGInvalidFileHeader", InvalidFileHeader},
        {"first chunk not IHDR", Join({Signature(), Chunk("gAMA", {0, 0, 0, 1})}), "EPNGIHDRNotFirst", IHDRNotFirst},
        {"no IEND", Join({Signature(), Chunk("IHDR", IhdrData(1, 1, 8, 0)), rows}), "EPngUnexpectedEnd", UnexpectedEnd},
        {"chunk longer than the file", huge, "EPngInvalidCRC", InvalidCRC},
        {"no IDAT", PngFile(IhdrData(1, 1, 8, 0), {}), "EPNGNoImageData", NoImageData},
        {"IHDR of 12 bytes", PngFile(shortIhdr, {rows}), "EPngInvalidIHDR", InvalidIHDR},
        {"width 65536", PngFile(IhdrData(65536, 1, 8, 0), {rows}), "EPNGSizeExceeds", SizeExceeds},
        {"compression 1", PngFile(compression1, {rows}), "EPNGUnknownCompression", UnknownCompression},
        {"interlace 2", PngFile(IhdrData(1, 1, 8, 0, 2), {rows}), "EPNGUnknownInterlace", UnknownInterlace},
        {"colour type 5", PngFile(IhdrData(1, 1, 8, 5), {rows}), "EPNGUnknownColorType", UnknownColorType},
        {"grey at depth 3", PngFile(IhdrData(1, 1, 3, 0), {rows}), "EPNGOutMemory", OutMemory},
        {"width 0", PngFile(IhdrData(0, 1, 8, 0), {rows}), "EPNGOutMemory", OutMemory},
        {"RGB at depth 4", PngFile(IhdrData(1, 1, 4, 2), {rows}), "EPNGInvalidBitDepth", InvalidBitDepth},
        {"grey + alpha at depth 2", PngFile(IhdrData(1, 1, 2, 4, 1), {rows}), "EPNGInvalidBitDepth", InvalidBitDepth},
        {"PLTE of 4 bytes", PngFile(IhdrData(1, 1, 8, 3), {Chunk("PLTE", {1, 2, 3, 4}), rows}), "EPNGInvalidPalette",
         InvalidPalette},
        {"PLTE of 257 entries", PngFile(IhdrData(1, 1, 8, 3), {Chunk("PLTE", TBytes(771, 1)), rows}),
         "EPNGInvalidPalette", InvalidPalette},
        {"tRNS of 257 bytes", PngFile(IhdrData(1, 1, 8, 3), {Chunk("tRNS", TBytes(257, 1)), rows}),
         "EPNGInvalidPalette", InvalidPalette},
        {"garbage image data", PngFile(IhdrData(1, 1, 8, 0), {Chunk("IDAT", TBytes(20, 0xFF))}), "EPNGZLIBError",
         nullptr},
    };
    for (const auto& c : cases) {
        const std::string message =
            c.Message ? std::string(c.Message) : std::string(ZLIBErrorPrefix) + "data error (-3)";
        ExpectLoadFailure(c.Name, c.File, c.ClassName, message);
    }
    TPngImage widest;
    EXPECT_NO_THROW(Load(widest, PngFile(IhdrData(65535, 1, 1, 0), {IdatChunks(TBytes(8193, 0))})));
    EXPECT_EQ(widest.Width(), 65535);
}

TEST(PngCrafted, SizesAboveThePixelLimitFailBeforeAllocating) {
    // 65535 × 65535 RGB would need 12 GiB; the header alone is refused.
    ExpectLoadFailure("65535 × 65535", PngFile(IhdrData(65535, 65535, 8, 2), {IdatChunks(Unfiltered({{0}}))}),
                      "EPNGOutMemory", png_messages::OutMemory);
}

TEST(PngCrafted, InflateIsBoundedByTheRows) {
    // 8 × 8 grey whose image data inflate to 16 MiB of zeros: only the rows
    // are taken, the rest is never inflated.
    const TBytes bomb = Compress(TBytes(size_t(16) << 20, 0));
    TPngImage png;
    EXPECT_NO_THROW(Load(png, PngFile(IhdrData(8, 8, 8, 0), {Chunk("IDAT", bomb)})));
    EXPECT_LT(bomb.size(), 20000u);
}

TEST(PngCrafted, EarlyEndOfCompressedDataKeepsTheRowsSoFar) {
    // 2 of 4 rows, then the compressed stream ends though the chunk goes on.
    TBytes data = Compress(Unfiltered({{1, 2}, {3, 4}}));
    data.insert(data.end(), 30, 0x55);
    TPngImage png;
    Load(png, PngFile(IhdrData(2, 4, 8, 0), {Chunk("IDAT", data)}));
    EXPECT_EQ((TBytes{Dib(png, 0)[0], Dib(png, 0)[1], Dib(png, 1)[0], Dib(png, 1)[1]}), (TBytes{1, 2, 3, 4}));
    EXPECT_EQ((TBytes{Dib(png, 2)[0], Dib(png, 3)[1]}), (TBytes{0, 0})) << "rows not decoded stay zero";
}

TEST(PngCrafted, TransparencyModeAndColour) {
    const TBytes plte = Chunk("PLTE", {10, 20, 30, 40, 50, 60, 70, 80, 90});
    const TBytes rows8 = IdatChunks(Unfiltered({{0}}));
    struct {
        const char* Name;
        TBytes File;
        TPNGTransparencyMode Mode;
        TColor Color;  // for ptmBit
    } cases[] = {
        {"grey without tRNS", PngFile(IhdrData(1, 1, 8, 0), {rows8}), ptmNone, 0},
        {"grey 8", PngFile(IhdrData(1, 1, 8, 0), {Chunk("tRNS", {0, 77}), rows8}), ptmBit, 0x4D4D4D},
        {"grey 16: the high byte, as the pixels",
         PngFile(IhdrData(1, 1, 16, 0), {Chunk("tRNS", {0x12, 0xFF}), IdatChunks(Unfiltered({{0, 0}}))}), ptmBit,
         0x121212},
        {"grey 2: the ramp index of the sample", PngFile(IhdrData(1, 1, 2, 0), {Chunk("tRNS", {0, 2}), rows8}), ptmBit,
         0xAAAAAA},
        {"RGB 8",
         PngFile(IhdrData(1, 1, 8, 2), {Chunk("tRNS", {0, 1, 0, 2, 0, 3}), IdatChunks(Unfiltered({{0, 0, 0}}))}),
         ptmBit, 0x030201},
        {"RGB 16: high bytes",
         PngFile(IhdrData(1, 1, 16, 2),
                 {Chunk("tRNS", {1, 0xFF, 2, 0xFF, 3, 0xFF}), IdatChunks(Unfiltered({TBytes(6, 0)}))}),
         ptmBit, 0x030201},
        {"palette, one entry 0", PngFile(IhdrData(1, 1, 8, 3), {plte, Chunk("tRNS", {255, 0}), rows8}), ptmBit,
         0x3C3228},
        {"palette, one entry 100: bit-transparent, the colour black",
         PngFile(IhdrData(1, 1, 8, 3), {plte, Chunk("tRNS", {255, 100}), rows8}), ptmBit, 0},
        {"palette, all 255", PngFile(IhdrData(1, 1, 8, 3), {plte, Chunk("tRNS", {255, 255}), rows8}), ptmPartial, 0},
        {"palette, two below 255", PngFile(IhdrData(1, 1, 8, 3), {plte, Chunk("tRNS", {0, 100}), rows8}), ptmPartial,
         0},
        {"palette without tRNS", PngFile(IhdrData(1, 1, 8, 3), {plte, rows8}), ptmNone, 0},
        {"grey + alpha", PngFile(IhdrData(1, 1, 8, 4), {IdatChunks(Unfiltered({{0, 0}}))}), ptmPartial, 0},
    };
    for (const auto& c : cases) {
        TPngImage png;
        Load(png, c.File);
        EXPECT_EQ(png.TransparencyMode(), c.Mode) << c.Name;
        if (c.Mode == ptmBit) {
            EXPECT_EQ(png.TransparentColor(), c.Color) << c.Name;
        }
    }
}

}  // namespace
