// The reader's codec units alone: CRC, row filters, the image-data stream
// across IDAT chunks and the row order of Adam7.

#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "pictures/png/png_crc.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_filter.h"
#include "pictures/png/png_image_data_stream.h"
#include "pictures/png/png_row_decoder.h"
#include "png_test_files.h"

namespace {

TBytes RandomBytes(size_t count, uint32_t seed) {
    std::mt19937 random(seed);
    TBytes bytes(count);
    for (auto& b : bytes) b = uint8_t(random() % 7);  // compressible, not trivial
    return bytes;
}

TEST(PngCrc, MatchesTheStandardCrcOverUnevenPieces) {
    EXPECT_EQ(PngCrc("IEND", 4), 0xAE426082u);
    const TBytes data = RandomBytes(1000, 1);
    for (size_t split : {0u, 1u, 7u, 8u, 9u, 999u}) {
        TPngCrc crc;
        crc.Update(data.data(), split);
        crc.Update(data.data() + split, data.size() - split);
        EXPECT_EQ(crc.Value(), crc32(0, data.data(), uInt(data.size()))) << "split at " << split;
    }
}

struct TFilterCase {
    const char* Name;
    uint8_t Type;
    size_t Offset;
    TBytes Previous, Filtered, Want;
};

TEST(PngFilter, UndoesEachFilterType) {
    const TBytes above = {10, 20, 30, 40, 50, 60};
    const TBytes row = {1, 2, 3, 4, 5, 6};
    const TFilterCase cases[] = {
        {"none", 0, 3, above, row, row},
        {"type 7 taken as none", 7, 3, above, row, row},
        {"sub", 1, 3, above, row, {1, 2, 3, 5, 7, 9}},
        {"up", 2, 3, above, row, {11, 22, 33, 44, 55, 66}},
        {"average", 3, 3, above, row, {6, 12, 18, 27, 36, 45}},
        {"average sums above 255", 3, 1, {0, 200}, {200, 0}, {200, 200}},
        {"paeth takes above", 4, 3, above, row, {11, 22, 33, 44, 55, 66}},
        {"paeth takes left on the first row", 4, 3, TBytes(6, 0), row, {1, 2, 3, 5, 7, 9}},
        {"paeth takes upper-left, bytes wrap", 4, 1, {15, 20}, {251, 100}, {10, 115}},
    };
    for (const TFilterCase& c : cases) {
        TBytes bytes = c.Filtered;
        UnfilterRow(c.Type, bytes.data(), c.Previous.data(), bytes.size(), c.Offset);
        EXPECT_EQ(bytes, c.Want) << c.Name;
    }
}

// The textbook filters of the format, byte by byte, as the reference for
// the reader's faster paths (whole pixels at a time for 3 and 4 bytes).
TBytes ReferenceUnfilter(uint8_t type, TBytes row, const TBytes& above, size_t offset) {
    for (size_t i = 0; i < row.size(); ++i) {
        const int a = i >= offset ? row[i - offset] : 0, b = above[i], c = i >= offset ? above[i - offset] : 0;
        int predictor = 0;
        if (type == 1) predictor = a;
        if (type == 2) predictor = b;
        if (type == 3) predictor = (a + b) / 2;
        if (type == 4) {
            const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
            predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
        }
        row[i] = uint8_t(row[i] + predictor);
    }
    return row;
}

TEST(PngFilter, EveryPathAgreesWithTheTextbookFilters) {
    std::mt19937 random(6);
    for (size_t offset = 1; offset <= 8; ++offset) {
        for (size_t length : {1u, 2u, 3u, 4u, 7u, 12u, 13u, 64u, 301u}) {
            for (uint8_t type = 0; type <= 5; ++type) {
                TBytes row(length), above(length);
                for (auto& b : row) b = uint8_t(random());
                for (auto& b : above) b = uint8_t(random());
                TBytes got = row;
                UnfilterRow(type, got.data(), above.data(), length, offset);
                EXPECT_EQ(got, type > 4 ? row : ReferenceUnfilter(type, row, above, offset))
                    << "type " << int(type) << ", offset " << offset << ", length " << length;
            }
        }
    }
}

// The compressed form of `raw` as IDAT chunks of `piece` bytes, followed by
// `after`, in a stream that stands at the first chunk's data.
struct TIdatStream {
    TMemoryStream Stream;
    uint32_t FirstLength = 0;
};

void Open(TIdatStream& out, const TBytes& chunks) {
    out.Stream = TMemoryStream(chunks);
    out.FirstLength = uint32_t(chunks[0]) << 24 | chunks[1] << 16 | chunks[2] << 8 | chunks[3];
    out.Stream.SetPosition(8);
}

TBytes ReadAll(TPngImageDataStream& data, size_t window) {
    TBytes out, part(window);
    for (size_t got; (got = data.Read(part.data(), window)) > 0;)
        out.insert(out.end(), part.begin(), part.begin() + long(got));
    return out;
}

TEST(PngImageDataStream, OneStreamAcrossChunksOfAnySize) {
    const TBytes raw = RandomBytes(5000, 2);
    for (size_t piece : {0u, 1u, 7u, 100u}) {
        for (size_t window : {1u, 41u, 43u, 5000u}) {
            TIdatStream s;
            Open(s, Join({IdatChunks(raw, piece), Chunk("IEND", {})}));
            TPngImageDataStream data(s.Stream, s.FirstLength);
            EXPECT_EQ(ReadAll(data, window), raw) << "piece " << piece << ", window " << window;
            data.Finish();
            EXPECT_EQ(s.Stream.Position(), s.Stream.Size() - 12) << "stops after the last IDAT";
        }
    }
}

TEST(PngImageDataStream, EarlyEndOfCompressedDataStopsWithoutFurtherCalls) {
    const TBytes raw = RandomBytes(100, 4);
    // Garbage after the compressed stream's end, inside the same chunk.
    TBytes compressed = Compress(raw);
    compressed.insert(compressed.end(), 50, 0xAB);
    TIdatStream s;
    Open(s, Join({Chunk("IDAT", compressed), Chunk("IEND", {})}));
    TPngImageDataStream data(s.Stream, s.FirstLength);
    TBytes buffer(300);
    EXPECT_EQ(data.Read(buffer.data(), 300), 100u);
    EXPECT_EQ(data.Read(buffer.data(), 300), 0u);
    EXPECT_NO_THROW(data.Finish());
}

template <class E>
void ExpectFailure(const TBytes& chunks, const std::string& message, size_t readCount = 1000) {
    TIdatStream s;
    Open(s, chunks);
    TBytes buffer(readCount);
    try {
        TPngImageDataStream data(s.Stream, s.FirstLength);
        while (data.Read(buffer.data(), buffer.size()) > 0) {}
        data.Finish();
        FAIL() << "no failure, want " << message;
    } catch (const E& e) {
        EXPECT_EQ(e.Message(), message);
    }
}

TEST(PngImageDataStream, Failures) {
    const TBytes raw = RandomBytes(3000, 5);
    const TBytes compressed = Compress(raw);
    const TBytes head(compressed.begin(), compressed.begin() + 20), tail(compressed.begin() + 20, compressed.end());
    // More data needed, but a tEXt chunk comes next.
    ExpectFailure<EPNGMissingMultipleIDAT>(Join({Chunk("IDAT", head), Chunk("tEXt", {'a', 0, 'b'})}),
                                           png_messages::MissingMultipleIDAT);
    // A wrong CRC on a chunk in the middle of the run.
    TBytes badCrc = Join({Chunk("IDAT", head), Chunk("IDAT", tail), Chunk("IEND", {})});
    badCrc[8 + head.size()] ^= 1;
    ExpectFailure<EPngInvalidCRC>(badCrc, png_messages::InvalidCRC);
    // The file ends inside the chunk: rows stop, the CRC cannot be read.
    const TBytes whole = Chunk("IDAT", compressed);
    ExpectFailure<EPngInvalidCRC>(TBytes(whole.begin(), whole.begin() + 40), png_messages::InvalidCRC);
    // Not zlib data at all.
    ExpectFailure<EPNGZLIBError>(Join({Chunk("IDAT", TBytes(40, 0xFF)), Chunk("IEND", {})}),
                                 std::string(png_messages::ZLIBErrorPrefix) + "data error (-3)");
}

TEST(PngRowDecoder, Adam7VisitsEachPixelOnceInPassOrder) {
    // A 3 × 3 grey picture: the passes with pixels, in order, with their rows.
    const TPngRowLayout layout{0, 8, 3, 3, true};
    // Filter byte 0 before each row of each pass; pixel values are 10 × y + x.
    const TBytes raw = {0, 0,            // pass 1: (0, 0)
                        0, 2,            // pass 4: (2, 0)
                        0, 20, 22,       // pass 5: row 2, columns 0 and 2
                        0, 1,  0,  21,   // pass 6: rows 0 and 2, column 1
                        0, 10, 11, 12};  // pass 7: row 1
    TIdatStream s;
    Open(s, Join({IdatChunks(raw), Chunk("IEND", {})}));
    TPngImageDataStream data(s.Stream, s.FirstLength);
    std::vector<std::tuple<int64_t, int64_t, int64_t, int64_t>> rows;
    int picture[3][3];
    std::fill(&picture[0][0], &picture[0][0] + 9, -1);
    DecodePngRows(data, layout, [&](const uint8_t* row, int64_t y, const TPngRowPlacement& at) {
        rows.emplace_back(y, at.FirstColumn, at.ColumnStep, at.PixelCount);
        for (int64_t k = 0; k < at.PixelCount; ++k) picture[y][at.FirstColumn + k * at.ColumnStep] = row[k];
    });
    const std::vector<std::tuple<int64_t, int64_t, int64_t, int64_t>> want = {{0, 0, 8, 1}, {0, 2, 4, 1}, {2, 0, 2, 2},
                                                                              {0, 1, 2, 1}, {2, 1, 2, 1}, {1, 0, 1, 3}};
    EXPECT_EQ(rows, want);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) EXPECT_EQ(picture[y][x], 10 * y + x) << x << ", " << y;
    EXPECT_NO_THROW(data.Finish());
}

TEST(PngRowDecoder, StopsAtTheFirstRowThatGetsNothing) {
    // Two and a half rows of a 4 × 5 grey picture, then the compressed data end.
    const TBytes raw = {0, 1, 2, 3, 4, 1, 1, 1, 1, 1, 0, 9, 9};
    TIdatStream s;
    Open(s, Join({IdatChunks(raw), Chunk("IEND", {})}));
    TPngImageDataStream data(s.Stream, s.FirstLength);
    std::vector<int64_t> ys;
    const int64_t delivered =
        DecodePngRows(data, TPngRowLayout{0, 8, 4, 5, false},
                      [&](const uint8_t*, int64_t y, const TPngRowPlacement&) { ys.push_back(y); });
    EXPECT_EQ(delivered, 3);
    EXPECT_EQ(ys, (std::vector<int64_t>{0, 1, 2}));
}

}  // namespace
