#pragma once
// TPngImage: the picture class for ".png" files. The whole file is decoded
// while it loads, into a DIB of the decoder's own (plus an alpha plane for
// colour types with alpha); AssignTo renders it into a TBitmap.

#include <memory>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/graphic.h"
#include "pictures/png/png_chunks.h"
#include "pictures/png/png_errors.h"
#include "pictures/png/png_gamma.h"

enum TPNGTransparencyMode { ptmNone, ptmBit, ptmPartial };
enum TInterlaceMethod { imNone, imAdam7 };

using TPNGList = std::vector<std::unique_ptr<TChunk>>;

class TPngImage : public TGraphic {
public:
    TPngImage();
    ~TPngImage() override;
    const char* ClassName() const override { return "TPngImage"; }
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TPngImage>(); }

    // Dest a TPngImage: gets a copy of the picture. Dest a TBitmap, with a
    // header present: the picture is rendered into it. Otherwise as TGraphic.
    void AssignTo(TGraphic& dest) const override;
    // Reads and decodes a whole PNG file from the stream's position. On
    // failure the picture is left empty, never half decoded.
    void LoadFromStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;
    // Opaque true-colour pictures (no transparency of any kind) only.
    bool WriteOpaquePixels(const std::function<uint32_t*()>& target) override;
    // Taken by 8-bit true-colour pictures without transparency: their rows
    // are decoded straight into the target, with no plane of their own.
    void OfferOpaqueTarget(std::function<uint32_t*()> target) override { FOpaqueTarget = std::move(target); }

    bool Empty() const override { return FChunkList.empty(); }
    int Width() const override;
    int Height() const override;
    // A decoded picture keeps the size of its header: these change nothing.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    gdi::HPALETTE Palette() const override;

    // The header chunk; EPNGHeaderNotPresent when the list does not start with one.
    TChunkIHDR& Header() const;
    TPNGTransparencyMode TransparencyMode() const;
    // The colour left out by a ptmBit picture, $00BBGGRR.
    TColor TransparentColor() const;
    TInterlaceMethod InterlaceMethod() const { return FInterlaceMethod; }
    const TPNGList& Chunks() const { return FChunkList; }
    // The first chunk of class T in the list, or null.
    template <class T>
    const T* FindChunk() const {
        for (const auto& chunk : FChunkList)
            if (const T* found = dynamic_cast<const T*>(chunk.get())) return found;
        return nullptr;
    }
    const TGammaTable& GammaTable() const { return FGammaTable; }
    const TGammaTable& InverseGamma() const { return FInverseGamma; }
    bool CheckCRC() const { return FCheckCRC; }
    // Counts size bytes of chunk data about to be held in the chunk list;
    // EPNGOutMemory once the picture's chunks together would pass
    // MaxHeldChunkBytes. The image data is streamed and never held.
    void HoldChunkBytes(uint32_t size);
    // The chunks a picture may hold beside its pixels: far above what text,
    // palettes and the like take, far below what a hostile file may declare
    // (two chunks of 2 GiB each in a sparse file of a few kilobytes).
    static constexpr int64_t MaxHeldChunkBytes = int64_t{64} << 20;

private:
    friend class TChunkIHDR;
    friend class TChunkIDAT;
    friend class TChunkgAMA;
    void ReadChunks(TStream& stream);
    // EInvalidGraphicOperation when the pixels went to an offered target.
    void RequirePixels() const;
    void RenderInto(TBitmap& dest) const;
    void CopyInto(TPngImage& dest) const;

    TPNGList FChunkList;
    TInterlaceMethod FInterlaceMethod = imNone;
    bool FCheckCRC = true;
    int64_t FHeldChunkBytes = 0;  // of the load under way
    TGammaTable FGammaTable;
    TGammaTable FInverseGamma;
    std::function<uint32_t*()> FOpaqueTarget;  // offered for the load under way
    bool FDecodeIntoTarget = false;            // this load's rows go there: no DIB plane
    bool FPixelsHandedOver = false;            // they went there: nothing to draw
};
