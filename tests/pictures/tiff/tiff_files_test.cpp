// TWICImage over the public TIFF files: every common kind loads at its size
// into a 32-bit premultiplied bitmap, codings of one picture agree, and a
// multi-page file gives its first page.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tiff_test_support.h"

using namespace tifftest;

namespace {

TEST(TiffFiles, EveryCommonKindLoadsAsA32BitPremultipliedBitmap) {
    const std::tuple<const char*, int, int> files[] = {
        {"libtiff-test-images/rgb-3c-8b.tiff", 157, 151},               // uncompressed RGB
        {"go/blue-purple-pink.lzwcompressed.tiff", 150, 100},           // LZW
        {"go/video-001.tiff", 150, 103},                                // deflate
        {"libtiff-test-images/palette-1c-8b.tiff", 157, 151},           // palette
        {"libtiff-test-images/minisblack-1c-16b.tiff", 157, 151},       // 16-bit grey
        {"libtiff-pics/strike.tif", 256, 200},                          // associated alpha
        {"go/no_compress.tiff", 16, 15},                                // unassociated alpha
        {"image-tiff-seq/seq-4c-16b-rgba-5181991f.tiff", 16, 16},       // 16-bit RGBA
        {"libtiff-pics-depth/flower-separated-planar-08.tif", 73, 43},  // CMYK
        {"image-tiff-seq/seq-4c-16b-cmyk-c6e52592.tiff", 16, 16},
        {"libtiff-pics/oxford.tif", 601, 81},  // planar
        {"libtiff-pics/ycbcr-cat.tif", 250, 325},
        {"image-tiff-seq/seq-3c-16b-bigtiff-1b40ca6e.tiff", 16, 16},
    };
    for (const auto& [path, width, height] : files) {
        TWICImage image;
        ASSERT_NO_THROW(image.LoadFromFile(SuitePath(path))) << path;
        EXPECT_EQ(image.ImageFormat(), wifTiff) << path;
        TBitmap decoded;
        decoded.Assign(&image);
        EXPECT_EQ(decoded.PixelFormat(), pf32bit) << path;
        EXPECT_EQ(decoded.AlphaFormat(), afDefined) << path;
        EXPECT_EQ(decoded.Width(), width) << path;
        EXPECT_EQ(decoded.Height(), height) << path;
    }
}

// Files that differ only in compression, strips, tiles, planes, byte order
// or bit depth hold one picture. 16-bit samples reduced to 8 bits may differ
// by a step from an 8-bit file rounded on its own (two where ink and black
// are multiplied).
TEST(TiffFiles, CodingsOfOnePictureAgree) {
    const std::pair<std::vector<const char*>, int> groups[] = {
        {{"go/video-001-uncompressed.tiff", "go/video-001.tiff", "go/video-001-strip-64.tiff",
          "go/video-001-tile-64x64.tiff", "go/video-001-16bit.tiff"},
         0},
        {{"image-tiff-seq/seq-1c-8b-bigendian-20f3db0c.tiff", "image-tiff-seq/seq-1c-8b-bigtiff-20f3db0c.tiff",
          "image-tiff-seq/seq-1c-8b-deflate-20f3db0c.tiff", "image-tiff-seq/seq-1c-8b-lzw-hpredict-20f3db0c.tiff",
          "image-tiff-seq/seq-1c-8b-packbits-20f3db0c.tiff", "image-tiff-seq/seq-1c-8b-tiled-lzw-20f3db0c.tiff"},
         0},
        {{"image-tiff-seq/seq-1c-1b-71f6a21a.tiff", "image-tiff-seq/seq-1c-1b-miniswhite-71f6a21a.tiff"}, 0},
        {{"libtiff-pics-depth/flower-rgb-contig-08.tif", "libtiff-pics-depth/flower-rgb-planar-08.tif",
          "libtiff-pics-depth/flower-rgb-planar-16.tif"},
         1},
        {{"libtiff-test-images/rgb-3c-8b.tiff", "libtiff-test-images/rgb-3c-16b.tiff"}, 1},
        {{"go/video-001-gray.tiff", "go/video-001-gray-16bit.tiff"}, 1},
        {{"libtiff-pics-depth/flower-separated-contig-08.tif", "libtiff-pics-depth/flower-separated-planar-08.tif",
          "libtiff-pics-depth/flower-separated-contig-16.tif"},
         2},
    };
    for (const auto& [files, tolerance] : groups) {
        const std::vector<uint32_t> want = DecodedPixels(files[0]);
        ASSERT_FALSE(want.empty()) << files[0];
        for (size_t f = 1; f < files.size(); ++f) {
            const std::vector<uint32_t> have = DecodedPixels(files[f]);
            ASSERT_EQ(have.size(), want.size()) << files[f];
            int worst = 0;
            for (size_t i = 0; i < have.size(); ++i)
                for (int shift : {0, 8, 16, 24})
                    worst = std::max(worst, std::abs(int((have[i] >> shift) & 0xFF) - int((want[i] >> shift) & 0xFF)));
            EXPECT_LE(worst, tolerance) << files[f];
        }
    }
}

TEST(TiffFiles, MultiPageFileGivesItsFirstPageAndRefusesMissingPages) {
    const std::string path = SuitePath("image-tiff-seq/seq-1c-8b-multipage-adeefdcc.tiff");
    TWICImage image;
    image.LoadFromFile(path);
    EXPECT_EQ(image.FrameCount(), 3);
    TBitmap first, third, again;
    first.Assign(&image);
    image.SetFrameIndex(2);
    image.LoadFromFile(path);  // a new load drops the bitmap built before
    third.Assign(&image);
    EXPECT_NE(Pixels32(third), Pixels32(first));
    image.SetFrameIndex(0);
    image.LoadFromFile(path);
    again.Assign(&image);
    EXPECT_EQ(Pixels32(again), Pixels32(first));

    image.SetFrameIndex(3);
    try {
        image.LoadFromFile(path);
        FAIL() << "frame 3 of 3 loaded";
    } catch (const EInvalidOperation& error) {
        EXPECT_STREQ(error.what(), "Invalid image frame index 3: there are 3 frames (0-2)");
    }
}

}  // namespace
