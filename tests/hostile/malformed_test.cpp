// Malformed inputs that must fail cleanly: one row per defect, named for it,
// crafted bytes beside the public suites' broken files. "Cleanly" means the
// road ends in one of our exceptions with a message, or (where the format
// lets a reader make something of it) in a picture; never a crash, a
// sanitizer report or a foreign exception.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <memory>

#include "base/exception.h"
#include "fuzz/memory_io_handler.h"
#include "net/http/http.h"
#include "pictures/bitmap.h"
#include "pictures/gif/gif_image.h"
#include "pictures/jpeg/jpeg_image.h"
#include "pictures/png/png_image.h"
#include "pictures/tiff/wic_image.h"
#include "tests/hostile/hostile_support.h"

namespace {

enum class TExpect { Refused, Either };

struct TMalformedCase {
    const char* Name;
    std::function<std::unique_ptr<TGraphic>()> NewPicture;
    TByteString Bytes;
    TExpect Expect;
};

template <class T>
std::unique_ptr<TGraphic> New() {
    return std::make_unique<T>();
}

const TByteString Grey4 = {0, 0, 0, 0, 255, 255, 255, 0};  // two-entry colour table

TByteString Truncated(TByteString bytes, size_t size) {
    bytes.resize(std::min(bytes.size(), size));
    return bytes;
}

TByteString WithBytePatched(TByteString bytes, size_t at, uint8_t value) {
    bytes.at(at) = value;
    return bytes;
}

TByteString PngWithIdatLength(uint32_t declaredLength) {
    TByteString idat = PngChunk("IDAT", Deflate(TByteString(5, 0)));
    idat[0] = uint8_t(declaredLength >> 24), idat[1] = uint8_t(declaredLength >> 16);
    idat[2] = uint8_t(declaredLength >> 8), idat[3] = uint8_t(declaredLength);
    return PngFile(2, 2, 8, 0, idat);
}

TByteString GifWithLzw(const TByteString& lzwBlock, bool globalTable = true) {
    TByteString file = GifHeader(4, 4);
    if (!globalTable) {
        file[10] = 0;
        file.resize(13);
    }
    TByteString frame = {0x2C, 0, 0, 0, 0, 4, 0, 4, 0, 0};
    frame.insert(frame.end(), lzwBlock.begin(), lzwBlock.end());
    file.insert(file.end(), frame.begin(), frame.end());
    file.push_back(0x3B);
    return file;
}

// A 2 × 2 screen whose one frame declares 16386 × 248 pixels and carries
// three bytes of LZW: the screen grows to the frame, the rest is index 0.
TByteString GifFrameFarLargerThanScreen() {
    TByteString file = GifHeader(2, 2);
    TByteString frame = {0x2C, 0, 0, 0, 0};
    PutLE16(frame, 16386);
    PutLE16(frame, 248);
    frame.insert(frame.end(), {0, 2, 3, 0x44, 0x01, 0x00, 0, 0x3B});
    file.insert(file.end(), frame.begin(), frame.end());
    return file;
}

TByteString TiffHeader(uint32_t firstDirectory) {
    TByteString file = {'I', 'I', 42, 0};
    PutLE32(file, firstDirectory);
    return file;
}

// A TIFF of one 2 × 2 grey strip whose strip offset points far past the end.
TByteString TiffStripPastEnd() {
    TByteString file = TiffHeader(8);
    const uint16_t tags[][3] = {{256, 3, 2}, {257, 3, 2}, {258, 3, 8}, {259, 3, 1}, {262, 3, 1},
                                {273, 4, 0}, {277, 3, 1}, {278, 3, 2}, {279, 4, 4}};
    PutLE16(file, 9);
    for (const auto& tag : tags) {
        PutLE16(file, tag[0]);
        PutLE16(file, tag[1]);
        PutLE32(file, 1);
        PutLE32(file, tag[0] == 273 ? 0x7FFFFFF0u : tag[2]);
    }
    PutLE32(file, 0);
    return file;
}

std::vector<TMalformedCase> CraftedCases() {
    const TByteString rle8DeltaPastEnd = {0, 2, 200, 200, 1, 1, 0, 1};
    const TByteString rle8RunPastRow = {255, 1, 255, 1, 255, 1, 0, 1};
    const TByteString rle4LiteralPastData = {0, 200, 0x11};
    return {
        {"bmp_rle_delta_past_end", New<TBitmap>, BmpFile(4, 2, 8, 1, Grey4, rle8DeltaPastEnd), TExpect::Either},
        {"bmp_rle_run_past_row_end", New<TBitmap>, BmpFile(4, 2, 8, 1, Grey4, rle8RunPastRow), TExpect::Either},
        {"bmp_rle4_literal_past_data", New<TBitmap>, BmpFile(4, 2, 4, 2, Grey4, rle4LiteralPastData), TExpect::Either},
        {"bmp_pixels_past_end", New<TBitmap>, BmpFile(1000, 1000, 24, 0, {}, TByteString(16, 0)), TExpect::Either},
        {"bmp_index_past_colour_table", New<TBitmap>, BmpFile(2, 2, 8, 0, Grey4, TByteString(8, 250)), TExpect::Either},
        {"bmp_bitfields_without_masks", New<TBitmap>, BmpFile(2, 2, 16, 3, {}, {}), TExpect::Either},
        // 54 bytes, headers only: row bytes times height passes 2^63.
        {"bmp_width_and_height_at_int32_max_24", New<TBitmap>, BmpFile(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, {}, {}),
         TExpect::Refused},
        {"bmp_width_and_height_at_int32_max_32", New<TBitmap>, BmpFile(0x7FFFFFFF, -0x7FFFFFFF, 32, 0, {}, {}),
         TExpect::Refused},
        {"bmp_header_only", New<TBitmap>, Truncated(BmpFile(2, 2, 24, 0, {}, {}), 30), TExpect::Refused},
        {"png_huge_idat", New<TPngImage>, PngWithIdatLength(0x7FFFFFF0), TExpect::Refused},
        {"png_bad_crc", New<TPngImage>, WithBytePatched(PngFile(1, 1, 8, 0, {}), 29, 0), TExpect::Refused},
        {"png_zero_width", New<TPngImage>, PngFile(0, 1, 8, 0, PngChunk("IDAT", Deflate({0, 0}))), TExpect::Refused},
        {"png_palette_of_300", New<TPngImage>,
         PngFile(1, 1, 8, 3,
                 [] {
                     TByteString chunks = PngChunk("PLTE", TByteString(900, 7));
                     const TByteString idat = PngChunk("IDAT", Deflate({0, 0}));
                     chunks.insert(chunks.end(), idat.begin(), idat.end());
                     return chunks;
                 }()),
         TExpect::Either},
        {"png_trns_longer_than_palette", New<TPngImage>,
         PngFile(1, 1, 8, 3,
                 [] {
                     TByteString chunks = PngChunk("PLTE", TByteString(6, 7));
                     for (const TByteString& chunk :
                          {PngChunk("tRNS", TByteString(256, 1)), PngChunk("IDAT", Deflate({0, 1}))})
                         chunks.insert(chunks.end(), chunk.begin(), chunk.end());
                     return chunks;
                 }()),
         TExpect::Either},
        {"png_index_past_palette", New<TPngImage>,
         PngFile(2, 1, 8, 3,
                 [] {
                     TByteString chunks = PngChunk("PLTE", TByteString(3, 7));
                     const TByteString idat = PngChunk("IDAT", Deflate({0, 200, 255}));
                     chunks.insert(chunks.end(), idat.begin(), idat.end());
                     return chunks;
                 }()),
         TExpect::Either},
        {"png_bad_filter_type", New<TPngImage>, PngFile(1, 1, 8, 0, PngChunk("IDAT", Deflate({9, 0}))),
         TExpect::Either},
        {"gif_lzw_code_past_table", New<TGIFImage>, GifWithLzw({2, 2, 0xFC, 0xFF, 0}), TExpect::Either},
        {"gif_lzw_code_size_13", New<TGIFImage>, GifWithLzw({12, 2, 0xFF, 0xFF, 0}), TExpect::Either},
        {"gif_no_colour_table", New<TGIFImage>, GifWithLzw(GifLzw(TByteString(16, 0), 2), false), TExpect::Refused},
        {"gif_truncated_in_frame", New<TGIFImage>, Truncated(GifWithLzw(GifLzw(TByteString(16, 0), 2)), 26),
         TExpect::Either},
        {"gif_frame_far_larger_than_screen", New<TGIFImage>, GifFrameFarLargerThanScreen(), TExpect::Either},
        {"jpeg_empty", New<TJPEGImage>, {}, TExpect::Either},
        {"jpeg_markers_only", New<TJPEGImage>, {0xFF, 0xD8, 0xFF, 0xD9}, TExpect::Refused},
        {"tiff_directory_past_end", New<TWICImage>, TiffHeader(0x7FFFFFF0), TExpect::Refused},
        {"tiff_strip_past_end", New<TWICImage>, TiffStripPastEnd(), TExpect::Either},
    };
}

void ExpectClean(const TMalformedCase& malformed) {
    SCOPED_TRACE(malformed.Name);
    const TRoadOutcome outcome = RunRoad(*malformed.NewPicture(), malformed.Bytes);
    if (malformed.Expect == TExpect::Refused) {
        EXPECT_FALSE(outcome.Loaded) << "have a picture, want a refusal";
    }
    if (!outcome.Loaded) {
        EXPECT_FALSE(outcome.Message.empty()) << outcome.ClassName << " without a message";
    }
}

TEST(Malformed, CraftedInputsFailCleanly) {
    for (const TMalformedCase& malformed : CraftedCases()) ExpectClean(malformed);
}

// The suites' files that their authors made broken or questionable.
TEST(Malformed, BrokenSuiteFilesFailCleanly) {
    namespace fs = std::filesystem;
    const std::string root = TW_TESTIMAGES_DIR;
    struct TFolder {
        std::string Path;
        std::function<std::unique_ptr<TGraphic>()> NewPicture;
        std::string Prefix;
    };
    const TFolder folders[] = {
        {root + "/pngsuite", New<TPngImage>, "x"}, {root + "/bmpsuite/b", New<TBitmap>, ""},
        {root + "/bmpsuite/q", New<TBitmap>, ""},  {root + "/gif", New<TGIFImage>, ""},
        {root + "/jpeg", New<TJPEGImage>, ""},     {root + "/tiff", New<TWICImage>, ""},
    };
    int files = 0;
    for (const TFolder& folder : folders) {
        for (const auto& entry : fs::recursive_directory_iterator(folder.Path)) {
            const std::string name = entry.path().filename().string();
            if (!entry.is_regular_file() || name.rfind(folder.Prefix, 0) != 0) continue;
            if (entry.path().extension() == ".txt" || entry.path().extension() == ".conf") continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const TByteString bytes((std::istreambuf_iterator<char>(file)), {});
            ExpectClean({entry.path().c_str(), folder.NewPicture, bytes, TExpect::Either});
            ++files;
        }
    }
    EXPECT_GT(files, 300);
}

// Answers a hostile server could send; each Get ends in our exception or a
// body, and a framing that claims more than arrives never waits or grows.
TEST(Malformed, HostileHttpAnswersFailCleanly) {
    const char* answers[] = {
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffffffffff\r\nab",  // http_chunk_size_overflow
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n-5\r\nab\r\n0\r\n\r\n",   // http_negative_chunk
        "HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nabc",                             // http_negative_length
        "HTTP/1.1 200 OK\r\nContent-Length: 99999999999999999999\r\n\r\nabc",           // http_length_overflow
        "HTTP/1.1 200 OK\r\nContent-Length: 1000000000\r\n\r\nabc",                     // http_length_past_end
        "HTTP/1.1 200 OK\r\nContent-Length: 3\r\nContent-Length: 5\r\n\r\nabc",         // http_two_lengths
        "HTTP/1.1 200 OK\r\nContent-Type: text/plain; charset=utf-16\r\nContent-Length: 3\r\n\r\nabc",  // odd UTF-16
        "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n\r\n<meta charset=\"",      // http_meta_cut
        "HTTP/1.1 99999999999 OK\r\n\r\n",  // http_status_overflow
        "HTTP/1.1\r\n\r\n",
        "\r\n\r\n",
        "",
    };
    for (const char* answer : answers) {
        SCOPED_TRACE(answer);
        const std::string text = answer;
        const auto get = [&] {
            TIdHTTP http;
            http.SetIOHandler(
                std::make_shared<TMemoryIOHandler>(reinterpret_cast<const uint8_t*>(text.data()), text.size(), 7));
            // An error status carries the server's own status text, which
            // may be empty; what matters is that it is one of ours.
            try {
                http.Get("http://example.test/Version.txt");
            } catch (const Exception&) {}
        };
        get();
        // A length or chunk size is a claim, not a reason to allocate.
        EXPECT_LT(PeakMemoryRise(get), int64_t{32} << 20);
    }
}

TEST(Malformed, HttpHeaderFloodIsBounded) {
    std::string answer = "HTTP/1.1 200 OK\r\n";
    while (answer.size() < 4 * 1024 * 1024) answer += "X-Flood: " + std::string(100, 'a') + "\r\n";
    answer += "\r\n";
    TIdHTTP http;
    http.SetIOHandler(
        std::make_shared<TMemoryIOHandler>(reinterpret_cast<const uint8_t*>(answer.data()), answer.size(), 65536));
    EXPECT_THROW(http.Get("http://example.test/Version.txt"), Exception);
}

}  // namespace
