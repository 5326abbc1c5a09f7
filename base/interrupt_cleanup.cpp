#include "base/interrupt_cleanup.h"

#include <unistd.h>
#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <mutex>

namespace {

constexpr int SlotCount = 32;
constexpr int CaughtSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr int CaughtSignalCount = sizeof CaughtSignals / sizeof CaughtSignals[0];

enum SlotState : int { Free, Filling, Ready };

// Plain fixed storage: the handler may run at any moment, so nothing here is
// allocated or freed, and a slot's path is only read once it is Ready.
struct TCleanupSlot {
    std::atomic<int> State{Free};
    char Path[PATH_MAX];
};

TCleanupSlot Slots[SlotCount];
struct sigaction PreviousActions[CaughtSignalCount];

void RemoveRegisteredFiles() {
    for (TCleanupSlot& slot : Slots)
        if (slot.State.load() == Ready) ::unlink(slot.Path);
}

void OnInterrupt(int signalNumber, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    RemoveRegisteredFiles();
    for (int i = 0; i < CaughtSignalCount; ++i) {
        if (CaughtSignals[i] != signalNumber) continue;
        const struct sigaction& previous = PreviousActions[i];
        if (previous.sa_flags & SA_SIGINFO) {
            previous.sa_sigaction(signalNumber, info, context);
        } else if (previous.sa_handler != SIG_DFL && previous.sa_handler != SIG_IGN) {
            previous.sa_handler(signalNumber);
        } else {
            // End the way the signal would have ended us, so that the parent
            // sees the signal and not an ordinary exit.
            ::sigaction(signalNumber, &previous, nullptr);
            ::raise(signalNumber);
        }
    }
    errno = savedErrno;
}

void InstallHandlers() {
    for (int i = 0; i < CaughtSignalCount; ++i) {
        struct sigaction current {};
        ::sigaction(CaughtSignals[i], nullptr, &current);
        // An ignored signal (a run under nohup) stays ignored: nothing ends.
        if (!(current.sa_flags & SA_SIGINFO) && current.sa_handler == SIG_IGN) continue;
        PreviousActions[i] = current;
        struct sigaction action {};
        action.sa_sigaction = OnInterrupt;
        action.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&action.sa_mask);
        for (int signalNumber : CaughtSignals) sigaddset(&action.sa_mask, signalNumber);
        ::sigaction(CaughtSignals[i], &action, nullptr);
    }
}

}  // namespace

int RegisterInterruptCleanup(const std::string& path) {
    static std::once_flag installed;
    std::call_once(installed, InstallHandlers);
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < SlotCount; ++i) {
        int expected = Free;
        if (!Slots[i].State.compare_exchange_strong(expected, Filling)) continue;
        std::memcpy(Slots[i].Path, path.c_str(), path.size() + 1);
        Slots[i].State.store(Ready);
        return i;
    }
    return -1;
}

void UnregisterInterruptCleanup(int slot) {
    if (slot >= 0 && slot < SlotCount) Slots[slot].State.store(Free);
}
