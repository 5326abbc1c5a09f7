#include "pictures/png/png_image_data_stream.h"

#include <algorithm>
#include <cstring>
#include <zlib.h>

#include "pictures/png/png_errors.h"

namespace {

// zlib takes its input in portions of at most this size, never beyond the
// end of the current chunk.
constexpr size_t InputPortion = 65535;
constexpr uint8_t IdatName[4] = {'I', 'D', 'A', 'T'};

}  // namespace

struct TPngImageDataStream::TInflater {
    z_stream Z{};
    bool Initialised = false;
    ~TInflater() {
        if (Initialised) inflateEnd(&Z);
    }
};

size_t ReadUpTo(TStream& stream, void* buffer, size_t count) {
    auto* bytes = static_cast<uint8_t*>(buffer);
    size_t total = 0;
    while (total < count) {
        const size_t read = stream.Read(bytes + total, count - total);
        if (read == 0) break;
        total += read;
    }
    return total;
}

TPngImageDataStream::TPngImageDataStream(TStream& stream, uint32_t length)
    : FStream(stream), FInflater(std::make_unique<TInflater>()), FInput(InputPortion) {
    FCrc.Update(IdatName, sizeof IdatName);
    FEndPos = FStream.Position() + int64_t{length};
    const int result = inflateInit(&FInflater->Z);
    if (result != Z_OK) RaiseZlibError(result);
    FInflater->Initialised = true;
}

TPngImageDataStream::~TPngImageDataStream() = default;

void TPngImageDataStream::CheckChunkCrc() {
    uint8_t stored[4];
    if (ReadUpTo(FStream, stored, 4) != 4 || ReadBigEndian32(stored) != FCrc.Value())
        throw EPngInvalidCRC(png_messages::InvalidCRC);
}

void TPngImageDataStream::StartNextChunk() {
    CheckChunkCrc();
    uint8_t header[8];
    if (ReadUpTo(FStream, header, 8) != 8 || std::memcmp(header + 4, IdatName, 4) != 0)
        throw EPNGMissingMultipleIDAT(png_messages::MissingMultipleIDAT);
    FCrc.Reset();
    FCrc.Update(IdatName, sizeof IdatName);
    FEndPos = FStream.Position() + int64_t{ReadBigEndian32(header)};
}

// Gives zlib its next portion of input; false when the file has no more.
bool TPngImageDataStream::RefillInput() {
    while (FStream.Position() >= FEndPos) StartNextChunk();
    const size_t wanted = size_t(std::min<int64_t>(int64_t(InputPortion), FEndPos - FStream.Position()));
    const size_t got = FStream.Read(FInput.data(), wanted);
    if (got == 0) return false;
    FCrc.Update(FInput.data(), got);
    FInflater->Z.next_in = FInput.data();
    FInflater->Z.avail_in = uInt(got);
    return true;
}

size_t TPngImageDataStream::Read(uint8_t* buffer, size_t count) {
    z_stream& z = FInflater->Z;
    size_t obtained = 0;
    while (obtained < count && !FEnded) {
        if (z.avail_in == 0 && !RefillInput()) {
            FEnded = true;
            break;
        }
        z.next_out = buffer + obtained;
        z.avail_out = uInt(count - obtained);
        const int result = inflate(&z, Z_NO_FLUSH);
        obtained = count - z.avail_out;
        if (result < 0) RaiseZlibError(result);
        // The compressed stream ended (or asks for a preset dictionary, which
        // the format forbids): no later call could make progress, so the
        // picture keeps the rows it has and no further call is made.
        if (result == Z_STREAM_END || result == Z_NEED_DICT) FEnded = true;
    }
    return obtained;
}

void TPngImageDataStream::Finish() {
    while (FStream.Position() < FEndPos) {
        const size_t wanted = size_t(std::min<int64_t>(int64_t(InputPortion), FEndPos - FStream.Position()));
        const size_t got = FStream.Read(FInput.data(), wanted);
        if (got == 0) break;
        FCrc.Update(FInput.data(), got);
    }
    if (FInflater->Initialised) {
        inflateEnd(&FInflater->Z);
        FInflater->Initialised = false;
    }
    CheckChunkCrc();
}
