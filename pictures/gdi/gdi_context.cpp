// Memory device contexts: selection, drawing state, fills and lines.

#include <cstdlib>
#include <vector>

#include "pictures/gdi/gdi_rows.h"
#include "pictures/gdi/gdi_transfer.h"

namespace gdi {
namespace {

bool Fail(int error) {
    SetLastError(error);
    return false;
}

}  // namespace

HDC CreateCompatibleDC() { return std::make_shared<DeviceContext>(); }

HBITMAP SelectObject(const HDC& dc, const HBITMAP& bitmap) {
    if (!dc) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    HBITMAP previous = std::move(dc->Selected);
    dc->Selected = bitmap;
    return previous;
}

HBITMAP GetCurrentBitmap(const HDC& dc) { return dc ? dc->Selected : nullptr; }

HPALETTE SelectPalette(const HDC& dc, const HPALETTE& palette) {
    if (!dc) return nullptr;
    HPALETTE previous = std::move(dc->SelectedPalette);
    dc->SelectedPalette = palette;
    return previous;
}

int RealizePalette(const HDC& dc) {
    // Our contexts draw into memory in exact colours; realising maps nothing
    // and reports the entries that were taken in.
    if (!dc || !dc->SelectedPalette) return 0;
    return static_cast<int>(dc->SelectedPalette->Entries.size());
}

int GetDeviceCaps(const HDC& dc, int index) {
    if (index != BITSPIXEL) return 0;
    if (dc && dc->Selected) return dc->Selected->BitCount;
    return 32;
}

int SetStretchBltMode(const HDC& dc, int mode) {
    if (!dc || (mode != COLORONCOLOR && mode != HALFTONE)) return 0;
    const int previous = dc->StretchMode;
    dc->StretchMode = mode;
    return previous;
}

void SetPen(const HDC& dc, const Pen& pen) {
    if (dc) dc->CurrentPen = pen;
}

void SetBrush(const HDC& dc, const Brush& brush) {
    if (dc) dc->CurrentBrush = brush;
}

COLORREF SetBkColor(const HDC& dc, COLORREF color) {
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->BkColor;
    dc->BkColor = color & 0xFFFFFF;
    return previous;
}

COLORREF SetTextColor(const HDC& dc, COLORREF color) {
    if (!dc) return CLR_INVALID;
    const COLORREF previous = dc->TextColor;
    dc->TextColor = color & 0xFFFFFF;
    return previous;
}

bool MoveToEx(const HDC& dc, int x, int y, POINT* previous) {
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    if (previous != nullptr) *previous = dc->Position;
    dc->Position = POINT{x, y};
    return true;
}

bool LineTo(const HDC& dc, int x, int y) {
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    const POINT from = dc->Position;
    dc->Position = POINT{x, y};
    const Surface target = dc->Target();
    if (target.Empty() || dc->CurrentPen.Style == PenStyle::Clear) return true;
    RowWriter writer(target);
    uint32_t pixel = PackColor(dc->CurrentPen.Color);
    // Bresenham's walk from the start to the end point, which is not drawn.
    int64_t px = from.x, py = from.y;
    const int64_t dx = std::llabs(int64_t{x} - px), dy = -std::llabs(int64_t{y} - py);
    const int64_t stepX = px < x ? 1 : -1, stepY = py < y ? 1 : -1;
    int64_t error = dx + dy;
    while (px != x || py != y) {
        if (px >= 0 && py >= 0 && px < target.Width && py < target.Height)
            writer.Write(int32_t(py), int32_t(px), 1, &pixel);
        const int64_t twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            px += stepX;
        }
        if (twice <= dx) {
            error += dx;
            py += stepY;
        }
    }
    return true;
}

bool FillRect(const HDC& dc, const RECT& rect, const Brush& brush) {
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    if (brush.Style == BrushStyle::Clear) return true;
    FillArea(dc->Target(), Area{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top},
             PackColor(brush.Color));
    return true;
}

bool PatBlt(const HDC& dc, int x, int y, int width, int height, uint32_t rop) {
    if (!dc) return Fail(ERROR_INVALID_HANDLE);
    uint32_t pixel;
    switch (rop) {
    // WHITENESS sets every bit, the fourth byte of 32-bit pixels included.
    case WHITENESS: pixel = 0xFFFFFFFF; break;
    case BLACKNESS: pixel = 0; break;
    case PATCOPY:
        if (dc->CurrentBrush.Style == BrushStyle::Clear) return true;
        pixel = PackColor(dc->CurrentBrush.Color);
        break;
    default: return Fail(ERROR_INVALID_PARAMETER);
    }
    if (width < 0) {
        x += width;
        width = -width;
    }
    if (height < 0) {
        y += height;
        height = -height;
    }
    FillArea(dc->Target(), Area{x, y, width, height}, pixel);
    return true;
}

COLORREF GetPixel(const HDC& dc, int x, int y) {
    if (!dc) return CLR_INVALID;
    const Surface target = dc->Target();
    if (target.Empty() || x < 0 || y < 0 || x >= target.Width || y >= target.Height) return CLR_INVALID;
    uint32_t pixel;
    ReadPixels(target, y, x, 1, &pixel);
    return RGB(uint8_t(pixel >> 16), uint8_t(pixel >> 8), uint8_t(pixel));
}

COLORREF SetPixel(const HDC& dc, int x, int y, COLORREF color) {
    if (!dc) return CLR_INVALID;
    const Surface target = dc->Target();
    if (target.Empty() || x < 0 || y < 0 || x >= target.Width || y >= target.Height) return CLR_INVALID;
    uint32_t pixel = PackColor(color);
    RowWriter(target).Write(y, x, 1, &pixel);
    return GetPixel(dc, x, y);
}

}  // namespace gdi
