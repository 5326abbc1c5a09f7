#include "pixels/color32.h"

TColor32 Color32(TColor winColor) {
    uint32_t value = static_cast<uint32_t>(winColor);
    if (winColor < 0) value = gdi::GetSysColor(static_cast<int>(value & 0xFF));
    const uint32_t red = value & 0xFF;
    const uint32_t green = (value >> 8) & 0xFF;
    const uint32_t blue = (value >> 16) & 0xFF;
    return 0xFF000000u | (red << 16) | (green << 8) | blue;
}
