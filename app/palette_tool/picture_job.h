#pragma once
// One picture's whole road in the palette tool: decode, count, order, write
// every chosen file. Failures never escape: they come back in the result with
// the path of the file that was being read or written.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/core/phases.h"
#include "app/palette_tool/command_line.h"

struct TPictureRequest {
    std::string Picture;
    std::string Folder;         // where the files go; empty: the current directory
    bool CreateFolder = false;  // made (if missing) just before the first file
    TOutputSelection Outputs;
    TPaletteOrder Order = TPaletteOrder::Luminosity;
    TPhaseObserver OnPhase;
    // Called with the distinct-colour count as soon as it is known.
    std::function<void(int64_t)> OnCounted;
};

struct TFailure {
    std::string Path;     // the file being read or written
    std::string Message;  // as the error report shows it; empty: a silent abort
};

struct TPictureResult {
    std::string Picture;
    int Width = 0;
    int Height = 0;
    int64_t Distinct = -1;             // -1: not counted
    std::vector<std::string> Written;  // absolute paths, in the order written
    std::vector<TFailure> Failures;    // empty: the picture succeeded
    double Seconds = 0;
    bool Succeeded() const { return Failures.empty(); }
};

TPictureResult RunPicture(const TPictureRequest& request);

// The message of the exception being handled, as the error report shows it;
// empty for a silent abort. Call only inside a catch block.
std::string CurrentExceptionMessage();
