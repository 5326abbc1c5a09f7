#include "app/palette_tool/batch.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <iostream>
#include <mutex>
#include <thread>

#include "analysis/distinct_colors.h"
#include "app/palette_tool/memory_budget.h"
#include "app/palette_tool/output_folders.h"
#include "app/palette_tool/picture_size_probe.h"
#include "app/palette_tool/progress.h"
#include "app/palette_tool/report.h"

namespace {

// The decoded picture, its 32-bit copy, the sample and the counts at 4 bytes
// a pixel each, and room for the decoder's own buffers.
constexpr uint64_t BytesPerPixel = 20;

TPictureRequest RequestFor(const TToolOptions& options, const std::string& picture, const std::string& folder) {
    TPictureRequest request;
    request.Picture = picture;
    request.Folder = folder;
    request.Outputs = options.Outputs;
    request.Order = options.Order;
    return request;
}

// A missing output folder would otherwise surface only as the first file's
// "Invalid filename".
bool CheckOutputDirectory(const std::string& directory) {
    if (directory.empty()) return true;
    struct stat status {};
    const int found = ::stat(directory.c_str(), &status);
    if (found == 0 && S_ISDIR(status.st_mode)) return true;
    const bool missing = found != 0 && (errno == ENOENT || errno == ENOTDIR);
    std::cerr << "tintwright-palette: " << directory << ": " << (missing ? "No such output folder." : "Not a folder.")
              << '\n';
    return false;
}

int RunOne(const TToolOptions& options) {
    TPictureRequest request = RequestFor(options, options.Pictures[0], options.OutputDirectory);
    TPictureResult result;
    {
        // Ends its last step as it goes, before anything else is printed.
        TProgressReporter progress(!options.JsonSummary && ::isatty(STDERR_FILENO) == 1);
        request.OnPhase = [&progress](const char* phase) { progress.Begin(phase); };
        if (!options.JsonSummary)
            request.OnCounted = [&progress](int64_t count) {
                progress.End();
                std::cout << DistinctColorsCaption(count) << std::endl;
            };
        result = RunPicture(request);
    }
    if (options.JsonSummary) {
        std::cout << JsonSummaryLine(result) << std::flush;
    } else {
        PrintWritten(result, std::cout);
        PrintFailures(result, std::cerr);
    }
    return result.Succeeded() ? 0 : 1;
}

class TBatch {
public:
    explicit TBatch(const TToolOptions& options)
        : FOptions(options),
          FFolders(PictureFolders(options.Pictures, options.OutputDirectory)),
          FBudget(TMemoryBudget::HalfOfMemory()) {}

    int Run() {
        unsigned jobs = FOptions.Jobs != 0 ? FOptions.Jobs : std::max(1u, std::thread::hardware_concurrency());
        jobs = std::min<unsigned>(jobs, static_cast<unsigned>(FOptions.Pictures.size()));
        std::vector<std::thread> workers;
        for (unsigned i = 0; i < jobs; ++i) workers.emplace_back([this] { Work(); });
        for (std::thread& worker : workers) worker.join();
        if (!FOptions.JsonSummary) std::cout << SummaryLine(FSucceeded, FOptions.Pictures.size()) << std::endl;
        return FSucceeded == FOptions.Pictures.size() ? 0 : 1;
    }

private:
    void Work() {
        for (size_t i = FNext++; i < FOptions.Pictures.size(); i = FNext++) {
            const std::string& picture = FOptions.Pictures[i];
            const auto size = ProbePictureSize(picture);
            // Unknown: the picture runs alone.
            const uint64_t estimate =
                size ? uint64_t(size->Width) * uint64_t(size->Height) * BytesPerPixel : FBudget.Total();
            TMemoryReservation reservation(FBudget, estimate);
            TPictureRequest request = RequestFor(FOptions, picture, FFolders[i]);
            request.CreateFolder = true;
            Report(RunPicture(request));
        }
    }

    void Report(const TPictureResult& result) {
        std::lock_guard lock(FOutput);
        if (result.Succeeded()) ++FSucceeded;
        if (FOptions.JsonSummary) {
            std::cout << JsonSummaryLine(result) << std::flush;
            return;
        }
        if (result.Distinct >= 0) std::cout << result.Picture << ": " << DistinctColorsCaption(result.Distinct) << '\n';
        PrintWritten(result, std::cout);
        PrintFailures(result, std::cerr);
    }

    const TToolOptions& FOptions;
    const std::vector<std::string> FFolders;
    TMemoryBudget FBudget;
    std::atomic<size_t> FNext{0};
    std::mutex FOutput;
    size_t FSucceeded = 0;
};

}  // namespace

int RunPictures(const TToolOptions& options) {
    if (!CheckOutputDirectory(options.OutputDirectory)) return 1;
    if (options.Pictures.size() == 1) return RunOne(options);
    return TBatch(options).Run();
}
