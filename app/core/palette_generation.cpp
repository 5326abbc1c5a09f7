#include "app/core/palette_generation.h"

#include <future>

#include "analysis/distinct_colors.h"
#include "analysis/palette_outputs.h"
#include "base/folder_lock.h"
#include "base/two_threads.h"
#include "base/stream.h"

namespace {

std::string PathIn(const std::string& directory, const char* fileName) {
    if (directory.empty()) return ExpandFileName(fileName);
    const bool separated = directory.back() == '/';
    return ExpandFileName(directory + (separated ? "" : "/") + fileName);
}

// Palette.bmp made and written into its temporary file, and flushed to disk,
// on the other core while the text file is written; Publish then puts it in
// place after the text. A failure on the way is raised by Publish, and a
// palette never published is removed with this object.
class TPaletteBeside {
public:
    TPaletteBeside(const TPixelData& pixelData, std::string path)
        : FPath(std::move(path)), FWritten(OnOtherThread([this, &pixelData] { Write(pixelData); })) {}
    void Publish() {
        FWritten.get();
        FFile->Commit();
    }

private:
    void Write(const TPixelData& pixelData) {
        FFile = std::make_unique<TAtomicFileWriter>(FPath);
        WritePaletteBitmap(pixelData, FFile->Stream());
        FFile->Flush();
    }

    std::string FPath;
    std::unique_ptr<TAtomicFileWriter> FFile;
    std::future<void> FWritten;  // last: waited for before the file goes
};

}  // namespace

std::optional<TPixelData> PreparePalette(const TBitmap32& bmp32, std::unique_ptr<TBitmap32>& sample,
                                         const TPhaseObserver& onPhase) {
    BeginPhase(onPhase, "Sampling");
    const std::optional<int64_t> colorCount = CreateSampleColorImage(bmp32, sample);
    if (!colorCount) return std::nullopt;
    TPixelData pixelData = CollectSamplePairs(*sample, static_cast<size_t>(*colorCount));
    BeginPhase(onPhase, "Sorting");
    SortByLuminosity(pixelData);
    return pixelData;
}

TPaletteFiles WritePaletteFiles(TPixelData pixelData, const std::string& directory, const TPhaseObserver& onPhase) {
    TPaletteFiles files{PathIn(directory, LuminosityValuesFileName), PathIn(directory, PaletteFileName)};
    // Two runs writing into one folder at once would otherwise leave a pair
    // from different runs.
    const TFolderLock lock(directory);
    BeginPhase(onPhase, "Writing LuminosityValues.txt");
    TPaletteBeside palette(pixelData, files.PalettePath);
    WriteLuminosityValues(pixelData, files.LuminosityValuesPath);

    BeginPhase(onPhase, "Writing Palette.bmp");
    palette.Publish();
    return files;
}

std::optional<TPaletteFiles> GeneratePalette(const TBitmap32& bmp32, std::unique_ptr<TBitmap32>& sample,
                                             const std::string& directory,
                                             const std::function<void(const std::string&)>& showMessage,
                                             IFileRevealer& revealer) {
    std::optional<TPixelData> pixelData = PreparePalette(bmp32, sample);
    if (!pixelData) {
        showMessage(InvalidOriginalImageMessage);
        return std::nullopt;
    }
    TPaletteFiles files = WritePaletteFiles(std::move(*pixelData), directory);
    showMessage(PaletteSavedMessage);
    revealer.Reveal(files.PalettePath);
    return files;
}
