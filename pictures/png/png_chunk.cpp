#include "pictures/png/png_chunks.h"

#include <algorithm>

#include "pictures/png/png_crc.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"

TChunk::TChunk(TPngImage& owner, std::string name) : FOwner(&owner), FName(std::move(name)) {}

std::unique_ptr<TChunk> TChunk::Clone(TPngImage& owner) const { return CloneAs(*this, owner); }

namespace {

constexpr size_t ChunkReadBlock = size_t{1} << 20;

}  // namespace

void TChunk::LoadFromStream(TStream& stream, uint32_t size) {
    // A chunk that claims more data than the file holds is cut off by the end
    // of the file; found before anything of the claimed size is allocated.
    if (int64_t{size} > stream.Remaining()) throw EPngInvalidCRC(png_messages::InvalidCRC);
    Owner().HoldChunkBytes(size);
    FData.resize(size);
    // The CRC follows the data as it arrives, block by block.
    TPngCrc crc;
    crc.Update(FName.data(), 4);
    for (size_t done = 0; done < size;) {
        const size_t block = std::min<size_t>(ChunkReadBlock, size - done);
        if (ReadUpTo(stream, FData.data() + done, block) != block) throw EPngInvalidCRC(png_messages::InvalidCRC);
        crc.Update(FData.data() + done, block);
        done += block;
    }
    uint8_t stored[4];
    if (ReadUpTo(stream, stored, 4) != 4) throw EPngInvalidCRC(png_messages::InvalidCRC);
    if (Owner().CheckCRC() && crc.Value() != ReadBigEndian32(stored)) throw EPngInvalidCRC(png_messages::InvalidCRC);
    Process();
}

bool IsCriticalChunkName(const std::string& name) { return !name.empty() && (uint8_t(name[0]) & 0x20) == 0; }

namespace {

template <class T>
std::unique_ptr<TChunk> Make(TPngImage& owner) {
    return std::make_unique<T>(owner);
}

struct TChunkClass {
    char Name[5];
    std::unique_ptr<TChunk> (*Create)(TPngImage&);
};

// The registered chunk classes, in the order of their registration.
constexpr TChunkClass ChunkClasses[] = {
    {"IEND", Make<TChunkIEND>}, {"IHDR", Make<TChunkIHDR>}, {"IDAT", Make<TChunkIDAT>}, {"PLTE", Make<TChunkPLTE>},
    {"gAMA", Make<TChunkgAMA>}, {"tRNS", Make<TChunktRNS>}, {"pHYs", Make<TChunkpHYs>}, {"tIME", Make<TChunktIME>},
    {"tEXt", Make<TChunktEXt>}, {"zTXt", Make<TChunkzTXt>},
};

}  // namespace

std::unique_ptr<TChunk> CreateChunk(TPngImage& owner, const std::string& name) {
    for (const TChunkClass& chunkClass : ChunkClasses)
        if (name == chunkClass.Name) return chunkClass.Create(owner);
    return std::make_unique<TChunk>(owner, name);
}
