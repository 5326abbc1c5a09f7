#pragma once
// The picture class for TIFF files: hands the file's bytes to the imaging
// component, which decodes the first frame completely at load, and delivers
// it as a 32-bit TBitmap with premultiplied alpha.

#include <memory>
#include <optional>

#include "base/exception.h"
#include "base/stream.h"
#include "pictures/bitmap.h"
#include "pictures/graphic.h"
#include "pictures/tiff/imaging.h"

enum TWICImageFormat { wifBmp, wifPng, wifJpeg, wifGif, wifTiff, wifWMPhoto, wifOther };

class TWICImage : public TGraphic {
public:
    TWICImage();
    ~TWICImage() override;
    const char* ClassName() const override { return "TWICImage"; }
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TWICImage>(); }

    // Decodes frame FrameIndex() of the picture from the stream's position to
    // its end. Raises EInvalidGraphic "Invalid image (0x%.8X)" with the
    // component's result code, or EInvalidOperation "Invalid image frame
    // index %d: there are %d frames (0-%d)".
    void LoadFromStream(TStream& stream) override;
    // A TBitmap destination receives the frame as pf32bit, afDefined.
    void AssignTo(TGraphic& dest) const override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

    bool Empty() const override { return !FWicBitmap; }
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    // The decoded frame is not rescaled: raises EInvalidGraphicOperation.
    void SetWidth(int value) override;
    void SetHeight(int value) override;

    int FrameCount() const { return FFrameCount; }
    int FrameIndex() const { return FFrameIndex; }
    void SetFrameIndex(int value) { FFrameIndex = value; }
    TWICImageFormat ImageFormat() const { return FImageFormat; }
    // The file's bytes as loaded.
    const TMemoryStream& Data() const { return FData; }

private:
    // The frame as a TBitmap, made on first need and kept.
    TBitmap& Bitmap() const;

    int FWidth = 0;
    int FHeight = 0;
    mutable std::unique_ptr<TBitmap> FBitmap;
    TMemoryStream FData;
    std::optional<imaging::Frame> FWicBitmap;  // the decoded frame
    int FFrameCount = 0;
    int FFrameIndex = 0;
    TWICImageFormat FImageFormat = wifBmp;
    std::shared_ptr<imaging::ImagingFactory> FImagingFactory;
};
