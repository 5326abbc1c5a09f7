// Pictures whose headers ask for more than the graphics layer's pixel limit
// are refused before their pixels are allocated or inflated, and pictures
// within the limit cost what their pixels cost, however much their data try
// to make them cost. Memory is the peak rise of a child process doing the
// work; speed belongs to the benchmarks, so the times are only printed.

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>

#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pictures/gif/gif_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/png/png_image.h"
#include "tests/hostile/hostile_support.h"

namespace {

constexpr int64_t MiB = int64_t{1} << 20;

// AddressSanitizer keeps up to 256 MiB of freed blocks in quarantine, which
// a child's peak then includes; far below what keeping data would cost.
#if defined(__SANITIZE_ADDRESS__)
constexpr int64_t FreedBlocksKept = 256 * MiB;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr int64_t FreedBlocksKept = 256 * MiB;
#else
constexpr int64_t FreedBlocksKept = 0;
#endif
#else
constexpr int64_t FreedBlocksKept = 0;
#endif

TByteString HugePng() {
    // 16384 × 16384 RGBA would be 1 GiB of pixels; a zlib stream of 1 GiB of
    // zeros, in case anything inflates it before looking at the size.
    return PngFile(16384, 16384, 8, 6, PngChunk("IDAT", Deflate(TByteString(1 << 16, 0))));
}

TByteString HugeBmp() { return BmpFile(65535, 65535, 24, 0, {}, TByteString(64, 0)); }

TByteString HugeGifScreen() {
    TByteString file = GifHeader(65535, 65535);
    TByteString frame = {0x2C, 0, 0, 0, 0};
    PutLE16(frame, 65535);
    PutLE16(frame, 65535);
    frame.insert(frame.end(), {0, 2, 2, 0x44, 0x01, 0, 0x3B});
    file.insert(file.end(), frame.begin(), frame.end());
    return file;
}

// A baseline JPEG header declaring 65500 × 65500, three components, no scan
// data worth speaking of: a real file's tables with its frame size patched.
TByteString HugeJpeg() {
    TByteString file = ReadTestImage("jpeg/libjpeg-turbo/testorig.jpg");
    for (size_t at = 2; at + 9 < file.size(); ++at) {
        if (file[at] == 0xFF && (file[at + 1] == 0xC0 || file[at + 1] == 0xC1 || file[at + 1] == 0xC2)) {
            file[at + 5] = 0xFF, file[at + 6] = 0xDC, file[at + 7] = 0xFF, file[at + 8] = 0xDC;
            file.resize(std::min(file.size(), size_t(4096)));
            return file;
        }
    }
    throw std::runtime_error("no frame header in testorig.jpg");
}

struct THugeCase {
    const char* Name;
    std::function<std::unique_ptr<TGraphic>()> NewPicture;
    std::function<TByteString()> Bytes;
};

const THugeCase HugeCases[] = {
    {"bmp_65535_header", [] { return std::make_unique<TBitmap>(); }, HugeBmp},
    {"gif_65535_screen", [] { return std::make_unique<TGIFImage>(); }, HugeGifScreen},
    {"jpeg_65500_frame", [] { return std::make_unique<TJPEGImage>(); }, HugeJpeg},
};

void ExpectRefusedCheaply(const THugeCase& huge) {
    SCOPED_TRACE(huge.Name);
    const TByteString bytes = huge.Bytes();
    const auto start = std::chrono::steady_clock::now();
    const TRoadOutcome outcome = RunRoad(*huge.NewPicture(), bytes);
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(outcome.Loaded);
    EXPECT_FALSE(outcome.Message.empty());
    const int64_t rise = PeakMemoryRise([&] { RunRoad(*huge.NewPicture(), bytes); });
    EXPECT_LT(rise, 32 * MiB) << "have " << rise / MiB << " MiB";
    std::printf("%-26s %-22s %6.2f ms %5lld KiB  %s\n", huge.Name, outcome.ClassName.c_str(),
                std::chrono::duration<double, std::milli>(elapsed).count(), (long long)(rise / 1024),
                outcome.Message.c_str());
}

TEST(Limits, HugeHeadersAreRefusedBeforeTheirPixelsExist) {
    for (const THugeCase& huge : HugeCases) ExpectRefusedCheaply(huge);
}

// Exactly at the pixel limit (2^28 pixels, 3 bytes each in the DIB), so the
// header check lets it through; the road then holds 3 GiB for a file of a
// few hundred bytes.
TEST(Limits, PngOf16384SquareRgbaWithATinyIdatIsRefusedBeforeInflating) {
    ExpectRefusedCheaply({"png_16384_rgba_tiny_idat", [] { return std::make_unique<TPngImage>(); }, HugePng});
}

TEST(Limits, DeflateBombInsideAValidPngCostsNoMoreThanItsRows) {
    // 1024 × 1024 grey: 1 MiB of rows (plus their filter bytes), and an IDAT
    // that would inflate to 256 MiB if the reader kept going.
    const TByteString bytes = PngFile(1024, 1024, 8, 0, PngChunk("IDAT", Deflate(TByteString(256 * MiB, 0))));
    ASSERT_LT(bytes.size(), size_t(MiB));
    const int64_t rise = PeakMemoryRise([&] {
        TPngImage png;
        RunRoad(png, bytes);
    });
    // The DIB of 1 MiB, the 32-bit bitmap of 4 MiB, the drawing buffers.
    EXPECT_LT(rise, 24 * MiB + FreedBlocksKept) << "have " << rise / MiB << " MiB";
}

TEST(Limits, AThousandLargeGifFramesCostAFewFrames) {
    TByteString file = GifHeader(1000, 1000);
    const TByteString frame = GifFrame(1000, 1000);
    for (int i = 0; i < 1000; ++i) file.insert(file.end(), frame.begin(), frame.end());
    file.push_back(0x3B);
    TGIFImage probe;
    const TRoadOutcome outcome = RunRoad(probe, file);
    EXPECT_TRUE(outcome.Loaded) << outcome.ClassName << ": " << outcome.Message;
    const int64_t rise = PeakMemoryRise([&] {
        TGIFImage gif;
        RunRoad(gif, file);
    });
    // One frame as 32-bit pixels is 4 MB; the road holds its indices, the
    // frame bitmap, DecodedBitmap and BMP32.
    // Keeping the frames would cost 1000 MB of indices alone.
    EXPECT_LT(rise, 6 * 4 * MiB + FreedBlocksKept) << "have " << rise / MiB << " MiB";
}

// 67,108,864 × 2 pixels in 110 bytes of run-length codes, which write a
// handful of them: the fuzzer's first slow BMP. Expansion used to clear and
// convert every row the codes touched across its whole width, and fill the
// bitmap with colour 0 even where that is black, touching all 512 MiB.
TEST(Limits, BmpRleWideRowsCostWhatTheirCodesWrite) {
    const TByteString codes = {4, 0x12, 0, 0, 0, 2, 200, 0, 6, 0x21, 0, 1};
    const TByteString bytes = BmpFile(int32_t{1} << 26, 2, 4, 2, {0, 0, 0, 0, 255, 255, 255, 0}, codes);
    TBitmap probe;
    TMemoryStream stream(bytes);
    probe.LoadFromStream(stream);
    ASSERT_EQ(probe.Width(), int32_t{1} << 26);
    const int64_t rise = PeakMemoryRise([&] {
        TBitmap bitmap;
        TMemoryStream again(bytes);
        bitmap.LoadFromStream(again);
    });
    // One row of colour indices (64 MiB) while expanding, and the few pages
    // of the bitmap that the codes write.
    EXPECT_LT(rise, 80 * MiB + FreedBlocksKept) << "have " << rise / MiB << " MiB";
}

}  // namespace
