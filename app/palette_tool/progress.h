#pragma once
// Progress on standard error for steps that take a while: once a step has run
// for half a second its name and running time are shown on one line, updated
// in place, and closed with its total when the next step begins.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

class TProgressReporter {
public:
    // Shows nothing at all unless enabled (standard error is a terminal).
    explicit TProgressReporter(bool enabled);
    ~TProgressReporter();
    TProgressReporter(const TProgressReporter&) = delete;
    TProgressReporter& operator=(const TProgressReporter&) = delete;

    // Ends the current step, if any, and begins the named one.
    void Begin(const char* phase);
    // Ends the current step.
    void End();

private:
    using TClock = std::chrono::steady_clock;
    void Watch();
    void ShowLocked(bool finished);

    bool FEnabled;
    std::mutex FMutex;
    std::condition_variable FWake;
    std::string FPhase;  // empty: no step running
    TClock::time_point FStart;
    bool FShown = false;
    bool FStopping = false;
    std::thread FWatcher;
};
