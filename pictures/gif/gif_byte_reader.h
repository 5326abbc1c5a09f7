#pragma once
// Buffered reading of a GIF file from a stream. GIF is read a byte or a
// sub-block at a time; going through the stream for each would cost a call
// (or a system call) per byte. The reader keeps a logical position and puts
// the stream there when it is done, so the stream ends up exactly after
// what was consumed.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "base/stream.h"

namespace gif {

class TByteReader {
public:
    explicit TByteReader(TStream& stream);

    // The next byte, or -1 at the end of the stream.
    int Peek() {
        if (FNext == FEnd && !Fill()) return -1;
        return *FNext;
    }
    int ReadByte() {
        if (FNext == FEnd && !Fill()) return -1;
        return *FNext++;
    }
    // Reads up to count bytes; returns how many there were.
    size_t Read(void* buffer, size_t count);
    // Reads exactly count bytes or raises GIFException "Premature end of data".
    void ReadExact(void* buffer, size_t count);
    // Skips up to count bytes; returns how many there were.
    size_t Skip(size_t count);

    // Position in the stream of the next byte to be read.
    int64_t Position() const { return FBufferStart + (FNext - FBuffer.data()); }
    void SetPosition(int64_t position);
    // Puts the stream at Position().
    void Commit();

private:
    bool Fill();

    TStream& FStream;
    std::vector<uint8_t> FBuffer;
    int64_t FBufferStart = 0;  // stream position of FBuffer[0]
    const uint8_t* FNext = nullptr;
    const uint8_t* FEnd = nullptr;
};

}  // namespace gif
