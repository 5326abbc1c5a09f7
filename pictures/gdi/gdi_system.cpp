// Limits, the last-error state and the system colours of the graphics layer.

#include <array>
#include <atomic>

#include "pictures/gdi/gdi.h"

namespace gdi {
namespace {
thread_local int tLastError = ERROR_SUCCESS;
std::atomic<int> PixelLimitLog2{FullPixelLimitLog2};
std::atomic<int64_t> AllocationCeiling{0};
}  // namespace

int64_t MaxPixels() { return int64_t{1} << PixelLimitLog2.load(std::memory_order_relaxed); }
int64_t MaxPixelBytes() { return MaxPixels() * 4; }
void SetPixelLimitLog2(int log2) {
    PixelLimitLog2 = log2 < 1 ? 1 : log2 > FullPixelLimitLog2 ? FullPixelLimitLog2 : log2;
}
void SetAllocationCeiling(int64_t pixels) { AllocationCeiling = pixels; }

bool MayAllocatePixels(int64_t width, int64_t height, int bitCount) {
    if (!WithinPixelLimit(width, height, bitCount)) return false;
    const int64_t ceiling = AllocationCeiling.load(std::memory_order_relaxed);
    // Both factors are within the limit now: the product cannot overflow.
    return ceiling <= 0 || width * height <= ceiling;
}

bool IsDibBitCount(int64_t bitCount) {
    switch (bitCount) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

int64_t DibRowBytes(int64_t width, int bitCount) {
    if (!IsDibBitCount(bitCount)) return -1;
    // The width of a DIB header is a 32-bit field; above that nothing is valid.
    if (width < 0 || width > INT32_MAX) return -1;
    return (width * bitCount + 31) / 32 * 4;
}

bool WithinPixelLimit(int64_t width, int64_t height, int bitCount) {
    const int64_t rowBytes = DibRowBytes(width, bitCount);
    if (rowBytes < 0 || height < 0 || height > INT32_MAX) return false;
    // Both factors are below 2^31, so neither product can overflow 64 bits.
    if (width * height > MaxPixels()) return false;
    return rowBytes * height <= MaxPixelBytes();
}

int GetLastError() { return tLastError; }
void SetLastError(int code) { tLastError = code; }

std::string SystemErrorText(int code) {
    switch (code) {
    case ERROR_SUCCESS: return "";
    case ERROR_INVALID_HANDLE: return "The handle is invalid.";
    case ERROR_NOT_ENOUGH_MEMORY: return "Not enough memory resources are available to process this command.";
    case ERROR_INVALID_PARAMETER: return "The parameter is incorrect.";
    case ERROR_INVALID_BITMAP: return "The bitmap is not valid.";
    default: return "";
    }
}

COLORREF GetSysColor(int index) {
    // A light desktop scheme: white windows, black text, light grey faces.
    static constexpr std::array<COLORREF, 31> colors = {
        RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
        RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
        RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
        RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
        RGB(0, 0, 0),       RGB(0, 102, 204),   RGB(185, 209, 234), RGB(215, 228, 242), RGB(0, 120, 215),
        RGB(240, 240, 240)};
    if (index < 0 || index >= static_cast<int>(colors.size())) return 0;
    return colors[index];
}

}  // namespace gdi
