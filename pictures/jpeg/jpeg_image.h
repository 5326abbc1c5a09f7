#pragma once
// The picture class for JPEG files. Loading keeps the file's bytes and reads
// only the header; the picture is decoded once, when it is first needed as a
// TBitmap, and the decoded bitmap is reused from then on.

#include <cstdint>
#include <exception>
#include <memory>
#include <vector>

#include "pictures/bitmap.h"
#include "pictures/graphic.h"
#include "pictures/jpeg/jpeg_exception.h"

enum TJPEGPixelFormat { jf24Bit, jf8Bit };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };
enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };

// Settings copied into every new TJPEGImage.
struct TJPEGDefaults {
    bool Grayscale = false;
    TJPEGPerformance Performance = jpBestQuality;
    // jf8Bit would suit a screen of 8 or fewer bits per pixel; our graphics
    // layer's screen has 32.
    TJPEGPixelFormat PixelFormat = jf24Bit;
    TJPEGScale Scale = jsFullSize;
    bool Smoothing = true;
};
extern TJPEGDefaults JPEGDefaults;

// The compressed data and what its header says; shared between copies.
struct TJPEGData {
    std::vector<uint8_t> FData;
    int FWidth = 0;
    int FHeight = 0;
    bool FGrayscale = false;
};

class TJPEGImage : public TGraphic {
public:
    TJPEGImage();
    ~TJPEGImage() override;
    const char* ClassName() const override { return "TJPEGImage"; }
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TJPEGImage>(); }

    // A TJPEGImage source: its data are shared and a decoded bitmap copied.
    void Assign(const TGraphic* source) override;
    // A TBitmap destination receives the decoded bitmap (decoding it now if
    // needed); other destinations fail as in TGraphic.
    void AssignTo(TGraphic& dest) const override;
    // Keeps the rest of the stream and reads the JPEG header (EJPEG on
    // failure). An empty rest loads as an empty picture.
    void LoadFromStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    // The size is the file's: EInvalidGraphicOperation.
    void SetWidth(int value) override;
    void SetHeight(int value) override;
    // Colour and CMYK pictures not decoded yet are decoded straight into
    // the target; the picture itself stays undecoded.
    bool WriteOpaquePixels(const std::function<uint32_t*()>& target) override;

    // The decoded picture, decoded on first use. When decoding fails nothing
    // is kept, so the next use fails the same way instead of handing out a
    // partial picture.
    const TBitmap& Bitmap() const;

    bool Grayscale() const { return FGrayscale || FImage->FGrayscale; }
    bool ProgressiveEncoding() const { return FProgressiveEncoding; }
    // Changing a decoding setting drops the decoded bitmap.
    void SetGrayscale(bool value);
    TJPEGPixelFormat PixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TJPEGPixelFormat value);
    TJPEGPerformance Performance() const { return FPerformance; }
    void SetPerformance(TJPEGPerformance value);
    TJPEGScale Scale() const { return FScale; }
    void SetScale(TJPEGScale value);
    bool Smoothing() const { return FSmoothing; }
    void SetSmoothing(bool value);

private:
    void FreeBitmap();
    void Decode() const;
    void CalcScaledSize() const;

    std::shared_ptr<const TJPEGData> FImage;
    // Decoding is deferred to the first (const) request for the bitmap.
    mutable std::unique_ptr<TBitmap> FBitmap;
    // A decode that failed fails again at once, until the data or the
    // settings change, rather than being run anew on every call.
    mutable std::exception_ptr FDecodeFailure;
    mutable int FScaledWidth = 0;
    mutable int FScaledHeight = 0;
    mutable bool FNeedRecalc = true;
    bool FGrayscale;
    TJPEGPixelFormat FPixelFormat;
    TJPEGPerformance FPerformance;
    TJPEGScale FScale;
    bool FSmoothing;
    bool FProgressiveEncoding = false;
};
