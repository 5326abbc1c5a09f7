#pragma once
// Our software graphics layer: device-independent bitmaps (DIBs) of 1 to 32
// bits per pixel, device-dependent bitmaps (DDBs; ours are 32-bit, so every
// colour stays exact), memory device contexts with a selected bitmap, palette,
// pen, brush, current position and stretch mode, and the block transfers the
// picture classes use. It knows nothing of picture file formats.
//
// Failures are reported the way the callers expect from a platform graphics
// interface: a null handle or a false/zero result, with the reason left in
// GetLastError(). Callers turn that into their own exceptions.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gdi {

// ---- Limits -------------------------------------------------------------
// One place holds the pixel limit that every decoder meets: no bitmap of
// more than 2^28 pixels, and no pixel block above 1 GiB. A bitmap above it is
// refused like any bitmap the system cannot hold (ERROR_NOT_ENOUGH_MEMORY).
constexpr int FullPixelLimitLog2 = 28;
int64_t MaxPixels();      // 2^28, unless a fuzzing harness lowered it
int64_t MaxPixelBytes();  // MaxPixels() × 4

// For fuzzing harnesses only, set before any picture is read. A few bytes
// may legally declare a picture at the limit, whose pixels must then exist:
// under a fuzzer's instrumentation that costs seconds, so the harnesses of
// the whole picture road lower the limit. The harness of the headers keeps
// the full limit (the arithmetic near it is what it exercises) and instead
// sets an allocation ceiling: bitmaps above it are refused as out of memory
// while every limit check still compares against MaxPixels(). 0: no ceiling.
void SetPixelLimitLog2(int log2);
void SetAllocationCeiling(int64_t pixels);
// What every allocation of pixels asks (the layer's bitmaps, the readers'
// own planes and frames): within the limit and under the ceiling.
bool MayAllocatePixels(int64_t width, int64_t height, int bitCount);

// The bit counts a DIB may have: 1, 4, 8, 16, 24 and 32.
bool IsDibBitCount(int64_t bitCount);
// Row bytes of a DIB row: padded to a multiple of 4. Returns -1 when width or
// bit count is out of range (checked in 64 bits, never overflows). The one
// row rule of the layer and of every reader.
int64_t DibRowBytes(int64_t width, int bitCount);
// True when a width × height bitmap of bitCount bits is within the limits.
bool WithinPixelLimit(int64_t width, int64_t height, int bitCount);

// ---- Errors -------------------------------------------------------------
constexpr int ERROR_SUCCESS = 0;
constexpr int ERROR_INVALID_HANDLE = 6;
constexpr int ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr int ERROR_INVALID_PARAMETER = 87;
constexpr int ERROR_INVALID_BITMAP = 1400;

int GetLastError();
void SetLastError(int code);
// The system's text for an error code ("" for 0), e.g. 8: "Not enough memory
// resources are available to process this command."
std::string SystemErrorText(int code);

// ---- Descriptions ---------------------------------------------------------
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t BI_RLE8 = 1;
constexpr uint32_t BI_RLE4 = 2;
constexpr uint32_t BI_BITFIELDS = 3;

// Information header sizes: the 40-byte header is the least a description
// needs; the version-5 header (124 bytes) is the longest whose fields mean
// something, and anything declared beyond it is not read.
constexpr uint32_t SmallestInfoHeader = 40;
constexpr uint32_t LargestInfoHeader = 124;

#pragma pack(push, 1)
struct BITMAPINFOHEADER {
    uint32_t biSize = 40;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // negative: rows run top-down
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 0;
    uint32_t biCompression = BI_RGB;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
struct RGBQUAD {
    uint8_t rgbBlue = 0;
    uint8_t rgbGreen = 0;
    uint8_t rgbRed = 0;
    uint8_t rgbReserved = 0;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPINFOHEADER) == 40);
static_assert(sizeof(RGBQUAD) == 4);

// A header with its colour masks (for BI_BITFIELDS: red, green, blue) and its
// colour table (for 8 or fewer bits per pixel).
struct BitmapInfo {
    BITMAPINFOHEADER Header;
    uint32_t Masks[3] = {0, 0, 0};
    std::vector<RGBQUAD> Colors;
};

// The platform's DIBSECTION: what a DIB handle describes.
struct DibSection {
    int32_t Width = 0;
    int32_t Height = 0;  // absolute value
    int32_t WidthBytes = 0;
    uint16_t Planes = 1;
    uint16_t BitsPixel = 0;
    void* Bits = nullptr;
    BITMAPINFOHEADER Header;  // as created, biHeight with its sign
    uint32_t Masks[3] = {0, 0, 0};
};

// ---- Objects ------------------------------------------------------------
class Palette;
class Bitmap;
class DeviceContext;
using HPALETTE = std::shared_ptr<Palette>;
using HBITMAP = std::shared_ptr<Bitmap>;
using HDC = std::shared_ptr<DeviceContext>;

// COLORREF: red in the low byte, green next, blue in the third.
using COLORREF = uint32_t;
constexpr COLORREF RGB(uint8_t r, uint8_t g, uint8_t b) { return r | (g << 8) | (uint32_t(b) << 16); }
constexpr uint8_t GetRValue(COLORREF c) { return c & 0xFF; }
constexpr uint8_t GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
constexpr uint8_t GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }
// What colour queries answer for a point outside the bitmap or a bad handle.
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

// Palettes of up to 256 entries (PALETTEENTRY: red, green, blue, flags).
struct PALETTEENTRY {
    uint8_t peRed = 0;
    uint8_t peGreen = 0;
    uint8_t peBlue = 0;
    uint8_t peFlags = 0;
};
HPALETTE CreatePalette(const std::vector<PALETTEENTRY>& entries);
HPALETTE CreateHalftonePalette();
HPALETTE SystemPalette16();  // the 16-colour system palette
std::vector<PALETTEENTRY> GetPaletteEntries(const HPALETTE& palette);

// A DIB section: zero-filled pixels of the described format. Returns null and
// sets the last error when the description is invalid or above the limit.
// *bits receives the pixel block's address. Accepted: header sizes 40 to 124,
// planes 1, width > 0, height != 0, 1/4/8/24 bits BI_RGB, 16/32 bits BI_RGB or
// BI_BITFIELDS with contiguous, non-overlapping masks. For 8 or fewer bits the
// colour table is info.Colors (at most biClrUsed entries when that is set);
// an index beyond the table reads as black.
HBITMAP CreateDIBSection(const BitmapInfo& info, void** bits);
// A device-dependent (32-bit) bitmap initialised from a described pixel block;
// BI_RLE8 and BI_RLE4 are expanded (end of line, end of bitmap, delta; pixels
// skipped by a delta or an early end get colour index 0). `bitsSize` bounds
// the reads from `bits`. Null and the last error on failure.
// Damaged run-length data never reads past `bitsSize` nor writes outside the
// bitmap: pixels of a run beyond its row's end are dropped, a delta or end of
// line that leaves the bitmap ends the expansion, and so does the end of the
// data; what was expanded until then stays. Uncompressed pixels: only whole
// rows within `bitsSize` are taken, the others stay zero.
HBITMAP CreateDIBitmap(const BitmapInfo& info, const void* bits, size_t bitsSize);
// A monochrome (planes 1, bitCount 1) or screen-format bitmap, zero-filled.
HBITMAP CreateBitmap(int width, int height, int planes, int bitCount);
HBITMAP CreateCompatibleBitmap(const HDC& dc, int width, int height);

// Facts about a bitmap handle.
bool IsDib(const HBITMAP& bitmap);
// False for a DDB, whose Width, Height, WidthBytes and BitsPixel are filled
// all the same (Bits null, Header.biSize 0: no header).
bool GetDibSection(const HBITMAP& bitmap, DibSection& section);
int BitmapWidth(const HBITMAP& bitmap);
int BitmapHeight(const HBITMAP& bitmap);
int BitmapBitCount(const HBITMAP& bitmap);  // 1 for a monochrome DDB, 32 for others
// The DIB's colour table (empty for more than 8 bits per pixel).
std::vector<RGBQUAD> GetDIBColorTable(const HBITMAP& bitmap);
void SetDIBColorTable(const HBITMAP& bitmap, const std::vector<RGBQUAD>& colors);

// ---- Device contexts ------------------------------------------------------
constexpr int BITSPIXEL = 12;
constexpr int COLORONCOLOR = 3;
constexpr int HALFTONE = 4;
constexpr uint32_t SRCCOPY = 0x00CC0020;
constexpr uint32_t WHITENESS = 0x00FF0062;
constexpr uint32_t BLACKNESS = 0x00000042;
constexpr uint32_t PATCOPY = 0x00F00021;
constexpr uint32_t MASKBLT_TRANSPARENT = 0xCCAA0029;  // mask bit set: keep the destination

enum class PenStyle { Solid, Clear };
enum class BrushStyle { Solid, Clear };
struct Pen {
    COLORREF Color = 0;
    int Width = 1;
    PenStyle Style = PenStyle::Solid;
};
struct Brush {
    COLORREF Color = 0xFFFFFF;
    BrushStyle Style = BrushStyle::Solid;
};
struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct POINT {
    int32_t x = 0, y = 0;
};

// A memory device context, compatible with the 32-bit "screen". Draws into
// the selected bitmap; with none selected it draws nowhere.
HDC CreateCompatibleDC();
// Selects a bitmap; returns the previous one (null when none).
HBITMAP SelectObject(const HDC& dc, const HBITMAP& bitmap);
HBITMAP GetCurrentBitmap(const HDC& dc);
HPALETTE SelectPalette(const HDC& dc, const HPALETTE& palette);
int RealizePalette(const HDC& dc);
int GetDeviceCaps(const HDC& dc, int index);     // BITSPIXEL: bits of the selected bitmap (32 for the screen)
int SetStretchBltMode(const HDC& dc, int mode);  // returns the previous mode
void SetPen(const HDC& dc, const Pen& pen);
void SetBrush(const HDC& dc, const Brush& brush);
COLORREF SetBkColor(const HDC& dc, COLORREF color);
COLORREF SetTextColor(const HDC& dc, COLORREF color);
bool MoveToEx(const HDC& dc, int x, int y, POINT* previous);
// Draws with the pen from the current position to (x, y), the end point not drawn.
bool LineTo(const HDC& dc, int x, int y);
// Fills left <= x < right, top <= y < bottom with the brush colour (fourth
// byte of 32-bit pixels 0).
bool FillRect(const HDC& dc, const RECT& rect, const Brush& brush);
// WHITENESS sets every bit (32-bit pixels become $FFFFFFFF; indexed ones the
// entry nearest white), BLACKNESS clears them, PATCOPY ($F00021) uses the brush.
bool PatBlt(const HDC& dc, int x, int y, int width, int height, uint32_t rop);
// The colour of one pixel of the selected bitmap; CLR_INVALID outside it.
COLORREF GetPixel(const HDC& dc, int x, int y);
// Sets one pixel (indexed: nearest entry); returns the colour set or CLR_INVALID.
COLORREF SetPixel(const HDC& dc, int x, int y, COLORREF color);

// Copies at equal size are exact: an indexed source goes through its colour
// table; an indexed destination gets the nearest colour's index (the exact
// one when present); a 32-bit destination gets all four bytes of a 32-bit
// source and a fourth byte of 0 from any other source. Unequal sizes sample
// the nearest pixel; a negative width or height mirrors. Everything is
// clipped to both bitmaps. Raster operations: SRCCOPY, and WHITENESS or
// BLACKNESS, which need no source.
// A monochrome DDB meets colour the platform's way: copied onto colour its 0
// bits take the destination context's text colour and its 1 bits the
// background colour (black and white by default); a colour source copied
// into a monochrome DDB gives 1 where the pixel equals the source context's
// background colour and 0 elsewhere (how transparency masks are made).
bool BitBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, uint32_t rop);
bool StretchBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, int sw, int sh,
                uint32_t rop);
// Copies from a described pixel block; returns the number of rows drawn.
// Source coordinates count from the picture's top-left corner whatever the
// block's row order.
int StretchDIBits(const HDC& dst, int x, int y, int width, int height, int sx, int sy, int sw, int sh, const void* bits,
                  const BitmapInfo& info, uint32_t rop);
// Where the mask bit is set (mask colour white / 1) the destination stays;
// elsewhere the source is copied. The mask is a monochrome bitmap (or a
// 1-bit DIB, its raw bits). Equal size only; rop MASKBLT_TRANSPARENT, or any
// rop with a null mask (a BitBlt with the rop's low 24 bits).
bool MaskBlt(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, const HBITMAP& mask,
             int mx, int my, uint32_t rop);
// Per channel (blue, green, red, alpha): dst = src + dst × (255 − src alpha) / 255,
// the source taken as premultiplied 32-bit pixels (rounded to nearest, at
// most 255; onto zeros the result is the source exactly). False when the
// source is not a 32-bit BI_RGB bitmap.
bool AlphaBlend(const HDC& dst, int x, int y, int width, int height, const HDC& src, int sx, int sy, int sw, int sh);

// Reads rows [start, start + lines) of a bitmap into a described block
// (the description's height sign gives the order); returns the rows copied.
// As on the platform, scan lines count in the block's order (from the bottom
// for a bottom-up block) and the buffer holds just the `lines` rows asked
// for. An indexed block needs its colour table in info.Colors (the pixels
// get the nearest entries); `info` is not filled in.
int GetDIBits(const HBITMAP& bitmap, int start, int lines, void* bits, const BitmapInfo& info);
// Writes rows of a described block into a bitmap; returns the rows copied.
// Header sizes of 40 bytes and more are accepted.
int SetDIBits(const HBITMAP& bitmap, int start, int lines, const void* bits, const BitmapInfo& info);

// ---- System colours -------------------------------------------------------
constexpr int COLOR_WINDOW = 5;
constexpr int COLOR_WINDOWTEXT = 8;
constexpr int COLOR_BTNFACE = 15;
COLORREF GetSysColor(int index);

}  // namespace gdi
