// Chunks the picture holds beside its pixels: their data is bounded in total,
// and their CRC is taken as the data arrives. The large chunks are zeros that
// a stream makes up as it is read, like a sparse file of a few kilobytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "png_test_files.h"

namespace {

// Pieces of bytes and runs of zeros, read in order; counts what was read.
class TSparseStream : public TStream {
public:
    void AddBytes(const TBytes& bytes) { FPieces.push_back({bytes, 0}); }
    void AddZeros(int64_t count) { FPieces.push_back({{}, count}); }

    size_t Read(void* buffer, size_t count) override {
        size_t done = 0;
        int64_t start = 0;
        for (const TPiece& piece : FPieces) {
            const int64_t length = piece.Length();
            const int64_t from = std::max<int64_t>(FPosition - start, 0);
            if (from < length && done < count) {
                const size_t n = size_t(std::min<int64_t>(length - from, int64_t(count - done)));
                if (piece.Bytes.empty())
                    std::memset(static_cast<uint8_t*>(buffer) + done, 0, n);
                else
                    std::memcpy(static_cast<uint8_t*>(buffer) + done, piece.Bytes.data() + from, n);
                done += n;
                FPosition += int64_t(n);
            }
            start += length;
        }
        FBytesRead += int64_t(done);
        return done;
    }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Position() const override { return FPosition; }
    void SetPosition(int64_t position) override { FPosition = position; }
    int64_t Size() const override {
        int64_t size = 0;
        for (const TPiece& piece : FPieces) size += piece.Length();
        return size;
    }
    int64_t BytesRead() const { return FBytesRead; }

private:
    struct TPiece {
        TBytes Bytes;
        int64_t Zeros;
        int64_t Length() const { return Bytes.empty() ? Zeros : int64_t(Bytes.size()); }
    };
    std::vector<TPiece> FPieces;
    int64_t FPosition = 0;
    int64_t FBytesRead = 0;
};

TBytes BigEndian32(uint32_t value) {
    TBytes out;
    PutBigEndian32(out, value);
    return out;
}

// The CRC of name and count zeros, put together from the CRCs of runs of
// 2^k zeros, so that gigabytes of zeros cost no time.
uint32_t CrcOfZeros(const char* name, uint32_t count) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(name), 4);
    const Bytef zero = 0;
    uLong run = crc32(0, &zero, 1);  // of 2^k zeros, k = 0, 1, ...
    for (uint64_t length = 1; count != 0; length *= 2, count /= 2) {
        if (count & 1) crc = crc32_combine(crc, run, z_off_t(length));
        run = crc32_combine(run, run, z_off_t(length));
    }
    return uint32_t(crc);
}

// A 1 × 1 grey picture, then private chunks "prIv" of the given sizes filled
// with zeros, each with a right CRC or a wrong one; then the image data.
void BuildPicture(TSparseStream& stream, std::initializer_list<uint32_t> sizes, bool rightCrc) {
    stream.AddBytes(Join({Signature(), Chunk("IHDR", IhdrData(1, 1, 8, 0))}));
    for (const uint32_t size : sizes) {
        stream.AddBytes(Join({BigEndian32(size), {'p', 'r', 'I', 'v'}}));
        stream.AddZeros(size);
        stream.AddBytes(BigEndian32(rightCrc ? CrcOfZeros("prIv", size) : 0x12345678));
    }
    stream.AddBytes(Join({IdatChunks(Unfiltered({{200}})), Chunk("IEND", {})}));
}

std::string LoadFailure(TStream& stream) {
    TPngImage png;
    try {
        png.LoadFromStream(stream);
    } catch (const Exception& error) {
        return std::string(error.ClassName()) + ": " + error.Message();
    }
    return "(loaded)";
}

const std::string OutOfMemory = std::string("EPNGOutMemory: ") + png_messages::OutMemory;
const std::string InvalidCrc = std::string("EPngInvalidCRC: ") + png_messages::InvalidCRC;

}  // namespace

TEST(PngChunkBudget, HugeExtraChunksAreRefusedBeforeTheyAreRead) {
    for (const bool rightCrc : {true, false}) {
        TSparseStream stream;
        BuildPicture(stream, {0x7FFFFFFF, 0x7FFFFFFF}, rightCrc);
        EXPECT_EQ(LoadFailure(stream), OutOfMemory) << rightCrc;
        EXPECT_LT(stream.BytesRead(), 4096) << "read into the chunk before refusing it";
    }
}

TEST(PngChunkBudget, ChunksCountTogetherAgainstTheBudget) {
    const uint32_t forty = 40u << 20;
    TSparseStream one;
    BuildPicture(one, {forty}, true);
    EXPECT_EQ(LoadFailure(one), "(loaded)");
    TSparseStream two;
    BuildPicture(two, {forty, forty}, true);
    EXPECT_EQ(LoadFailure(two), OutOfMemory);
    EXPECT_LT(two.BytesRead(), int64_t{forty} + 4096);
}

TEST(PngChunkBudget, CrcOfAChunkSpanningReadBlocksIsChecked) {
    const uint32_t size = (3u << 20) + 5;  // over three blocks of reading
    TSparseStream right;
    BuildPicture(right, {size}, true);
    EXPECT_EQ(LoadFailure(right), "(loaded)");
    TSparseStream wrong;
    BuildPicture(wrong, {size}, false);
    EXPECT_EQ(LoadFailure(wrong), InvalidCrc);
}
