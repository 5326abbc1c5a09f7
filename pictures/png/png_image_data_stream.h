#pragma once
// The image data of a PNG file as one inflated byte stream: the compressed
// data run across any number of consecutive IDAT chunks, each with its own
// CRC, and are inflated on demand, a row at a time, so that no buffer of the
// whole inflated picture ever exists.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "base/stream.h"
#include "pictures/png/png_crc.h"

class TPngImageDataStream {
public:
    // `stream` stands at the data of the first IDAT chunk, of `length` bytes.
    // Raises EPNGZLIBError when zlib cannot be set up.
    TPngImageDataStream(TStream& stream, uint32_t length);
    ~TPngImageDataStream();
    TPngImageDataStream(const TPngImageDataStream&) = delete;
    TPngImageDataStream& operator=(const TPngImageDataStream&) = delete;

    // Fills `buffer` with up to `count` inflated bytes and returns how many it
    // got. Fewer than asked means the data have ended (the file ended, or the
    // compressed stream did) and every later call returns 0.
    // Raises EPngInvalidCRC when a finished chunk's CRC is wrong,
    // EPNGMissingMultipleIDAT when more data are needed but the next chunk is
    // not an IDAT chunk, EPNGZLIBError when inflate fails.
    size_t Read(uint8_t* buffer, size_t count);

    // Once the rows are done: takes the rest of the current chunk into its
    // CRC and checks the chunk's stored CRC (EPngInvalidCRC). The stream is
    // left after that chunk.
    void Finish();

private:
    struct TInflater;
    bool RefillInput();
    void StartNextChunk();
    void CheckChunkCrc();

    TStream& FStream;
    std::unique_ptr<TInflater> FInflater;
    std::vector<uint8_t> FInput;
    TPngCrc FCrc;
    int64_t FEndPos = 0;
    bool FEnded = false;
};

// Reads up to `count` bytes, repeating short reads; returns the bytes read.
size_t ReadUpTo(TStream& stream, void* buffer, size_t count);
// A big-endian 32-bit number.
inline uint32_t ReadBigEndian32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
