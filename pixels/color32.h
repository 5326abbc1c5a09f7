#pragma once
// The 32-bit colour every pixel surface stores: $AARRGGBB, so that in memory
// a pixel reads blue, green, red, alpha.

#include <cstdint>
#include <vector>

#include "pictures/graphic.h"

using TColor32 = uint32_t;
using PColor32Array = TColor32*;
using TArrayOfColor32 = std::vector<TColor32>;

constexpr TColor32 clBlack32 = 0xFF000000;        // opaque black: default fill of Clear
constexpr TColor32 clWhite32 = 0xFFFFFFFF;        // opaque white
constexpr TColor32 clTransparent32 = 0x00000000;  // a freshly sized store, the default outer colour

constexpr uint8_t AlphaComponent(TColor32 color) { return static_cast<uint8_t>(color >> 24); }
constexpr uint8_t RedComponent(TColor32 color) { return (color >> 16) & 0xFF; }
constexpr uint8_t GreenComponent(TColor32 color) { return (color >> 8) & 0xFF; }
constexpr uint8_t BlueComponent(TColor32 color) { return color & 0xFF; }

// A platform colour (red in the low byte; negative values name system
// colours) as an opaque TColor32. The top byte of a positive value is dropped.
TColor32 Color32(TColor winColor);
