#include "pixels/gdi_backend.h"

#include <cstdint>

TGDIBackend::TGDIBackend() {
    gdi::BITMAPINFOHEADER& header = FBitmapInfo.Header;
    header.biSize = sizeof(gdi::BITMAPINFOHEADER);
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = gdi::BI_RGB;
}

TGDIBackend::~TGDIBackend() { FinalizeSurface(); }

void TGDIBackend::Changing() {
    // The canvas draws on the context that is about to go.
    DeleteCanvas();
    TCustomBackend::Changing();
}

void TGDIBackend::InitializeSurface(int newWidth, int newHeight, bool) {
    gdi::BITMAPINFOHEADER& header = FBitmapInfo.Header;
    header.biWidth = newWidth;
    header.biHeight = -newHeight;  // row 0 on top, as the store is addressed
    // A store above the pixel limit gets no image size (the product may not
    // even fit 64 bits); the section refuses it below.
    header.biSizeImage =
        gdi::WithinPixelLimit(newWidth, newHeight, 32) ? static_cast<uint32_t>(int64_t{newWidth} * newHeight * 4) : 0;

    void* bits = nullptr;
    gdi::HBITMAP section = gdi::CreateDIBSection(FBitmapInfo, &bits);
    if (!section || bits == nullptr) throw EBackend("Can't allocate the DIB handle");

    gdi::HDC dc = gdi::CreateCompatibleDC();
    if (!dc) throw EBackend("Can't create compatible DC");
    gdi::SelectObject(dc, section);
    if (gdi::GetCurrentBitmap(dc) != section) throw EBackend("Can't select an object into DC");

    FBitmapHandle = std::move(section);
    FHDC = std::move(dc);
    FBits = static_cast<TColor32*>(bits);
}

void TGDIBackend::FinalizeSurface() {
    FCanvas.reset();
    if (FHDC) gdi::SelectObject(FHDC, nullptr);
    FHDC.reset();
    FBitmapHandle.reset();
    FBits = nullptr;
}

TCanvas& TGDIBackend::Canvas() {
    if (!FCanvas) {
        const gdi::BITMAPINFOHEADER& header = FBitmapInfo.Header;
        const TRect bounds = FBits ? Rect(0, 0, header.biWidth, -header.biHeight) : TRect{};
        FCanvas = std::make_unique<TDCCanvas>(FHDC, bounds);
        FCanvas->Font() = FFont;
    }
    return *FCanvas;
}

void TGDIBackend::SetFont(const TFont& font) {
    FFont = font;
    if (FCanvas) FCanvas->Font() = font;
}

bool TGDIBackend::DrawTo(const gdi::HDC& target, int x, int y) const {
    if (!FHDC) return false;
    const gdi::BITMAPINFOHEADER& header = FBitmapInfo.Header;
    return gdi::BitBlt(target, x, y, header.biWidth, -header.biHeight, FHDC, 0, 0, gdi::SRCCOPY);
}
