#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "pixels/bitmap32.h"

namespace {

using Bytes = std::vector<uint8_t>;

uint32_t LE32(const Bytes& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | uint32_t(bytes[offset + 3]) << 24;
}

Bytes Saved(const TCustomBitmap32& bitmap, bool topDown = false, TInfoHeaderVersion version = InfoHeaderVersion4,
            bool includeColorTable = false) {
    TMemoryStream stream;
    bitmap.SaveToStream(stream, topDown, version, includeColorTable);
    return stream.Data();
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The worked two-colour palette: row 0 three times $FF102030, row 1 zeros.
const TBitmap32& TwoColourPalette() {
    static const std::unique_ptr<TBitmap32> palette = [] {
        auto bitmap = std::make_unique<TBitmap32>(3, 2);
        for (int x = 0; x < 3; ++x) bitmap->SetPixel(x, 0, 0xFF102030);
        return bitmap;
    }();
    return *palette;
}

const Bytes WorkedExample = [] {
    Bytes b = {0x42, 0x4D, 0x92, 0, 0,    0, 0, 0, 0, 0, 0x7A, 0, 0, 0,           // file header
               0x6C, 0,    0,    0, 3,    0, 0, 0, 2, 0, 0,    0, 1, 0, 0x20, 0,  // size, width, height, planes, bits
               3,    0,    0,    0, 0x18, 0, 0, 0};                               // bit fields, image size
    b.insert(b.end(), 16, 0);                                                     // resolutions, colour counts
    for (uint8_t byte : {0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0xFF, 0, 0, 0, 0, 0, 0, 0xFF, 0x42, 0x47, 0x52, 0x73})
        b.push_back(byte);     // masks, "sRGB"
    b.insert(b.end(), 48, 0);  // end points, gammas
    b.insert(b.end(), 12, 0);  // row 1 (the bottom row) first
    for (int i = 0; i < 3; ++i) b.insert(b.end(), {0x30, 0x20, 0x10, 0xFF});
    return b;
}();

TEST(BmpWriter, WorkedExampleByteForByteAtAnyStreamPosition) {
    ASSERT_EQ(WorkedExample.size(), 146u);
    EXPECT_EQ(Saved(TwoColourPalette()), WorkedExample);

    TMemoryStream stream;
    stream.WriteBuffer("xyz", 3);
    TwoColourPalette().SaveToStream(stream, false);
    EXPECT_EQ(stream.Position(), 3 + 146);
    EXPECT_EQ(Bytes(stream.Data().begin() + 3, stream.Data().end()), WorkedExample);
}

TEST(BmpWriter, HeaderVersions) {
    const struct {
        TInfoHeaderVersion version;
        bool includeColorTable;
        uint32_t headerSize, compression, pixelOffset, redMask;
    } cases[] = {
        {InfoHeaderVersion1, true, 40, 0, 54, 0},  // no masks, so none repeated
        {InfoHeaderVersion2, false, 52, 0, 66, 0},
        {InfoHeaderVersion3, false, 56, 3, 70, 0x00FF0000},
        {InfoHeaderVersion3, true, 56, 3, 82, 0x00FF0000},
        {InfoHeaderVersion4, true, 108, 3, 134, 0x00FF0000},
        {InfoHeaderVersion5, false, 124, 3, 138, 0x00FF0000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "version " << int(c.version) + 1 << ", table " << c.includeColorTable);
        const Bytes file = Saved(TwoColourPalette(), false, c.version, c.includeColorTable);
        ASSERT_EQ(file.size(), c.pixelOffset + 24);
        EXPECT_EQ(LE32(file, 2), file.size());
        EXPECT_EQ(LE32(file, 10), c.pixelOffset);
        EXPECT_EQ(LE32(file, 14), c.headerSize);
        EXPECT_EQ(LE32(file, 30), c.compression);
        if (c.headerSize >= 52) {
            EXPECT_EQ(LE32(file, 54), c.redMask);
        }
        if (c.pixelOffset > 14 + c.headerSize) {
            EXPECT_EQ(LE32(file, 14 + c.headerSize), 0x00FF0000u);  // the repeated masks
        }
        EXPECT_EQ(LE32(file, file.size() - 4), 0xFF102030u);  // row 0 last
    }
    EXPECT_THROW(Saved(TwoColourPalette(), false, static_cast<TInfoHeaderVersion>(5)), EInvalidGraphic);
}

TEST(BmpWriter, RowOrderAndSmallSizes) {
    const Bytes topDown = Saved(TwoColourPalette(), true);
    EXPECT_EQ(int32_t(LE32(topDown, 22)), -2);
    EXPECT_EQ(LE32(topDown, 122), 0xFF102030u);
    EXPECT_EQ(LE32(topDown, 134), 0u);

    const Bytes none = Saved(TBitmap32(3, 0));
    ASSERT_EQ(none.size(), 122u);
    EXPECT_EQ(LE32(none, 2), 122u);
    EXPECT_EQ(LE32(none, 18), 3u);
    EXPECT_EQ(LE32(none, 34), 0u);

    TBitmap32 one(1, 1);
    one.SetPixel(0, 0, 0x80FF0000);
    const Bytes single = Saved(one);
    ASSERT_EQ(single.size(), 126u);
    EXPECT_EQ(Bytes(single.end() - 4, single.end()), (Bytes{0x00, 0x00, 0xFF, 0x80}));

    // More rows than one write block holds: every row lands in its place.
    TBitmap32 tall(3, 100000);
    for (int i = 0; i < 300000; ++i) tall.Bits()[i] = i;
    const Bytes file = Saved(tall);
    ASSERT_EQ(file.size(), 122u + 12u * 100000u);
    for (int row : {0, 21845, 87381, 99999}) EXPECT_EQ(LE32(file, 122 + row * 12), (99999u - row) * 3) << row;
}

class SaveToFile : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/tw_pixels_XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder = pattern;
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    size_t FilesInFolder() const {
        return std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator());
    }
    std::string folder;
};

TEST_F(SaveToFile, EveryNameGivesTheSameBmpBytesAndReplacesALongerFile) {
    WriteFile(folder + "/Palette.bmp", Bytes(5000, 0xEE));
    for (const char* name : {"Palette.bmp", "PALETTE.BMP", "x.Dib", "Palette", "Palette.xyz"}) {
        const std::string path = folder + "/" + name;
        TwoColourPalette().SaveToFile(path);
        EXPECT_EQ(ReadFile(path), WorkedExample) << name;
    }
    EXPECT_EQ(FilesInFolder(), 5u);  // no temporary file left behind
}

TEST_F(SaveToFile, FailureNamesTheFullPathAndKeepsThePreviousFile) {
    char previousDirectory[4096];
    ASSERT_NE(::getcwd(previousDirectory, sizeof previousDirectory), nullptr);
    ASSERT_EQ(::chdir(folder.c_str()), 0);
    try {
        TwoColourPalette().SaveToFile("missing/Palette.bmp");
        ADD_FAILURE() << "saved into a missing folder";
    } catch (const EFCreateError& e) {
        const std::string expected = "Cannot create file \"" + folder + "/missing/Palette.bmp\". ";
        EXPECT_EQ(std::string(e.what()).rfind(expected, 0), 0u) << e.what();
    }
    ASSERT_EQ(::chdir(previousDirectory), 0);

    // A save that fails after the new file was begun (an invalid header
    // version) leaves the earlier file as it was, and no temporary file.
    const std::string path = folder + "/Palette.bmp";
    const Bytes previous(300, 0x5A);
    WriteFile(path, previous);
    EXPECT_THROW(TwoColourPalette().SaveToFile(path, false, static_cast<TInfoHeaderVersion>(9)), EInvalidGraphic);
    EXPECT_EQ(ReadFile(path), previous);
    EXPECT_EQ(FilesInFolder(), 1u);
}

}  // namespace
