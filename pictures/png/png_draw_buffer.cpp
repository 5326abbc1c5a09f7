#include "pictures/png/png_draw_buffer.h"

#include "pictures/png/png_errors.h"

TPngDrawBuffer::TPngDrawBuffer(const gdi::HDC& target, const TRect& rect)
    : FTarget(target), FRect(rect), FWidth(rect.Width()), FHeight(rect.Height()) {
    gdi::BitmapInfo info;
    info.Header.biWidth = FWidth;
    info.Header.biHeight = -FHeight;
    info.Header.biBitCount = 32;
    info.Header.biCompression = gdi::BI_RGB;
    void* bits = nullptr;
    FBitmap = gdi::CreateDIBSection(info, &bits);
    FDC = gdi::CreateCompatibleDC();
    if (!FBitmap || !bits || !FDC) throw EPNGOutMemory(png_messages::OutMemory);
    FBits = static_cast<uint8_t*>(bits);
    gdi::SelectObject(FDC, FBitmap);
    gdi::BitBlt(FDC, 0, 0, FWidth, FHeight, FTarget, FRect.Left, FRect.Top, gdi::SRCCOPY);
}

void TPngDrawBuffer::CopyBack() {
    gdi::BitBlt(FTarget, FRect.Left, FRect.Top, FWidth, FHeight, FDC, 0, 0, gdi::SRCCOPY);
}
