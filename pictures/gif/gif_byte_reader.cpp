#include "pictures/gif/gif_byte_reader.h"

#include <algorithm>
#include <cstring>

#include "pictures/gif/gif_errors.h"

namespace gif {

namespace {
constexpr size_t BufferSize = 64 * 1024;
}

TByteReader::TByteReader(TStream& stream) : FStream(stream), FBuffer(BufferSize) {
    FBufferStart = stream.Position();
    FNext = FEnd = FBuffer.data();
}

bool TByteReader::Fill() {
    FBufferStart = Position();
    size_t got = FStream.Read(FBuffer.data(), FBuffer.size());
    FNext = FBuffer.data();
    FEnd = FNext + got;
    return got > 0;
}

size_t TByteReader::Read(void* buffer, size_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    size_t done = 0;
    while (done < count) {
        if (FNext == FEnd && !Fill()) break;
        size_t part = std::min(count - done, static_cast<size_t>(FEnd - FNext));
        std::memcpy(out + done, FNext, part);
        FNext += part;
        done += part;
    }
    return done;
}

void TByteReader::ReadExact(void* buffer, size_t count) {
    if (Read(buffer, count) != count) throw GIFException(PrematureEnd);
}

size_t TByteReader::Skip(size_t count) {
    size_t done = 0;
    while (done < count) {
        if (FNext == FEnd && !Fill()) break;
        size_t part = std::min(count - done, static_cast<size_t>(FEnd - FNext));
        FNext += part;
        done += part;
    }
    return done;
}

void TByteReader::SetPosition(int64_t position) {
    int64_t bufferEnd = FBufferStart + (FEnd - FBuffer.data());
    if (position >= FBufferStart && position <= bufferEnd) {
        FNext = FBuffer.data() + (position - FBufferStart);
        return;
    }
    FStream.SetPosition(position);
    FBufferStart = position;
    FNext = FEnd = FBuffer.data();
}

void TByteReader::Commit() { FStream.SetPosition(Position()); }

}  // namespace gif
