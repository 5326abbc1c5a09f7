#pragma once
// Small helpers shared by the network tests.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "tests/support/raised_message.h"

using TTestClock = std::chrono::steady_clock;

inline long long MillisecondsSince(TTestClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(TTestClock::now() - start).count();
}

// A wait that no test should ever sit out: upper bounds on how long a step
// takes lie far below it, far above what the step needs on a busy machine.
inline constexpr int LongWait = 20000;
