#pragma once
// The platform bitmap: a device-independent bitmap (or a device-dependent one)
// with pixel format, alpha format, transparent colour, palette and canvas.
// Every decoded picture reaches the program through TBitmap::Assign. Images
// are shared between bitmaps by reference and copied on the first change.

#include <memory>
#include <mutex>

#include "pictures/canvas.h"
#include "pictures/gdi/gdi.h"
#include "pictures/graphic.h"

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TAlphaFormat { afIgnored, afDefined, afPremultiplied };
enum TTransparentMode { tmAuto, tmFixed };
enum TBitmapHandleType { bmDIB, bmDDB };

// The image a TBitmap holds; several bitmaps may share one.
struct TBitmapImage {
    TBitmapImage() { FDIB.Header.biSize = 0; }  // a new image has no header
    gdi::HBITMAP FHandle;                       // drawing handle; equal to FDIBHandle for a DIB
    gdi::HBITMAP FMaskHandle;                   // cached monochrome transparency mask
    gdi::HPALETTE FPalette;
    gdi::HBITMAP FDIBHandle;
    // Memory copy of a run-length-encoded file, from which the device-dependent
    // bitmap can be made again; dropped when the pixels change.
    std::shared_ptr<TMemoryStream> FSaveStream;
    bool FHalftone = false;
    bool FOS2Format = false;
    gdi::DibSection FDIB;  // FDIB.Header.biSize == 0: no header
    // The colour FMaskHandle marks (holders of one image may differ in it).
    gdi::COLORREF FMaskColor = gdi::CLR_INVALID;
};

// The one place images are built from the graphics layer's handles. A DIB
// section's description is read from the layer; a device-dependent bitmap
// (expanded run-length pixels) has no header and is described by its size
// and depth.
std::shared_ptr<TBitmapImage> MakeDibImage(const gdi::HBITMAP& dib, gdi::HPALETTE palette = nullptr);
std::shared_ptr<TBitmapImage> MakeDeviceImage(const gdi::HBITMAP& ddb, gdi::HPALETTE palette = nullptr);

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
    // The drawing handle, made when needed (e.g. from a kept RLE copy). The
    // image becomes this bitmap's own first, so the handle may be drawn on.
    gdi::HBITMAP Handle();
    // Read-only access to the image, for readers and conversions.
    const TBitmapImage& Image() const { return *FImage; }
    // Installs an image built by a reader (the old image is released). Hand
    // over the only reference: a second holder would count as sharing.
    void SetImage(std::shared_ptr<TBitmapImage> image);

protected:
    void Changed() override;

private:
    friend class TBitmapCanvas;
    // What a rebuilt image is made as.
    struct ImageFormat {
        bool Dib = true;
        bool Monochrome = false;  // device-dependent images only
        int BitCount = 32;
        uint32_t Compression = gdi::BI_RGB;
        uint32_t Masks[3] = {0, 0, 0};
    };
    ImageFormat CurrentFormat() const;
    void CopyImageIfShared();
    void FreeSaveStream();  // before pixels change: drop the RLE copy, clear colour counts
    // Makes the pixels this bitmap's own and ready to change (canvas, ScanLine).
    void Changing();
    // Makes the handle from the kept RLE copy when it is absent.
    void HandleNeeded();
    void FreeContext();  // the canvas lets go of the old image's handle
    void InstallImage(std::shared_ptr<TBitmapImage> image);
    static gdi::BitmapInfo DibInfoFor(int width, int height, const ImageFormat& format, const TBitmapImage& old,
                                      const gdi::HPALETTE& palette);
    void RebuildImage(int width, int height, const ImageFormat& format, const gdi::HPALETTE& palette, bool halftone);
    void FillNewImage(const gdi::HBITMAP& handle, const TBitmapImage& old, const gdi::BitmapInfo& info, void* bits);
    gdi::HBITMAP MaskHandle();
    void DrawTransparent(const gdi::HDC& target, const TRect& rect, const gdi::HDC& source);
    bool FReloading = false;  // re-creating from the RLE copy: no notifications

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
