#include "pictures/canvas.h"

TCanvas::TCanvas() = default;

void TCanvas::Changing() {
    if (OnChanging) OnChanging();
}

void TCanvas::Changed() {
    if (OnChanged) OnChanged();
}

gdi::HDC TCanvas::Handle() {
    if (!FHandle) CreateHandle();
    if (!FHandle) RaiseOutOfResources();
    return FHandle;
}

void TCanvas::RequireState() {
    const gdi::HDC dc = Handle();
    gdi::SetPen(dc, gdi::Pen{ColorToRGB(FPen.Color), FPen.Width,
                             FPen.Style == TPenStyle::psClear ? gdi::PenStyle::Clear : gdi::PenStyle::Solid});
    gdi::SetBrush(dc,
                  gdi::Brush{ColorToRGB(FBrush.Color),
                             FBrush.Style == TBrushStyle::bsClear ? gdi::BrushStyle::Clear : gdi::BrushStyle::Solid});
}

void TCanvas::MoveTo(int x, int y) { gdi::MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    Changing();
    RequireState();
    gdi::LineTo(Handle(), x, y);
    Changed();
}

void TCanvas::FillRect(const TRect& rect) {
    Changing();
    RequireState();
    const gdi::HDC dc = Handle();
    gdi::FillRect(dc, gdi::RECT{rect.Left, rect.Top, rect.Right, rect.Bottom},
                  gdi::Brush{ColorToRGB(FBrush.Color),
                             FBrush.Style == TBrushStyle::bsClear ? gdi::BrushStyle::Clear : gdi::BrushStyle::Solid});
    Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
    if (graphic == nullptr || graphic->Empty()) return;
    Changing();
    const gdi::HDC dc = Handle();
    gdi::SetBkColor(dc, ColorToRGB(FBrush.Color));
    gdi::SetTextColor(dc, ColorToRGB(FFont.Color));
    graphic->Draw(*this, Rect(x, y, x + graphic->Width(), y + graphic->Height()));
    Changed();
}

TRect TCanvas::ClipRect() const {
    const gdi::HBITMAP bitmap = gdi::GetCurrentBitmap(FHandle);
    return Rect(0, 0, gdi::BitmapWidth(bitmap), gdi::BitmapHeight(bitmap));
}
