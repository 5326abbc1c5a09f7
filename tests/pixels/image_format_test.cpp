#include "pixels/image_format.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "pixels/bitmap32.h"

namespace {

std::vector<std::string> Names(const TImageFormatManager& registry) {
    std::vector<std::string> names;
    for (const TImageFormatItem& item : registry.Formats()) names.push_back(item.ImageFormat->ClassName());
    return names;
}

TEST(ImageFormatRegistry, StandardOrderDecidesTheDispatch) {
    const TImageFormatManager& registry = ImageFormatManager();
    EXPECT_EQ(Names(registry),
              (std::vector<std::string>{"TImageFormatAdapterBMP", "TImageFormatAdapterPNG32",
                                        "TImageFormatAdapterTPicture", "TImageFormatAdapterTIcon",
                                        "TImageFormatAdapterTMetaFile", "TImageFormatAdapterTWICImage",
                                        "TImageFormatAdapterTBitmap", "TImageFormatAdapterTClipboard",
                                        "TCustomImageFormatAdapterTGraphic", "TImageFormatReaderTPicture"}));
    std::vector<int> handles;  // given in registration order
    for (const TImageFormatItem& item : registry.Formats()) handles.push_back(item.Handle);
    EXPECT_EQ(handles, (std::vector<int>{1, 2, 9, 8, 7, 6, 5, 3, 4, 10}));
}

struct TNamed : IImageFormat {
    explicit TNamed(const char* name) : Name(name) {}
    const char* ClassName() const override { return Name; }
    const char* Name;
};

TEST(ImageFormatRegistry, LaterRegistrationGoesBeforeEqualPriority) {
    TImageFormatManager registry;
    for (auto [name, priority] : {std::pair{"a", 5}, {"b", -5}, {"c", 5}, {"d", 6}, {"e", 5}})
        registry.RegisterImageFormat(std::make_shared<TNamed>(name), priority);
    EXPECT_EQ(Names(registry), (std::vector<std::string>{"b", "e", "c", "a", "d"}));
    EXPECT_TRUE(registry.UnregisterImageFormat(3));
    EXPECT_FALSE(registry.UnregisterImageFormat(3));
    EXPECT_EQ(Names(registry), (std::vector<std::string>{"b", "e", "a", "d"}));
}

TEST(ImageFormatRegistry, FindWriterByExtensionIgnoringCase) {
    const TImageFormatManager& registry = ImageFormatManager();
    IImageFormatWriter* bmp = registry.FindWriter("bmp");
    ASSERT_NE(bmp, nullptr);
    for (const char* type : {"BMP", "Dib", "rle"}) EXPECT_EQ(registry.FindWriter(type), bmp) << type;
    EXPECT_NE(registry.FindWriter("png"), nullptr);
    EXPECT_NE(registry.FindWriter("png"), bmp);
    for (const char* type : {"tif", "", "xyz", "bm"}) EXPECT_EQ(registry.FindWriter(type), nullptr) << type;
}

uint32_t BE32(const uint8_t* at) { return uint32_t(at[0]) << 24 | at[1] << 16 | at[2] << 8 | at[3]; }

TEST(PngWriter, WritesRgbaRowsWithAlphaAsStored) {
    TBitmap32 bitmap(2, 2);
    bitmap.SetPixel(0, 0, 0x80102030);
    bitmap.SetPixel(1, 0, 0xFFFF0000);
    bitmap.SetPixel(1, 1, 0x00ABCDEF);
    TMemoryStream stream;
    ImageFormatManager().FindWriter("PNG")->SaveToStream(bitmap, stream);
    const std::vector<uint8_t>& file = stream.Data();
    ASSERT_GT(file.size(), 8u);
    EXPECT_EQ(std::vector<uint8_t>(file.begin(), file.begin() + 8),
              (std::vector<uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));

    // The chunks, each with a correct CRC.
    std::vector<std::pair<std::string, std::vector<uint8_t>>> chunks;
    for (size_t at = 8; at + 12 <= file.size();) {
        const uint32_t size = BE32(&file[at]);
        ASSERT_LE(at + 12 + size, file.size());
        EXPECT_EQ(BE32(&file[at + 8 + size]), crc32(0, &file[at + 4], 4 + size));
        chunks.push_back({std::string(file.begin() + at + 4, file.begin() + at + 8),
                          std::vector<uint8_t>(file.begin() + at + 8, file.begin() + at + 8 + size)});
        at += 12 + size;
    }
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].first + chunks[1].first + chunks[2].first, "IHDRIDATIEND");
    EXPECT_EQ(chunks[0].second, (std::vector<uint8_t>{0, 0, 0, 2, 0, 0, 0, 2, 8, 6, 0, 0, 0}));

    std::vector<uint8_t> raw(2 * 9);
    uLongf rawSize = raw.size();
    ASSERT_EQ(uncompress(raw.data(), &rawSize, chunks[1].second.data(), chunks[1].second.size()), Z_OK);
    EXPECT_EQ(rawSize, raw.size());
    EXPECT_EQ(raw, (std::vector<uint8_t>{0, 0x10, 0x20, 0x30, 0x80, 0xFF, 0, 0, 0xFF,  //
                                         0, 0, 0, 0, 0, 0xAB, 0xCD, 0xEF, 0x00}));

    EXPECT_THROW(ImageFormatManager().FindWriter("png")->SaveToStream(TBitmap32(0, 4), stream), EInvalidGraphic);
}

}  // namespace
