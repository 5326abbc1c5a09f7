#pragma once
// Long steps announce themselves, so that a caller can show progress.

#include <functional>

// Called with the name of a step as it begins ("Decoding", "Counting", ...);
// the step ends when the next begins or the caller's work ends.
using TPhaseObserver = std::function<void(const char* phase)>;

inline void BeginPhase(const TPhaseObserver& observer, const char* phase) {
    if (observer) observer(phase);
}
