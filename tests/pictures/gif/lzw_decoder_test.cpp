// The LZW decoder alone, fed code streams crafted code by code.

#include "pictures/gif/lzw_decoder.h"

#include <gtest/gtest.h>

#include <random>

#include "gif_test_support.h"
#include "pictures/gif/gif_errors.h"

using gif::TLzwStop;
using giftest::CodeWriter;
using Pixels = std::vector<uint8_t>;

namespace {

constexpr uint8_t Untouched = 0xEE;

TLzwStop Decode(int m, const std::vector<uint8_t>& bytes, Pixels& pixels, uint32_t width, uint32_t height,
                bool interlaced = false) {
    pixels.assign(size_t{width} * height, Untouched);
    giftest::BytesInput input(bytes);
    return gif::DecodeLzw(m, input, {pixels.data(), width, height, interlaced});
}

}  // namespace

TEST(LzwDecoder, CraftedStreams) {
    struct Case {
        const char* name;
        int m;
        std::vector<uint32_t> codes;  // at the widths the format gives them
        Pixels expected;
        TLzwStop stop;
    } cases[] = {
        // m = 2: clear 4, end 5, first free 6. 6 and then 7 are each the
        // next free code: previous string plus its own first value.
        {"code equal to next free", 2, {4, 1, 6, 7, 2, 5}, {1, 1, 1, 1, 1, 1, 2, Untouched}, TLzwStop::EndCode},
        {"leading clear", 2, {4, 3, 0, 6, 5}, {3, 0, 3, 0, Untouched}, TLzwStop::EndCode},
        {"no leading clear", 2, {3, 0, 6, 5}, {3, 0, 3, 0, Untouched}, TLzwStop::EndCode},
        {"repeated clears", 2, {4, 4, 4, 3, 0, 6, 5}, {3, 0, 3, 0, Untouched}, TLzwStop::EndCode},
        // No lookup after a clear: 7 is undefined and 5 is the end code.
        {"any code after clear", 2, {4, 7, 4, 5, 5}, {7, 5, Untouched}, TLzwStop::EndCode},
        {"full picture first", 2, {4, 1, 2, 3, 5}, {1, 2}, TLzwStop::Complete},
        // 5 codes of 3 and 4 bits fill two bytes exactly; then the data end.
        {"data run out", 2, {4, 1, 2, 3, 1}, {1, 2, 3, 1, Untouched, Untouched}, TLzwStop::OutOfData},
    };
    for (const Case& c : cases) {
        CodeWriter codes(c.m);
        for (uint32_t code : c.codes) codes.Code(code);
        Pixels pixels;
        EXPECT_EQ(Decode(c.m, codes.Bytes(), pixels, static_cast<uint32_t>(c.expected.size()), 1), c.stop) << c.name;
        EXPECT_EQ(pixels, c.expected) << c.name;
    }
}

TEST(LzwDecoder, MalformedTablesFail) {
    struct Case {
        const char* name;
        std::vector<uint32_t> codes;
        const char* error;
    } cases[] = {
        // 7 lies beyond the next free code 6 ("0 0"); the next 7 is the next
        // free code and becomes an entry whose prefix is itself.
        {"self-referring entry", {4, 0, 7, 7, 7, 5}, "Circular decoder table entry"},
        // Entry 6 gets prefix 7 and entry 7 prefix 6: the 8192-value stack fills.
        {"two-entry loop", {4, 7, 6, 1, 6, 5}, "Invalid GIF data"},
    };
    for (const Case& c : cases) {
        CodeWriter codes(2);
        for (uint32_t code : c.codes) codes.Code(code);
        Pixels pixels;
        try {
            Decode(2, codes.Bytes(), pixels, 100000, 1);
            ADD_FAILURE() << c.name << " decoded";
        } catch (const GIFException& error) {
            EXPECT_EQ(error.Message(), c.error) << c.name;
        }
    }
}

TEST(LzwDecoder, FullTableWithoutClearKeepsTwelveBitCodes) {
    // 4091 literals fill codes 6 .. 4095 while the width grows from 3 to 12
    // bits; entry 4095 is "2 3". Later codes stay 12 bits and add nothing,
    // so 4095 still names "2 3" and 6 still names "0 1".
    Pixels values;
    for (int i = 0; i < 4089; ++i) values.push_back(static_cast<uint8_t>(i % 4));
    values.insert(values.end(), {2, 3});
    CodeWriter codes(2);
    for (uint8_t value : values) codes.Code(value);
    ASSERT_EQ(codes.Width(), 12);
    codes.Codes({1, 4095, 0, 6, 5});
    Pixels expected = values;
    expected.insert(expected.end(), {1, 2, 3, 0, 0, 1});
    Pixels pixels;
    Decode(2, codes.Bytes(), pixels, static_cast<uint32_t>(expected.size()), 1);
    EXPECT_EQ(pixels, expected);
}

TEST(LzwDecoder, MinimumCodeSizeTwelveReadsThirteenBitCodes) {
    // clear 4096, end 4097: 5000 is beyond the next free code (4098, where no
    // entry is ever added) and repeats "300"; values keep their low 8 bits.
    CodeWriter codes(12);
    codes.Raw(4096, 13).Raw(300, 13).Raw(5000, 13).Raw(0x1FF, 13).Raw(4097, 13);
    Pixels pixels;
    EXPECT_EQ(Decode(12, codes.Bytes(), pixels, 5, 1), TLzwStop::EndCode);
    EXPECT_EQ(pixels, (Pixels{44, 44, 44, 0xFF, Untouched}));
}

TEST(LzwDecoder, InterlacedRowsFollowTheFourPasses) {
    CodeWriter codes(4);
    for (uint32_t i = 0; i < 10; ++i) codes.Code(i);
    Pixels pixels;
    Decode(4, codes.Bytes(), pixels, 1, 10, true);
    EXPECT_EQ(pixels, (Pixels{0, 5, 3, 6, 2, 7, 4, 8, 1, 9}));
    // Short pictures skip the passes that have no rows and still fill up.
    for (uint32_t height : {1u, 2u, 3u, 5u}) {
        Decode(4, codes.Bytes(), pixels, 1, height, true);
        EXPECT_EQ(std::count(pixels.begin(), pixels.end(), Untouched), 0) << "height " << height;
    }
}

// Random bytes either decode (the pixels they reach in range of the code
// size, the rest untouched) or fail with one of the decoder's two messages;
// over many rounds both happen.
TEST(LzwDecoder, RandomBytesGivePixelsOrAnError) {
    std::mt19937 random(1234);
    int decoded = 0, failed = 0;
    for (int m = 0; m <= 12; ++m) {
        for (int round = 0; round < 40; ++round) {
            std::vector<uint8_t> bytes(1 + random() % 600);
            for (uint8_t& byte : bytes) byte = static_cast<uint8_t>(random());
            const uint32_t width = 1 + random() % 40, height = 1 + random() % 40;
            Pixels pixels;
            try {
                Decode(m, bytes, pixels, width, height, round % 2 == 0);
                ++decoded;
            } catch (const GIFException& error) {
                EXPECT_TRUE(error.Message() == gif::InvalidData || error.Message() == gif::CircularEntry)
                    << error.Message();
                ++failed;
            }
            ASSERT_EQ(pixels.size(), size_t{width} * height);
            // Every stored value is a code read at the width a clear sets
            // (m + 1 bits) or a table string of them, so below 2 << m; the
            // check works where that stays below the fill value.
            if (m <= 6) {
                for (uint8_t value : pixels) {
                    EXPECT_TRUE(value == Untouched || value < (2u << m)) << "m " << m;
                }
            }
        }
    }
    EXPECT_GT(decoded, 0);
    EXPECT_GT(failed, 0);
}
