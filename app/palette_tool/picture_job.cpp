#include "app/palette_tool/picture_job.h"

#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <new>

#include "analysis/distinct_colors.h"
#include "analysis/in_out_error.h"
#include "analysis/palette_lists.h"
#include "analysis/palette_outputs.h"
#include "app/core/palette_generation.h"
#include "app/core/source_loading.h"
#include "app/palette_tool/output_folders.h"
#include "base/exception.h"
#include "base/folder_lock.h"
#include "base/stream.h"

std::string CurrentExceptionMessage() {
    try {
        throw;
    } catch (const EAbort&) {
        return "";
    } catch (const Exception& error) {
        return WithClosingPeriod(error.Message());
    } catch (const std::bad_alloc&) {
        return "Out of memory.";
    } catch (const std::exception& error) {
        return WithClosingPeriod(error.what());
    }
}

namespace {

// A failure whose message is shown as it is, without the closing ".".
struct TPlainFailure {
    std::string Message;
};

// The work of one picture, with the path in hand whenever something fails.
class TPictureRun {
public:
    TPictureRun(const TPictureRequest& request, TPictureResult& result) : FRequest(request), FResult(result) {}
    void Run();
    const std::string& CurrentPath() const { return FCurrentPath; }

private:
    bool NeedsCounts() const;
    void Load();
    void Analyse();
    void PrepareFolder();
    void WritePair(TPixelData pairs);
    void WritePng(const TPixelData& pairs);
    void WriteSwatches();
    std::string Target(const std::string& name) {
        FCurrentPath = PathInFolder(FRequest.Folder, name);
        return FCurrentPath;
    }

    const TPictureRequest& FRequest;
    TPictureResult& FResult;
    std::string FCurrentPath;
    std::unique_ptr<TBitmap32> FPicture;
    std::unique_ptr<TColorCounts> FCounts;
    TPaletteLists FLists;
};

bool TPictureRun::NeedsCounts() const {
    if (FRequest.Order == TPaletteOrder::Count) return true;
    for (TSwatchFormat format : FRequest.Outputs.Swatches)
        if (SwatchFormatNeedsCounts(format)) return true;
    return false;
}

void TPictureRun::Load() {
    FCurrentPath = FRequest.Picture;
    FPicture = std::make_unique<TBitmap32>();
    if (LoadSourcePixels(FRequest.Picture, *FPicture, FRequest.OnPhase) == TLoadOutcome::EmptyPicture)
        throw TPlainFailure{EmptyPictureMessage};
    FResult.Width = FPicture->Width();
    FResult.Height = FPicture->Height();
}

void TPictureRun::Analyse() {
    BeginPhase(FRequest.OnPhase, "Counting");
    // The sample holds each colour once, so the pass that makes it counts
    // them too: one pass over the picture instead of two.
    std::unique_ptr<TBitmap32> sample;
    const std::optional<int64_t> count = CreateSampleColorImage(*FPicture, sample);
    if (!count) throw TPlainFailure{InvalidBitmap32Message};
    FResult.Distinct = *count;
    if (FRequest.OnCounted) FRequest.OnCounted(*count);

    BeginPhase(FRequest.OnPhase, "Sampling");
    const size_t pixels = size_t(FPicture->Width()) * size_t(FPicture->Height());
    if (NeedsCounts()) FCounts = std::make_unique<TColorCounts>(FPicture->Bits(), pixels, size_t(*count));
    // Only the sample is needed from here on: a smaller peak of memory.
    FPicture.reset();
    BeginPhase(FRequest.OnPhase, "Sorting");
    FLists =
        OrderedPaletteLists(*sample, size_t(*count), FRequest.Order, FCounts.get(), !FRequest.Outputs.Swatches.empty());
}

void TPictureRun::PrepareFolder() {
    if (!FRequest.CreateFolder) return;
    FCurrentPath = FRequest.Folder;
    if (::mkdir(FRequest.Folder.c_str(), 0777) == 0) return;
    struct stat status {};
    if (errno == EEXIST && ::stat(FRequest.Folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) return;
    RaiseInOutError(errno);
}

void TPictureRun::WritePair(TPixelData pairs) {
    const TOutputSelection& outputs = FRequest.Outputs;
    if (outputs.LuminosityValues && outputs.PaletteBitmap) {
        // The shared road writes the pair together; its phases say which
        // file is in hand.
        const std::string text = PathInFolder(FRequest.Folder, LuminosityValuesFileName);
        const std::string bitmap = PathInFolder(FRequest.Folder, PaletteFileName);
        const TPaletteFiles files = WritePaletteFiles(std::move(pairs), FRequest.Folder, [&](const char* phase) {
            FCurrentPath = std::string(phase).find(PaletteFileName) != std::string::npos ? bitmap : text;
            BeginPhase(FRequest.OnPhase, phase);
        });
        FResult.Written.push_back(files.LuminosityValuesPath);
        FResult.Written.push_back(files.PalettePath);
    } else if (outputs.LuminosityValues) {
        BeginPhase(FRequest.OnPhase, "Writing LuminosityValues.txt");
        WriteLuminosityValues(pairs, Target(LuminosityValuesFileName));
        FResult.Written.push_back(ExpandFileName(FCurrentPath));
    } else if (outputs.PaletteBitmap) {
        BeginPhase(FRequest.OnPhase, "Writing Palette.bmp");
        TBitmap32 palette;
        FillPaletteBitmap(pairs, palette);
        palette.SaveToFile(Target(PaletteFileName));
        FResult.Written.push_back(ExpandFileName(FCurrentPath));
    }
}

void TPictureRun::WritePng(const TPixelData& pairs) {
    BeginPhase(FRequest.OnPhase, "Writing Palette.png");
    TBitmap32 palette;
    FillPaletteBitmap(pairs, palette);
    palette.SaveToFile(Target("Palette.png"));
    FResult.Written.push_back(ExpandFileName(FCurrentPath));
}

void TPictureRun::WriteSwatches() {
    const TSwatchSource source{FRequest.Picture, FileNameOf(FRequest.Picture),
                               FResult.Width,    FResult.Height,
                               FResult.Distinct, FRequest.Order};
    // One format that cannot be written does not keep the others from the user.
    for (TSwatchFormat format : FRequest.Outputs.Swatches) {
        const std::string name = std::string("Palette.") + SwatchFormatName(format);
        BeginPhase(FRequest.OnPhase, ("Writing " + name).c_str());
        try {
            WriteSwatchFile(format, FLists.Colors, source, FCounts.get(), Target(name));
            FResult.Written.push_back(ExpandFileName(FCurrentPath));
        } catch (...) {
            FResult.Failures.push_back({FCurrentPath, CurrentExceptionMessage()});
        }
    }
}

void TPictureRun::Run() {
    Load();
    Analyse();
    PrepareFolder();
    // Every file of the run comes from this run, whatever else writes into
    // the folder at the same time; the pair's own lock nests inside.
    const TFolderLock lock(FRequest.Folder);
    const TOutputSelection& outputs = FRequest.Outputs;
    if (outputs.PalettePng) {
        WritePair(FLists.Pairs);
        WritePng(FLists.Pairs);
    } else {
        WritePair(std::move(FLists.Pairs));
    }
    TPixelData().swap(FLists.Pairs);
    WriteSwatches();
}

}  // namespace

TPictureResult RunPicture(const TPictureRequest& request) {
    const auto start = std::chrono::steady_clock::now();
    TPictureResult result;
    result.Picture = request.Picture;
    TPictureRun run(request, result);
    try {
        run.Run();
    } catch (const TPlainFailure& failure) {
        result.Failures.push_back({run.CurrentPath(), failure.Message});
    } catch (...) {
        result.Failures.push_back({run.CurrentPath(), CurrentExceptionMessage()});
    }
    result.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
