#include "pictures/png/png_image.h"

#include <cstring>
#include <typeinfo>

#include "base/scope_guard.h"
#include "pictures/png/png_image_data_stream.h"

namespace {

// https://www.w3.org/TR/png/#5PNG-file-signature
constexpr uint8_t Signature[8] = {0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A};

}  // namespace

TPngImage::TPngImage() : FGammaTable(IdentityGammaTable()), FInverseGamma(IdentityGammaTable()) {}

TPngImage::~TPngImage() = default;

int TPngImage::Width() const {
    const auto* header = FChunkList.empty() ? nullptr : dynamic_cast<const TChunkIHDR*>(FChunkList.front().get());
    return header ? int(header->IHDRData().Width) : 0;
}

int TPngImage::Height() const {
    const auto* header = FChunkList.empty() ? nullptr : dynamic_cast<const TChunkIHDR*>(FChunkList.front().get());
    return header ? int(header->IHDRData().Height) : 0;
}

TChunkIHDR& TPngImage::Header() const {
    auto* header = FChunkList.empty() ? nullptr : dynamic_cast<TChunkIHDR*>(FChunkList.front().get());
    if (!header) throw EPNGHeaderNotPresent(png_messages::HeaderNotPresent);
    return *header;
}

gdi::HPALETTE TPngImage::Palette() const {
    if (FChunkList.empty()) return nullptr;
    return Header().ImagePalette();
}

void TPngImage::LoadFromStream(TStream& stream) {
    const int64_t start = stream.Position();
    FChunkList.clear();
    FHeldChunkBytes = 0;
    FGammaTable = IdentityGammaTable();
    FInverseGamma = IdentityGammaTable();
    FInterlaceMethod = imNone;
    FDecodeIntoTarget = false;
    FPixelsHandedOver = false;
    // A failed load leaves no half-decoded picture behind to be drawn, and
    // an offered target is for one load only.
    const ScopeFail forgetChunks([this] { FChunkList.clear(); });
    const ScopeExit forgetTarget([this] { FOpaqueTarget = nullptr; });
    ReadChunks(stream);
    if (FPixelsHandedOver && TransparencyMode() != ptmNone) {
        // Transparency announced after the image data: the pixels handed
        // over are not the picture's. Loaded again, the usual way.
        FOpaqueTarget = nullptr;
        stream.SetPosition(start);
        LoadFromStream(stream);
        return;
    }
    Changed();
}

void TPngImage::HoldChunkBytes(uint32_t size) {
    if (FHeldChunkBytes + size > MaxHeldChunkBytes) throw EPNGOutMemory(png_messages::OutMemory);
    FHeldChunkBytes += size;
}

void TPngImage::ReadChunks(TStream& stream) {
    uint8_t signature[8];
    if (ReadUpTo(stream, signature, 8) != 8 || std::memcmp(signature, Signature, 8) != 0)
        throw EPNGInvalidFileHeader(png_messages::InvalidFileHeader);
    bool hasImageData = false;
    for (;;) {
        uint8_t lengthAndName[8];
        const size_t got = ReadUpTo(stream, lengthAndName, 8);
        if (got < 4) throw EPngUnexpectedEnd(png_messages::UnexpectedEnd);
        if (got < 8) throw EPngInvalidCRC(png_messages::InvalidCRC);
        const uint32_t length = ReadBigEndian32(lengthAndName);
        const std::string name(reinterpret_cast<const char*>(lengthAndName + 4), 4);
        if (FChunkList.empty() && name != "IHDR") throw EPNGIHDRNotFirst(png_messages::IHDRNotFirst);
        // Chromaticities are not used, and image data after the first run of
        // IDAT chunks have no rows left to fill: both are passed over unread.
        if (name == "cHRM" || (name == "IDAT" && hasImageData)) {
            stream.SetPosition(stream.Position() + int64_t{length} + 4);
            continue;
        }
        FChunkList.push_back(CreateChunk(*this, name));
        TChunk& chunk = *FChunkList.back();
        if (typeid(chunk) == typeid(TChunk) && IsCriticalChunkName(name))
            throw EPNGUnknownCriticalChunk(png_messages::UnknownCriticalChunk);
        chunk.LoadFromStream(stream, length);
        if (name == "IDAT") hasImageData = true;
        if (name == "IEND") break;
    }
    if (!hasImageData) throw EPNGNoImageData(png_messages::NoImageData);
}

void TPngImage::AssignTo(TGraphic& dest) const {
    if (auto* png = dynamic_cast<TPngImage*>(&dest)) {
        CopyInto(*png);
        return;
    }
    auto* bitmap = dynamic_cast<TBitmap*>(&dest);
    if (bitmap && !FChunkList.empty() && dynamic_cast<const TChunkIHDR*>(FChunkList.front().get())) {
        RenderInto(*bitmap);
        return;
    }
    TGraphic::AssignTo(dest);
}

void TPngImage::CopyInto(TPngImage& dest) const {
    if (&dest == this) return;
    RequirePixels();
    TPNGList copies;
    copies.reserve(FChunkList.size());
    for (const auto& chunk : FChunkList) copies.push_back(chunk->Clone(dest));
    dest.FChunkList = std::move(copies);
    dest.FInterlaceMethod = FInterlaceMethod;
    dest.FCheckCRC = FCheckCRC;
    dest.FGammaTable = FGammaTable;
    dest.FInverseGamma = FInverseGamma;
    dest.Changed();
}
