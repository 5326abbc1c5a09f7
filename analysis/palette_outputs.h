#pragma once
// The two palette files: LuminosityValues.txt, one line per entry of the
// ordered pairs ("Index %d: %.2f RGB(%d,%d,%d)", CR LF after each), and
// Palette.bmp, three pixels wide with one row per entry. Both list the
// entries in the order of the pairs.

#include <string>
#include <string_view>

#include "analysis/luminosity.h"
#include "pixels/bitmap32.h"

inline constexpr const char* LuminosityValuesFileName = "LuminosityValues.txt";
inline constexpr const char* PaletteFileName = "Palette.bmp";

// The decimal separator of the user's locale (LC_NUMERIC from the
// environment), in that locale's character set; "." when it cannot be read.
std::string UserDecimalSeparator();

// Writes the text file safely (see TTextFileWriter). Failures raise
// EInOutError with the message of the system error code.
void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName, std::string_view decimalSeparator);
void WriteLuminosityValues(const TPixelData& pixelData, const std::string& fileName);

// Sizes palette to 3 × the number of entries; row i holds entry i's colour,
// alpha included, in all three pixels.
void FillPaletteBitmap(const TPixelData& pixelData, TCustomBitmap32& palette);
// The BMP file that palette, so filled, saves as Palette.bmp, at the
// stream's position, without the bitmap: its rows are made as they are
// written.
void WritePaletteBitmap(const TPixelData& pixelData, TStream& stream);
