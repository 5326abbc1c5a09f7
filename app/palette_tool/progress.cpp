#include "app/palette_tool/progress.h"

#include <cstdio>

namespace {

constexpr auto ShowAfter = std::chrono::milliseconds(500);
constexpr auto UpdateEvery = std::chrono::milliseconds(200);

}  // namespace

TProgressReporter::TProgressReporter(bool enabled) : FEnabled(enabled) {
    if (FEnabled) FWatcher = std::thread([this] { Watch(); });
}

TProgressReporter::~TProgressReporter() {
    if (!FEnabled) return;
    End();
    {
        std::lock_guard lock(FMutex);
        FStopping = true;
    }
    FWake.notify_one();
    FWatcher.join();
}

void TProgressReporter::Begin(const char* phase) {
    if (!FEnabled) return;
    std::lock_guard lock(FMutex);
    if (FShown) ShowLocked(true);
    FPhase = phase;
    FStart = TClock::now();
    FShown = false;
}

void TProgressReporter::End() {
    if (!FEnabled) return;
    std::lock_guard lock(FMutex);
    if (FShown) ShowLocked(true);
    FPhase.clear();
    FShown = false;
}

void TProgressReporter::ShowLocked(bool finished) {
    const double seconds = std::chrono::duration<double>(TClock::now() - FStart).count();
    if (finished)
        std::fprintf(stderr, "\r%s... done (%.1f s)\033[K\n", FPhase.c_str(), seconds);
    else
        std::fprintf(stderr, "\r%s... %.1f s\033[K", FPhase.c_str(), seconds);
    std::fflush(stderr);
}

void TProgressReporter::Watch() {
    std::unique_lock lock(FMutex);
    while (!FStopping) {
        FWake.wait_for(lock, UpdateEvery);
        if (FStopping || FPhase.empty() || TClock::now() - FStart < ShowAfter) continue;
        ShowLocked(false);
        FShown = true;
    }
}
