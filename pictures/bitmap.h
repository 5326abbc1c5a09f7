#pragma once
// The platform bitmap: a device-independent bitmap (or a device-dependent one)
// with pixel format, alpha format, transparent colour, palette and canvas.
// Every decoded picture reaches the program through TBitmap::Assign. Images
// are shared between bitmaps by reference and copied on the first change.

#include <memory>
#include <mutex>

#include "pictures/canvas.h"
#include "pictures/gdi.h"
#include "pictures/graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// The image a TBitmap holds; several bitmaps may share one.
struct TBitmapImage {
    gdi::HBITMAP FHandle;      // drawing handle; equal to FDIBHandle for a DIB
    gdi::HBITMAP FMaskHandle;  // cached monochrome transparency mask
    gdi::HPALETTE FPalette;
    gdi::HBITMAP FDIBHandle;
    // Memory copy of a run-length-encoded file, from which the device-dependent
    // bitmap can be made again; dropped when the pixels change.
    std::shared_ptr<TMemoryStream> FSaveStream;
    bool FHalftone = false;
    bool FOS2Format = false;
    gdi::DibSection FDIB;  // FDIB.Header.biSize == 0: no header
};

class TBitmapCanvas;

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    const char* ClassName() const override { return "TBitmap"; }
    std::unique_ptr<TGraphic> NewInstance() const override { return std::make_unique<TBitmap>(); }

    void Assign(const TGraphic* source) override;
    // Reads a BMP file from the stream's position to its end.
    void LoadFromStream(TStream& stream) override;
    void Draw(TCanvas& canvas, const TRect& rect) override;

    bool Empty() const override;
    int Width() const override;
    int Height() const override;
    void SetWidth(int value) override { SetSize(value, Height()); }
    void SetHeight(int value) override { SetSize(Width(), value); }
    void SetSize(int width, int height) override;

    TPixelFormat PixelFormat() const;
    void SetPixelFormat(TPixelFormat value);
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat value);
    gdi::HPALETTE Palette() const override;
    void SetPalette(const gdi::HPALETTE& value) override;
    TColor TransparentColor() const;
    void SetTransparentColor(TColor value);
    TTransparentMode TransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode value);
    TBitmapHandleType HandleType() const;
    bool Monochrome() const;

    TCanvas& Canvas();
    bool HasCanvas() const { return FCanvas != nullptr; }
    // Address of row `row` (0 = top row); EInvalidGraphicOperation "Scan line
    // index out of range" outside 0 .. Height - 1. Makes the image a private
    // DIB first.
    uint8_t* ScanLine(int row);
    // The drawing handle, made when needed (e.g. from a kept RLE copy).
    gdi::HBITMAP Handle();
    // Read-only access to the image, for readers and conversions.
    const TBitmapImage& Image() const { return *FImage; }
    // Installs an image built by a reader (the old image is released).
    void SetImage(std::shared_ptr<TBitmapImage> image);

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    void CopyImageIfShared();
    void FreeSaveStream();  // before pixels change: drop the RLE copy, clear colour counts
    void RebuildImage(int width, int height, int bitCount, uint32_t compression,
                      const gdi::HPALETTE& palette, bool keepMasks);
    gdi::HBITMAP MaskHandle();

    std::shared_ptr<TBitmapImage> FImage;
    std::unique_ptr<TBitmapCanvas> FCanvas;
    TColor FTransparentColor = clDefault;
    TTransparentMode FTransparentMode = tmAuto;
    TAlphaFormat FAlphaFormat = afIgnored;
    bool FIgnorePalette = false;
};

// Guards the swap of a bitmap's shared image.
std::mutex& BitmapImageLock();

// Premultiplies / un-premultiplies `count` 4-byte pixels in place with the
// platform's rounded multiply-divide.
void PremultiplyPixels(uint8_t* pixels, size_t count);
void UnpremultiplyPixels(uint8_t* pixels, size_t count);
