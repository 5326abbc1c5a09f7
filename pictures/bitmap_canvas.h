#pragma once
// The canvas of a TBitmap: a memory device context that holds the bitmap's
// current image. Asking for its device context makes the image the bitmap's
// own first (copy on write), since whoever asks may draw on it.

#include "pictures/bitmap.h"
#include "pictures/canvas.h"

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap& bitmap) : FBitmap(bitmap) {}
    TRect ClipRect() const override { return Rect(0, 0, FBitmap.Width(), FBitmap.Height()); }
    gdi::HDC Handle() override;
    // Lets go of the selected image (after the bitmap's image was replaced).
    void Deselect();

protected:
    void CreateHandle() override;

private:
    TBitmap& FBitmap;
};
