#pragma once
// The platform pixel store: a 32-bit top-down DIB section selected into a
// memory device context, with a canvas over that context made on request.
// Every new store is fresh, zero-filled memory.

#include <memory>

#include "pixels/backend.h"

class TGDIBackend : public TCustomBackend, public ICanvasSupport, public IDeviceContextSupport, public IFontSupport {
public:
    TGDIBackend();
    ~TGDIBackend() override;

    TCanvas& Canvas() override;
    bool CanvasAllocated() const override { return FCanvas != nullptr; }
    void DeleteCanvas() override { FCanvas.reset(); }

    gdi::HDC Handle() const override { return FHDC; }
    bool DrawTo(const gdi::HDC& target, int x, int y) const override;

    const TFont& Font() const override { return FFont; }
    void SetFont(const TFont& font) override;

    const gdi::BitmapInfo& BitmapInfo() const { return FBitmapInfo; }
    const gdi::HBITMAP& BitmapHandle() const { return FBitmapHandle; }

protected:
    void Changing() override;
    // Raises EBackend "Can't allocate the DIB handle", "Can't create
    // compatible DC" or "Can't select an object into DC"; nothing is kept
    // then. The clear request is ignored: new sections are zero-filled.
    void InitializeSurface(int newWidth, int newHeight, bool clearBuffer) override;
    void FinalizeSurface() override;

private:
    gdi::BitmapInfo FBitmapInfo;
    gdi::HBITMAP FBitmapHandle;
    gdi::HDC FHDC;
    TFont FFont;
    std::unique_ptr<TDCCanvas> FCanvas;
};
