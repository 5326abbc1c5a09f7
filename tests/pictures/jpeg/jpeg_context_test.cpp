// The libjpeg plumbing without a bitmap: error codes, the source manager,
// refusals when decoding starts.

#include <gtest/gtest.h>

#include "jpeg_test_support.h"
#include "pictures/jpeg/jpeg_context.h"
#include "pictures/jpeg/jpeg_pixels.h"

namespace {

Bytes DecodeRows(const Bytes& file, size_t portion = JPEGSourcePortion, const TJPEGDecodeSettings& settings = {}) {
    TJPEGContext context(file.data(), file.size(), portion);
    TJPEGOutput output = context.Configure(settings);
    context.Start();
    size_t rowBytes = static_cast<size_t>(output.Width) * (output.BitsPerPixel() / 8);
    Bytes rows(rowBytes * static_cast<size_t>(output.Height));
    context.ReadRows(rows.data(), static_cast<ptrdiff_t>(rowBytes), rowBytes);
    context.Finish();
    return rows;
}

std::string Code(int code) { return "JPEG error #" + std::to_string(code); }

}  // namespace

TEST(JPEGPixels, InvertedInksAndReversedRgb) {
    // (cyan, magenta, yellow, black) as stored become (blue, green, red, 255).
    Bytes row = {255, 0, 255, 255, 255, 255, 255, 128, 100, 200, 50, 10};
    ConvertInvertedCmykRow(row.data(), 3);
    EXPECT_EQ(row, (Bytes{255, 0, 255, 255, 128, 128, 128, 255, 1, 7, 3, 255}));

    Bytes rgb = {1, 2, 3, 4, 5, 6};
    ReverseRgbRow(rgb.data(), 2);
    EXPECT_EQ(rgb, (Bytes{3, 2, 1, 6, 5, 4}));
}

// Tiny portions make libjpeg refill and skip across portion boundaries: Exif
// and Adobe segments and restart markers, progressive scans, a truncated end.
TEST(JPEGContext, PortionSizeDoesNotChangeTheRows) {
    for (const char* name : {"pillow/pil_sample_cmyk.jpg", "go/video-001.progressive.jpeg",
                             "wuffs/peacock.default.truncated.jpeg", "pillow/hopper_orientation_3.jpg"}) {
        SCOPED_TRACE(name);
        Bytes file = ReadTestImage(name);
        Bytes whole = DecodeRows(file, file.size());
        for (size_t portion : {size_t{1}, size_t{7}, JPEGSourcePortion}) {
            EXPECT_TRUE(DecodeRows(file, portion) == whole) << "portion " << portion;
        }
    }
}

TEST(JPEGContext, HeaderErrorsCarryLibjpegCodes) {
    struct Case {
        const char* Name;
        Bytes File;
        int Code;
    } cases[] = {
        {"no data at all", {}, JERR_INPUT_EMPTY},
        {"PNG signature", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}, JERR_NO_SOI},
        {"end of image before a frame", {0xFF, 0xD8, 0xFF, 0xD9}, JERR_NO_IMAGE},
        {"zero width", CraftedHeader(0xC0, 0, 16, 3), JERR_EMPTY_IMAGE},
        {"width above 65500", CraftedHeader(0xC0, 65501, 16, 3), JERR_IMAGE_TOO_BIG},
        {"lossless frame", CraftedHeader(0xC3, 16, 16, 1), JERR_SOF_UNSUPPORTED},
        {"12-bit samples", ReadTestImage("libjpeg-turbo/monkey12.jpg"), JERR_BAD_PRECISION},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MessageOf<EJPEG>([&] { TJPEGContext(c.File.data(), c.File.size()).ReadHeader(); }), Code(c.Code))
            << c.Name;
    }
}

TEST(JPEGContext, RefusesWhatItCannotShowWhenDecodingStarts) {
    Bytes arithmetic = ReadTestImage("libjpeg-turbo/testimgari.jpg");
    EXPECT_GT(TJPEGContext(arithmetic.data(), arithmetic.size()).ReadHeader().Width, 0);
    EXPECT_EQ(MessageOf<EJPEG>([&] { DecodeRows(arithmetic); }), Code(JERR_ARITH_NOTIMPL));
    // Two components have no pixel format; libjpeg would pass them through.
    Bytes pairs = CraftedHeader(0xC0, 16, 16, 2);
    EXPECT_EQ(MessageOf<EJPEG>([&] { DecodeRows(pairs); }), Code(JPEGUnsupportedComponentsCode));
    TJPEGDecodeSettings grey;
    grey.Grayscale = true;
    Bytes cmyk = ReadTestImage("go/video-001.cmyk.jpeg");
    EXPECT_EQ(MessageOf<EJPEG>([&] { DecodeRows(cmyk, JPEGSourcePortion, grey); }), Code(JERR_CONVERSION_NOTIMPL));
}

// A small file repeating one progressive scan far more often than any encoder
// would is refused instead of being decoded scan after scan.
TEST(JPEGContext, RefusesAbsurdNumbersOfScans) {
    Bytes file = ReadTestImage("go/video-005.gray.q50.progressive.jpeg");
    // The second scan runs from its SOS marker to the next marker.
    std::vector<size_t> markers;
    for (size_t i = 2; i + 1 < file.size(); ++i) {
        uint8_t next = file[i + 1];
        if (file[i] == 0xFF && next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) {
            markers.push_back(i);
        }
    }
    std::vector<size_t> scans;
    for (size_t m = 0; m + 1 < markers.size(); ++m) {
        if (file[markers[m] + 1] == 0xDA) {
            scans.push_back(m);
        }
    }
    ASSERT_GE(scans.size(), 2u);
    size_t begin = markers[scans[1]], end = markers[scans[1] + 1];
    auto withCopies = [&](int copies) {
        Bytes result(file.begin(), file.begin() + end);
        for (int c = 1; c < copies; ++c) {
            result.insert(result.end(), file.begin() + begin, file.begin() + end);
        }
        result.insert(result.end(), file.begin() + end, file.end());
        return result;
    };
    EXPECT_EQ(MessageOf<EJPEG>([&] { DecodeRows(withCopies(50)); }), NothingRaised);
    EXPECT_EQ(MessageOf<EJPEG>([&] { DecodeRows(withCopies(JPEGMaxScans + 10)); }), Code(JPEGTooManyScansCode));
}
