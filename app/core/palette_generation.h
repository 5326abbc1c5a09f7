#pragma once
// The road of a palette without its window: the sample of the loaded picture,
// the pairs ordered by luminosity, LuminosityValues.txt and Palette.bmp.

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "analysis/luminosity.h"
#include "app/core/file_revealer.h"
#include "app/core/phases.h"
#include "pixels/bitmap32.h"

inline constexpr const char* PaletteSavedMessage =
    "Palette.bmp and LuminosityValues.txt saved!\r\n"
    "Note: Not all softwares are able to open this large palette image, use Irfanview or call it "
    "'User[1,2,3].bmp' for Skyvolt";

struct TPaletteFiles {
    std::string LuminosityValuesPath;  // absolute
    std::string PalettePath;           // absolute
};

// Replaces `sample` by the sample of bmp32 and returns its pairs, brightest
// first. Nothing (and no change) when bmp32 is empty: the caller shows
// InvalidOriginalImageMessage.
std::optional<TPixelData> PreparePalette(const TBitmap32& bmp32, std::unique_ptr<TBitmap32>& sample,
                                         const TPhaseObserver& onPhase = {});

// Writes LuminosityValues.txt and Palette.bmp into directory (empty: the
// current directory), holding the folder's lock (TFolderLock) throughout so
// that the pair always comes from one run. The palette is made and written
// beside the text but takes its place only after the text has taken its own.
// A failure of the text file raises EInOutError and leaves both files as
// they were; a failure of the palette file leaves the new text file in place.
TPaletteFiles WritePaletteFiles(TPixelData pixelData, const std::string& directory, const TPhaseObserver& onPhase = {});

// The window's whole road: prepare, write into directory, show
// PaletteSavedMessage, reveal the palette file that was written. Without a
// picture it shows InvalidOriginalImageMessage and returns nothing.
std::optional<TPaletteFiles> GeneratePalette(const TBitmap32& bmp32, std::unique_ptr<TBitmap32>& sample,
                                             const std::string& directory,
                                             const std::function<void(const std::string&)>& showMessage,
                                             IFileRevealer& revealer);
