#include "pictures/bitmap_canvas.h"

void TBitmapCanvas::CreateHandle() { SetHandle(gdi::CreateCompatibleDC()); }

gdi::HDC TBitmapCanvas::Handle() {
    FBitmap.Changing();
    const gdi::HDC dc = TCanvas::Handle();
    const gdi::HBITMAP& current = FBitmap.Image().FHandle;
    if (gdi::GetCurrentBitmap(dc) != current) gdi::SelectObject(dc, current);
    return dc;
}

void TBitmapCanvas::Deselect() {
    if (CurrentHandle()) gdi::SelectObject(CurrentHandle(), nullptr);
}
