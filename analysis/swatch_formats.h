#pragma once
// Palettes that other programs open, written from the ordered pairs, one
// colour per entry in the pairs' order. Each file is written safely through
// TTextFileWriter (a failure leaves an existing file as it was) and raises
// EInOutError with the system error's message on failure.
//
//   gpl   text palette: "GIMP Palette", Name:, Columns:, "R G B<TAB>#rrggbb"
//         lines; no alpha
//   ase   swatch exchange 1.0: big-endian blocks, one RGB colour entry per
//         colour named "#rrggbb" (UTF-16), global colour type; no alpha
//   aco   colour swatches, version 1 then version 2 (with names) in one file;
//         at most 65,535 colours, no alpha
//   pal   "JASC-PAL", "0100", the count, "R G B" lines (CR LF)
//   hex   "rrggbb" per line, "rrggbbaa" when alpha is not 255
//   csv   index,hex,red,green,blue,alpha,luminosity,count
//   json  one object: source, size, distinct count, order and the colours

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "analysis/color_counts.h"
#include "analysis/luminosity.h"
#include "analysis/palette_order.h"

enum class TSwatchFormat { Gpl, Ase, Aco, Pal, Hex, Csv, Json };

std::optional<TSwatchFormat> SwatchFormatFromName(std::string_view name);
// The extension, also the name on the command line: "gpl", "ase", ...
const char* SwatchFormatName(TSwatchFormat format);
// csv and json list each colour's pixel count.
bool SwatchFormatNeedsCounts(TSwatchFormat format);

// What the files say about where the colours came from.
struct TSwatchSource {
    std::string Path;      // the picture as the user named it
    std::string FileName;  // its file name, without the folders
    int Width = 0;
    int Height = 0;
    int64_t Distinct = 0;
    TPaletteOrder Order = TPaletteOrder::Luminosity;
};

// The most colours an aco file holds: its counts are 16 bits wide.
inline constexpr size_t AcoMaxColors = 65535;

// Writes the file. counts must be given for the formats that need them. An
// aco palette of more than AcoMaxColors colours raises EConvertError before
// anything is written.
void WriteSwatchFile(TSwatchFormat format, const TPixelData& colors, const TSwatchSource& source,
                     const TColorCounts* counts, const std::string& fileName);

// Internal to the writers, one per file of the format family.
class TTextFileWriter;
void WriteGplSwatches(const TPixelData& colors, const TSwatchSource& source, TTextFileWriter& writer);
void WritePalSwatches(const TPixelData& colors, TTextFileWriter& writer);
void WriteHexSwatches(const TPixelData& colors, TTextFileWriter& writer);
void WriteCsvSwatches(const TPixelData& colors, const TColorCounts& counts, TTextFileWriter& writer);
void WriteJsonSwatches(const TPixelData& colors, const TSwatchSource& source, const TColorCounts& counts,
                       TTextFileWriter& writer);
void WriteAseSwatches(const TPixelData& colors, TTextFileWriter& writer);
void WriteAcoSwatches(const TPixelData& colors, TTextFileWriter& writer);
// Two lower-case hexadecimal digits per byte.
char* AppendHexByte(uint8_t byte, char* out);
