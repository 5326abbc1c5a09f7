// PNG files from a 32-bit bitmap: 8-bit RGBA, no interlace, filter 0 on every
// row, the alpha written as stored.

#include <zlib.h>

#include <array>
#include <cstring>
#include <vector>

#include "pixels/bitmap32.h"
#include "pixels/image_format_adapters.h"

namespace {

constexpr std::array<uint8_t, 8> PngSignature = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
constexpr size_t IdatChunkBytes = size_t{1} << 16;

void PutBE32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void WriteChunk(TStream& stream, const char type[4], const uint8_t* data, size_t size) {
    uint8_t head[8];
    PutBE32(head, static_cast<uint32_t>(size));
    std::memcpy(head + 4, type, 4);
    uLong crc = crc32(0, head + 4, 4);
    if (size > 0) crc = crc32(crc, data, static_cast<uInt>(size));
    uint8_t tail[4];
    PutBE32(tail, static_cast<uint32_t>(crc));
    stream.WriteBuffer(head, sizeof head);
    if (size > 0) stream.WriteBuffer(data, size);
    stream.WriteBuffer(tail, sizeof tail);
}

// Deflates rows into IDAT chunks of at most IdatChunkBytes each.
class TIdatWriter {
public:
    explicit TIdatWriter(TStream& stream) : FStream(stream), FOut(IdatChunkBytes) {
        if (deflateInit(&FZ, Z_DEFAULT_COMPRESSION) != Z_OK) throw EOutOfMemory("Out of memory");
        FZ.next_out = FOut.data();
        FZ.avail_out = static_cast<uInt>(FOut.size());
    }
    ~TIdatWriter() { deflateEnd(&FZ); }
    TIdatWriter(const TIdatWriter&) = delete;
    TIdatWriter& operator=(const TIdatWriter&) = delete;

    void Add(const uint8_t* data, size_t size) { Deflate(data, size, Z_NO_FLUSH); }
    void Finish() { Deflate(nullptr, 0, Z_FINISH); }

private:
    void Deflate(const uint8_t* data, size_t size, int flush) {
        FZ.next_in = const_cast<Bytef*>(data);
        FZ.avail_in = static_cast<uInt>(size);
        for (;;) {
            const int result = deflate(&FZ, flush);
            if (result == Z_STREAM_ERROR) throw EInvalidGraphic("PNG compression failed");
            if (FZ.avail_out == 0) FlushChunk();
            if (flush == Z_FINISH ? result == Z_STREAM_END : FZ.avail_in == 0) break;
        }
        if (flush == Z_FINISH) FlushChunk();
    }
    void FlushChunk() {
        const size_t used = FOut.size() - FZ.avail_out;
        if (used > 0) WriteChunk(FStream, "IDAT", FOut.data(), used);
        FZ.next_out = FOut.data();
        FZ.avail_out = static_cast<uInt>(FOut.size());
    }

    TStream& FStream;
    std::vector<uint8_t> FOut;
    z_stream FZ{};
};

}  // namespace

void TImageFormatAdapterPNG32::SaveToStream(const TCustomBitmap32& bitmap, TStream& stream) {
    // A PNG image has at least one pixel.
    if (bitmap.Empty()) throw EInvalidGraphic("Cannot save an empty image as PNG");
    stream.WriteBuffer(PngSignature.data(), PngSignature.size());
    uint8_t header[13] = {};
    PutBE32(header, static_cast<uint32_t>(bitmap.Width()));
    PutBE32(header + 4, static_cast<uint32_t>(bitmap.Height()));
    header[8] = 8;  // bits per sample
    header[9] = 6;  // colour type: RGBA
    WriteChunk(stream, "IHDR", header, sizeof header);

    TIdatWriter idat(stream);
    std::vector<uint8_t> row(1 + size_t(bitmap.Width()) * 4);  // filter byte 0, then RGBA
    for (int y = 0; y < bitmap.Height(); ++y) {
        const TColor32* pixel = bitmap.ScanLine(y);
        uint8_t* out = row.data() + 1;
        for (int x = 0; x < bitmap.Width(); ++x, out += 4) {
            out[0] = RedComponent(pixel[x]);
            out[1] = GreenComponent(pixel[x]);
            out[2] = BlueComponent(pixel[x]);
            out[3] = AlphaComponent(pixel[x]);
        }
        idat.Add(row.data(), row.size());
    }
    idat.Finish();
    WriteChunk(stream, "IEND", nullptr, 0);
}
