#include "pictures/png/png_chunks.h"
#include "pictures/png/png_crc.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_image.h"
#include "pictures/png/png_image_data_stream.h"

TChunk::TChunk(TPngImage& owner, std::string name) : FOwner(&owner), FName(std::move(name)) {}

std::unique_ptr<TChunk> TChunk::Clone(TPngImage& owner) const { return CloneAs(*this, owner); }

void TChunk::LoadFromStream(TStream& stream, uint32_t size) {
    // A chunk that claims more data than the file holds is cut off by the end
    // of the file; found before anything of the claimed size is allocated.
    if (int64_t{size} > stream.Remaining()) throw EPngInvalidCRC(png_messages::InvalidCRC);
    FData.resize(size);
    uint8_t stored[4];
    if (ReadUpTo(stream, FData.data(), size) != size || ReadUpTo(stream, stored, 4) != 4)
        throw EPngInvalidCRC(png_messages::InvalidCRC);
    if (Owner().CheckCRC()) {
        TPngCrc crc;
        crc.Update(FName.data(), 4);
        crc.Update(FData.data(), FData.size());
        if (crc.Value() != ReadBigEndian32(stored)) throw EPngInvalidCRC(png_messages::InvalidCRC);
    }
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
    {"IEND", Make<TChunkIEND>}, {"IHDR", Make<TChunkIHDR>}, {"IDAT", Make<TChunkIDAT>},
    {"PLTE", Make<TChunkPLTE>}, {"gAMA", Make<TChunkgAMA>}, {"tRNS", Make<TChunktRNS>},
    {"pHYs", Make<TChunkpHYs>}, {"tIME", Make<TChunktIME>}, {"tEXt", Make<TChunktEXt>},
    {"zTXt", Make<TChunkzTXt>},
};

}  // namespace

std::unique_ptr<TChunk> CreateChunk(TPngImage& owner, const std::string& name) {
    for (const TChunkClass& chunkClass : ChunkClasses)
        if (name == chunkClass.Name) return chunkClass.Create(owner);
    return std::make_unique<TChunk>(owner, name);
}
