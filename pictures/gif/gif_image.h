#pragma once
// The GIF picture class. Loading reads every frame (the later ones are
// checked and then let go of their pixels); only the first frame ever
// reaches a bitmap.

#include <memory>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/gif/gif_errors.h"
#include "pictures/gif/gif_types.h"
#include "pictures/graphic.h"

class TGIFImage : public TGraphic {
public:
    TGIFImage() = default;
    const char* ClassName() const override { return "TGIFImage"; }
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TGIFImage>(); }

    // Copies another TGIFImage; other sources go the usual way.
    void Assign(const TGraphic* source) override;
    // A TBitmap receives the bitmap of frame 0 (nothing when there are no frames).
    void AssignTo(TGraphic& dest) const override;
    // Reads a GIF file from the stream's position, replacing any earlier
    // content. Raises GIFException (or EAbstractError, EOutOfMemory) with the
    // stream put back where it was.
    void LoadFromStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

    bool Empty() const override { return FData.Frames.empty(); }
    // The logical screen, grown to fit every frame.
    int Width() const override { return FData.Width; }
    int Height() const override { return FData.Height; }
    // A GIF is not resized: EInvalidGraphicOperation.
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    const gif::TGIFHeader& Header() const { return FData.Header; }
    uint8_t BackgroundColorIndex() const { return FData.Header.BackgroundColorIndex; }
    const gif::TGIFColorTable& GlobalColorTable() const { return FData.GlobalColorTable; }
    const std::vector<gif::TGIFFrame>& Frames() const { return FData.Frames; }

    // The bitmap of frame 0, made on first demand and kept; null when there
    // are no frames.
    std::shared_ptr<TBitmap> Bitmap() const;

private:
    gif::TGIFData FData;
    mutable std::shared_ptr<TBitmap> FBitmap;
    mutable bool FBitmapMade = false;
};
