// tintwright-palette [--output-dir DIR] PICTURE
//
// The window's road without the window: the picture class chosen by the
// extension, decoded and converted, its distinct colours counted and printed,
// then LuminosityValues.txt and Palette.bmp written into DIR and their paths
// printed. A failure prints its message (with the error report's closing
// ".") on standard error and ends with status 1.

#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <new>

#include "analysis/distinct_colors.h"
#include "app/core/palette_generation.h"
#include "app/core/source_loading.h"
#include "app/palette_tool/command_line.h"
#include "app/palette_tool/progress.h"
#include "base/exception.h"

namespace {

int Fail(TProgressReporter& progress, const std::string& message) {
    progress.End();
    std::cerr << message << '\n';
    return 1;
}

int Run(const TToolOptions& options) {
    TProgressReporter progress(::isatty(STDERR_FILENO) == 1);
    const TPhaseObserver onPhase = [&progress](const char* phase) { progress.Begin(phase); };
    try {
        auto bmp32 = std::make_unique<TBitmap32>();
        {
            // The decoded platform bitmap is no longer needed once converted.
            TBitmap decodedBitmap;
            if (LoadSourcePicture(options.Picture, decodedBitmap, *bmp32, onPhase) == TLoadOutcome::EmptyPicture)
                return Fail(progress, EmptyPictureMessage);
        }
        progress.Begin("Counting");
        const std::optional<int64_t> count = CountDistinctColors(*bmp32);
        if (!count) return Fail(progress, InvalidBitmap32Message);
        progress.End();
        std::cout << DistinctColorsCaption(*count) << std::endl;

        std::unique_ptr<TBitmap32> sample;
        std::optional<TPixelData> pixelData = PreparePalette(*bmp32, sample, onPhase);
        if (!pixelData) return Fail(progress, InvalidOriginalImageMessage);
        // Only the pairs are needed from here on: a smaller peak of memory.
        bmp32.reset();
        sample.reset();
        const TPaletteFiles files = WritePaletteFiles(std::move(*pixelData), options.OutputDirectory, onPhase);
        progress.End();
        std::cout << files.LuminosityValuesPath << '\n' << files.PalettePath << std::endl;
        return 0;
    } catch (const EAbort&) {
        progress.End();  // a silent abort: nothing to say
        return 1;
    } catch (const Exception& error) {
        return Fail(progress, WithClosingPeriod(error.Message()));
    } catch (const std::bad_alloc&) {
        return Fail(progress, "Out of memory.");
    } catch (const std::exception& error) {
        return Fail(progress, WithClosingPeriod(error.what()));
    }
}

}  // namespace

int main(int argc, char** argv) {
    const TToolOptions options = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!options.Problem.empty()) {
        std::cerr << "tintwright-palette: " << options.Problem << '\n'
                  << "Try 'tintwright-palette --help' for more information.\n";
        return 2;
    }
    if (options.Help) {
        std::cout << UsageText;
        return 0;
    }
    if (options.Version) {
        std::cout << "tintwright-palette " << TW_VERSION << '\n';
        return 0;
    }
    return Run(options);
}
