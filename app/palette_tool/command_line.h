#pragma once
// The palette tool's command line:
//   tintwright-palette [--output-dir DIR] [--format LIST] [--sort ORDER]
//                      [--jobs N] [--json-summary] PICTURE...

#include <string>
#include <vector>

#include "analysis/palette_order.h"
#include "analysis/swatch_formats.h"

// The files a run writes for each picture.
struct TOutputSelection {
    bool LuminosityValues = true;         // LuminosityValues.txt
    bool PaletteBitmap = true;            // Palette.bmp
    bool PalettePng = false;              // Palette.png, the strip of Palette.bmp
    std::vector<TSwatchFormat> Swatches;  // in the order given, each once
};

struct TToolOptions {
    bool Help = false;
    bool Version = false;
    std::string OutputDirectory;  // empty: the current directory
    std::vector<std::string> Pictures;
    TOutputSelection Outputs;
    TPaletteOrder Order = TPaletteOrder::Luminosity;
    unsigned Jobs = 0;  // 0: one per core
    bool JsonSummary = false;
    std::string Problem;  // set when the command line is not usable
};

TToolOptions ParseCommandLine(const std::vector<std::string>& arguments);

// "bmp,txt,gpl" into a selection; an empty string on success, else the
// problem.
std::string ParseFormatList(const std::string& list, TOutputSelection& selection);

extern const char* const UsageText;
