// Our decoded pixels against the reference pixels the public suites ship,
// one row per file. A row states the outcome we stand by: exact, within a
// tolerance and why, or the rule by which we differ.

#include <gtest/gtest.h>

#include <cstdint>

#include "suite_pixels.h"
#include "tests/support/raised_message.h"

using namespace suites;

namespace {

struct TExpect {
    const char* Rule = "exact";
    int Channel = 0;  // the largest red, green or blue difference allowed
    int Alpha = 0;    // the largest alpha difference allowed
    TScope Scope = TScope::Everything;
    size_t MaxDiffering = SIZE_MAX;  // pixels that may differ at all
    const char* Refused = nullptr;   // "Class: message" when we refuse the file
};
const TExpect Exact{};

// Rules shared by several files.
const char* const WidenedChannels =
    "channels narrower than 8 bits widen by bit replication, the reference rounds: within 1";
const char* const AlphaIgnored =
    "the alpha channel of a BMP is ignored and the picture shown opaque: colours equal where the reference is opaque";
const char* const RunUndefined = "pixels a run-length code skips show palette colour 0: the reference's '-0' rendering";
const TExpect RefusedParameter{"refused as the platform bitmap refuses it",
                               0,
                               0,
                               TScope::Everything,
                               SIZE_MAX,
                               "EOSError: System Error.  Code: 87.\r\nThe parameter is incorrect."};
const TExpect RefusedTable{"a colour table longer than 256 entries is refused", 0, 0, TScope::Everything, SIZE_MAX,
                           "EInvalidGraphic: Bitmap image is not valid"};

struct TRow {
    const char* Name;
    const char* File;
    const char* Reference;
    TExpect Expect = Exact;
};

void PrintTo(const TRow& row, std::ostream* out) { *out << row.File; }

TPixels DecodeReference(const std::string& relative) {
    const std::string path = TestImage(relative);
    const std::string extension = path.substr(path.rfind('.'));
    if (extension == ".ppm" || extension == ".pgm" || extension == ".pbm") return ReadNetpbm(path);
    return DecodeAsTheProgramDoes(path);
}

class ReferencePixels : public testing::TestWithParam<TRow> {};

TEST_P(ReferencePixels, MatchAsTheRowStates) {
    const TRow& row = GetParam();
    SCOPED_TRACE(row.Expect.Rule);
    if (row.Expect.Refused) {
        EXPECT_EQ(MessageOf([&] { DecodeAsTheProgramDoes(TestImage(row.File)); }, TMessageForm::WithClassName),
                  row.Expect.Refused);
        return;
    }
    const TPixels reference = DecodeReference(row.Reference);
    ASSERT_GT(reference.Width, 0) << row.Reference;
    const TPixels ours = DecodeAsTheProgramDoes(TestImage(row.File));
    const TDifference difference = Compare(ours, reference, row.Expect.Scope);
    ASSERT_TRUE(difference.SameSize) << ours.Width << "x" << ours.Height << " against " << reference.Width << "x"
                                     << reference.Height;
    EXPECT_LE(difference.WorstChannel, row.Expect.Channel);
    EXPECT_LE(difference.WorstAlpha, row.Expect.Alpha);
    EXPECT_LE(difference.DifferingPixels, row.Expect.MaxDiffering);
    // A tolerance is there for a reason: a row that became exact says so.
    if (row.Expect.Channel > 0 || row.Expect.Alpha > 0) {
        EXPECT_GT(difference.DifferingPixels, 0u);
    }
}

std::string RowName(const testing::TestParamInfo<TRow>& info) { return info.param.Name; }

const TRow BmpRows[] = {
    {"g_pal1", "bmpsuite/g/pal1.bmp", "bmpsuite/html/pal1.png", Exact},
    {"g_pal1wb", "bmpsuite/g/pal1wb.bmp", "bmpsuite/html/pal1.png", Exact},
    {"g_pal1bg", "bmpsuite/g/pal1bg.bmp", "bmpsuite/html/pal1bg.png", Exact},
    {"q_pal1p1", "bmpsuite/q/pal1p1.bmp", "bmpsuite/html/pal1p1.png", Exact},
    {"q_pal2", "bmpsuite/q/pal2.bmp", "bmpsuite/html/pal2.png", RefusedParameter},
    {"q_pal2color", "bmpsuite/q/pal2color.bmp", "bmpsuite/html/pal2color.png", RefusedParameter},
    {"g_pal4", "bmpsuite/g/pal4.bmp", "bmpsuite/html/pal4.png", Exact},
    {"g_pal4gs", "bmpsuite/g/pal4gs.bmp", "bmpsuite/html/pal4gs.png", Exact},
    {"g_pal4rle", "bmpsuite/g/pal4rle.bmp", "bmpsuite/html/pal4.png", Exact},
    {"q_pal4rletrns", "bmpsuite/q/pal4rletrns.bmp", "bmpsuite/html/pal4rletrns-0.png", {RunUndefined}},
    {"q_pal4rlecut", "bmpsuite/q/pal4rlecut.bmp", "bmpsuite/html/pal4rlecut-0.png", {RunUndefined}},
    {"g_pal8", "bmpsuite/g/pal8.bmp", "bmpsuite/html/pal8.png", Exact},
    {"g_pal8_0", "bmpsuite/g/pal8-0.bmp", "bmpsuite/html/pal8.png", Exact},
    {"g_pal8gs", "bmpsuite/g/pal8gs.bmp", "bmpsuite/html/pal8gs.png", Exact},
    {"g_pal8rle", "bmpsuite/g/pal8rle.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8rletrns", "bmpsuite/q/pal8rletrns.bmp", "bmpsuite/html/pal8rletrns-0.png", {RunUndefined}},
    {"q_pal8rlecut", "bmpsuite/q/pal8rlecut.bmp", "bmpsuite/html/pal8rlecut-0.png", {RunUndefined}},
    {"g_pal8w126", "bmpsuite/g/pal8w126.bmp", "bmpsuite/html/pal8w126.png", Exact},
    {"g_pal8w125", "bmpsuite/g/pal8w125.bmp", "bmpsuite/html/pal8w125.png", Exact},
    {"g_pal8w124", "bmpsuite/g/pal8w124.bmp", "bmpsuite/html/pal8w124.png", Exact},
    {"g_pal8topdown", "bmpsuite/g/pal8topdown.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8offs", "bmpsuite/q/pal8offs.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8oversizepal", "bmpsuite/q/pal8oversizepal.bmp", "bmpsuite/html/pal8.png", RefusedTable},
    {"g_pal8nonsquare",
     "bmpsuite/g/pal8nonsquare.bmp",
     "bmpsuite/html/pal8nonsquare-e.png",
     {"pixels as stored, not stretched to their aspect: the reference's '-e' rendering"}},
    {"g_pal8os2", "bmpsuite/g/pal8os2.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8os2_sz", "bmpsuite/q/pal8os2-sz.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8os2_hs", "bmpsuite/q/pal8os2-hs.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8os2sp",
     "bmpsuite/q/pal8os2sp.bmp",
     "bmpsuite/html/pal8.png",
     {"an OS/2 table is read at full size and an offset into it taken as a writer's mistake", 255, 0,
      TScope::Everything, 6936}},
    {"q_pal8os2v2", "bmpsuite/q/pal8os2v2.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8os2v2_16", "bmpsuite/q/pal8os2v2-16.bmp", "bmpsuite/html/pal8.png", RefusedParameter},
    {"q_pal8os2v2_sz", "bmpsuite/q/pal8os2v2-sz.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_pal8os2v2_40sz", "bmpsuite/q/pal8os2v2-40sz.bmp", "bmpsuite/html/pal8.png", Exact},
    {"q_rgb24rle24", "bmpsuite/q/rgb24rle24.bmp", "bmpsuite/html/pal8.png", RefusedParameter},
    {"q_pal1huffmsb", "bmpsuite/q/pal1huffmsb.bmp", "bmpsuite/html/pal1.png", RefusedParameter},
    {"g_pal8v4", "bmpsuite/g/pal8v4.bmp", "bmpsuite/html/pal8.png", Exact},
    {"g_pal8v5", "bmpsuite/g/pal8v5.bmp", "bmpsuite/html/pal8.png", Exact},
    {"g_rgb16", "bmpsuite/g/rgb16.bmp", "bmpsuite/html/rgb16.png", {WidenedChannels, 1}},
    {"g_rgb16bfdef", "bmpsuite/g/rgb16bfdef.bmp", "bmpsuite/html/rgb16.png", {WidenedChannels, 1}},
    {"g_rgb16_565", "bmpsuite/g/rgb16-565.bmp", "bmpsuite/html/rgb16-565.png", {WidenedChannels, 1}},
    {"g_rgb16_565pal", "bmpsuite/g/rgb16-565pal.bmp", "bmpsuite/html/rgb16-565.png", {WidenedChannels, 1}},
    {"q_rgb16faketrns", "bmpsuite/q/rgb16faketrns.bmp", "bmpsuite/html/rgb16.png", {WidenedChannels, 1}},
    {"q_rgb16_231", "bmpsuite/q/rgb16-231.bmp", "bmpsuite/html/rgb16-231.png", Exact},
    {"q_rgb16_3103", "bmpsuite/q/rgb16-3103.bmp", "bmpsuite/html/rgb16-3103.png", {WidenedChannels, 1}},
    {"q_rgba16_4444",
     "bmpsuite/q/rgba16-4444.bmp",
     "bmpsuite/html/rgba16-4444.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba16_5551",
     "bmpsuite/q/rgba16-5551.bmp",
     "bmpsuite/html/rgba16-5551.png",
     {"the alpha bit is ignored; the reference shows its transparent pixels black", 255, 0, TScope::Colours, 1712}},
    {"q_rgba16_1924",
     "bmpsuite/q/rgba16-1924.bmp",
     "bmpsuite/html/rgba16-1924.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"g_rgb24", "bmpsuite/g/rgb24.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"g_rgb24pal", "bmpsuite/g/rgb24pal.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb24largepal", "bmpsuite/q/rgb24largepal.bmp", "bmpsuite/html/rgb24.png", RefusedTable},
    {"q_rgb24prof", "bmpsuite/q/rgb24prof.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb24prof2",
     "bmpsuite/q/rgb24prof2.bmp",
     "bmpsuite/html/rgb24.png",
     {"embedded colour profiles are not applied: red and green stay swapped", 255, 0, TScope::Everything, 3392}},
    {"q_rgb24lprof", "bmpsuite/q/rgb24lprof.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb24jpeg", "bmpsuite/q/rgb24jpeg.bmp", "bmpsuite/html/rgb24.jpg", RefusedParameter},
    {"q_rgb24png", "bmpsuite/q/rgb24png.bmp", "bmpsuite/html/rgb24.png", RefusedParameter},
    {"g_rgb32",
     "bmpsuite/g/rgb32.bmp",
     "bmpsuite/html/rgb24.png",
     {"a 32-bit bitmap's fourth byte (0 here) becomes alpha: colours exact", 0, 0, TScope::Colours}},
    {"g_rgb32bfdef", "bmpsuite/g/rgb32bfdef.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"g_rgb32bf", "bmpsuite/g/rgb32bf.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb32h52", "bmpsuite/q/rgb32h52.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb32_xbgr", "bmpsuite/q/rgb32-xbgr.bmp", "bmpsuite/html/rgb24.png", Exact},
    {"q_rgb32fakealpha",
     "bmpsuite/q/rgb32fakealpha.bmp",
     "bmpsuite/html/rgb24.png",
     {"a 32-bit bitmap's fourth byte becomes alpha: colours exact", 0, 0, TScope::Colours}},
    {"q_rgb32_111110", "bmpsuite/q/rgb32-111110.bmp", "bmpsuite/html/rgb24.png", {WidenedChannels, 1}},
    {"q_rgb32_7187", "bmpsuite/q/rgb32-7187.bmp", "bmpsuite/html/rgb32-7187.png", Exact},
    {"q_rgba32_1",
     "bmpsuite/q/rgba32-1.bmp",
     "bmpsuite/html/rgba32.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba32_2",
     "bmpsuite/q/rgba32-2.bmp",
     "bmpsuite/html/rgba32.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba32_1010102",
     "bmpsuite/q/rgba32-1010102.bmp",
     "bmpsuite/html/rgba32-1010102.png",
     {"alpha ignored as above; 10-bit channels narrowed by shifting, the reference rounds: within 1", 1, 0,
      TScope::OpaqueInReference}},
    {"q_rgba32_81284",
     "bmpsuite/q/rgba32-81284.bmp",
     "bmpsuite/html/rgba32-81284.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba32_61754",
     "bmpsuite/q/rgba32-61754.bmp",
     "bmpsuite/html/rgba32-61754.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba32abf", "bmpsuite/q/rgba32abf.bmp", "bmpsuite/html/rgba32.png", RefusedParameter},
    {"q_rgba32h56",
     "bmpsuite/q/rgba32h56.bmp",
     "bmpsuite/html/rgba32.png",
     {AlphaIgnored, 0, 0, TScope::OpaqueInReference}},
    {"q_rgba64", "bmpsuite/q/rgba64.bmp", "bmpsuite/html/rgba32.png", RefusedParameter},
};
INSTANTIATE_TEST_SUITE_P(BmpSuite, ReferencePixels, testing::ValuesIn(BmpRows), RowName);

// The 8-bit reference of a 16-bit file rounds; the 16 bits are cut to 8.
const char* const Narrowed16 = "16-bit samples cut to their high byte, the 8-bit reference rounds: within 1";

const TRow TiffRows[] = {
    {"rgb_3c_8b", "tiff/libtiff-test-images/rgb-3c-8b.tiff", "tiff/libtiff-test-images/rgb-3c-8b.ppm"},
    {"rgb_3c_16b",
     "tiff/libtiff-test-images/rgb-3c-16b.tiff",
     "tiff/libtiff-test-images/rgb-3c-8b.ppm",
     {Narrowed16, 1}},
    {"minisblack_1c_8b", "tiff/libtiff-test-images/minisblack-1c-8b.tiff",
     "tiff/libtiff-test-images/minisblack-1c-8b.pgm"},
    {"minisblack_1c_16b",
     "tiff/libtiff-test-images/minisblack-1c-16b.tiff",
     "tiff/libtiff-test-images/minisblack-1c-8b.pgm",
     {Narrowed16, 1}},
    {"miniswhite_1c_1b", "tiff/libtiff-test-images/miniswhite-1c-1b.tiff",
     "tiff/libtiff-test-images/miniswhite-1c-1b.pbm"},
    {"go_blue_purple_pink", "tiff/go/blue-purple-pink.lzwcompressed.tiff", "tiff/go/blue-purple-pink.png"},
    {"go_bw_deflate", "tiff/go/bw-deflate.tiff", "tiff/go/bw-gopher.png"},
    {"go_bw_packbits", "tiff/go/bw-packbits.tiff", "tiff/go/bw-gopher.png"},
    {"go_bw_uncompressed", "tiff/go/bw-uncompressed.tiff", "tiff/go/bw-gopher.png"},
    {"go_video_001", "tiff/go/video-001.tiff", "tiff/go/video-001.png"},
    {"go_video_001_uncompressed", "tiff/go/video-001-uncompressed.tiff", "tiff/go/video-001.png"},
    {"go_video_001_strip_64", "tiff/go/video-001-strip-64.tiff", "tiff/go/video-001.png"},
    {"go_video_001_tile_64x64", "tiff/go/video-001-tile-64x64.tiff", "tiff/go/video-001.png"},
    {"go_video_001_16bit", "tiff/go/video-001-16bit.tiff", "tiff/go/video-001.png"},
};
INSTANTIATE_TEST_SUITE_P(TiffSuite, ReferencePixels, testing::ValuesIn(TiffRows), RowName);

// libjpeg's floating-point inverse DCT against the reference's integer one.
const char* const Idct = "a different inverse DCT: within 4";
// libjpeg smooths subsampled components when it enlarges them; the
// reference repeats their samples, so edges differ widely.
const char* const Upsampling = "subsampled components smoothed, not repeated: within the bound at edges";

const TRow JpegRows[] = {
    {"video_001", "jpeg/go/video-001.jpeg", "jpeg/go/video-001.png", {Idct, 4}},
    {"video_001_221212", "jpeg/go/video-001.221212.jpeg", "jpeg/go/video-001.221212.png", {Upsampling, 30}},
    {"video_001_cmyk",
     "jpeg/go/video-001.cmyk.jpeg",
     "jpeg/go/video-001.cmyk.png",
     {"ink arithmetic rounds: within 1", 1}},
    {"video_001_rgb", "jpeg/go/video-001.rgb.jpeg", "jpeg/go/video-001.rgb.png", {Upsampling, 94}},
    {"video_001_progressive_truncated",
     "jpeg/go/video-001.progressive.truncated.jpeg",
     "jpeg/go/video-001.progressive.truncated.png",
     {Idct, 4}},
    {"video_005_gray",
     "jpeg/go/video-005.gray.jpeg",
     "jpeg/go/video-005.gray.png",
     {"grey is quantised to 236 levels: within 7", 7}},
};
INSTANTIATE_TEST_SUITE_P(JpegSuite, ReferencePixels, testing::ValuesIn(JpegRows), RowName);

}  // namespace
