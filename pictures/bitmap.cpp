// TBitmap: the shared image, copy on write, assignment and pixel access.

#include "pictures/bitmap.h"

#include "base/scope_guard.h"

#include <cstring>

#include "pictures/bitmap_canvas.h"

std::mutex& BitmapImageLock() {
    static std::mutex lock;
    return lock;
}

TBitmap::TBitmap() : FImage(std::make_shared<TBitmapImage>()) {}

TBitmap::~TBitmap() = default;

void TBitmap::Assign(const TGraphic* source) {
    const auto* bitmap = As<TBitmap>(source);
    if (source != nullptr && bitmap == nullptr) {
        source->AssignTo(*this);
        return;
    }
    if (bitmap == this) return;
    {
        std::lock_guard guard(BitmapImageLock());
        FImage = bitmap != nullptr ? bitmap->FImage : std::make_shared<TBitmapImage>();
    }
    FreeContext();
    if (bitmap != nullptr) {
        FTransparent = bitmap->FTransparent;
        FTransparentColor = bitmap->FTransparentColor;
        FTransparentMode = bitmap->FTransparentMode;
        FAlphaFormat = bitmap->FAlphaFormat;
    }
    FPaletteModified = FImage->FPalette != nullptr;
    Changed();
}

bool TBitmap::Empty() const { return !FImage->FHandle && !FImage->FDIBHandle && !FImage->FSaveStream; }
int TBitmap::Width() const { return FImage->FDIB.Width; }
int TBitmap::Height() const { return FImage->FDIB.Height; }

TBitmapHandleType TBitmap::HandleType() const {
    const TBitmapImage& image = *FImage;
    if (image.FHandle && image.FHandle != image.FDIBHandle) return bmDDB;
    if (!image.FDIBHandle && image.FDIB.Header.biSize == 0) return bmDDB;
    return bmDIB;
}

bool TBitmap::Monochrome() const { return FImage->FDIB.Planes == 1 && FImage->FDIB.BitsPixel == 1; }

TPixelFormat TBitmap::PixelFormat() const {
    if (HandleType() == bmDDB) return pfDevice;
    const gdi::BITMAPINFOHEADER& header = FImage->FDIB.Header;
    switch (header.biBitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    case 16:
        if (header.biCompression == gdi::BI_RGB) return pf15bit;
        if (header.biCompression == gdi::BI_BITFIELDS) {
            if (FImage->FDIB.Masks[1] == 0x07E0) return pf16bit;
            if (FImage->FDIB.Masks[1] == 0x03E0) return pf15bit;
        }
        return pfCustom;
    case 32: return header.biCompression == gdi::BI_RGB ? pf32bit : pfCustom;
    default: return pfCustom;
    }
}

TCanvas& TBitmap::Canvas() {
    if (!FCanvas) {
        HandleNeeded();
        FCanvas = std::make_unique<TBitmapCanvas>(*this);
        FCanvas->OnChanging = [this] { Changing(); };
        FCanvas->OnChanged = [this] { Changed(); };
    }
    return *FCanvas;
}

uint8_t* TBitmap::ScanLine(int row) {
    if (row < 0 || row >= Height()) throw EInvalidGraphicOperation("Scan line index out of range");
    HandleNeeded();
    if (HandleType() == bmDDB) {
        ImageFormat format;  // a 32-bit DIB keeps every colour of our device-dependent bitmaps
        RebuildImage(Width(), Height(), format, FImage->FPalette, FImage->FHalftone);
    }
    Changing();
    const gdi::DibSection& dib = FImage->FDIB;
    if (dib.Bits == nullptr) throw EInvalidGraphicOperation("Scan line index out of range");
    const int memoryRow = dib.Header.biHeight < 0 ? row : dib.Height - 1 - row;
    return static_cast<uint8_t*>(dib.Bits) + int64_t{memoryRow} * dib.WidthBytes;
}

gdi::HBITMAP TBitmap::Handle() {
    HandleNeeded();
    CopyImageIfShared();
    return FImage->FHandle;
}

void TBitmap::SetImage(std::shared_ptr<TBitmapImage> image) {
    InstallImage(image ? std::move(image) : std::make_shared<TBitmapImage>());
}

void TBitmap::InstallImage(std::shared_ptr<TBitmapImage> image) {
    {
        std::lock_guard guard(BitmapImageLock());
        FImage = std::move(image);
    }
    FreeContext();
}

void TBitmap::Changed() {
    if (FReloading) return;
    TGraphic::Changed();
}

void TBitmap::FreeContext() {
    if (FCanvas) FCanvas->Deselect();
}

void TBitmap::HandleNeeded() {
    if (FImage->FHandle || !FImage->FSaveStream || FReloading) return;
    // A device-dependent bitmap made from a run-length-encoded file is made
    // again from the file's kept copy.
    const std::shared_ptr<TMemoryStream> stream = FImage->FSaveStream;
    FReloading = true;
    const ScopeExit endReloading([this] { FReloading = false; });
    stream->SetPosition(0);
    LoadFromStream(*stream);
}

void TBitmap::FreeSaveStream() {
    FImage->FSaveStream.reset();
    FImage->FDIB.Header.biClrUsed = 0;
    FImage->FDIB.Header.biClrImportant = 0;
}

void TBitmap::Changing() {
    HandleNeeded();
    CopyImageIfShared();
    FreeSaveStream();
    FImage->FMaskHandle.reset();
}
