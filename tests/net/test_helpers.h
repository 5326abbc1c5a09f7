#pragma once
// Small helpers shared by the network tests.

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using TTestClock = std::chrono::steady_clock;

inline long long MillisecondsSince(TTestClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(TTestClock::now() - start).count();
}

// The message of the TException that action raises; a test failure and an
// empty text when it raises none.
template <typename TException, typename TAction>
std::string MessageOf(TAction action) {
    try {
        action();
    } catch (const TException& error) {
        return error.what();
    }
    ADD_FAILURE() << "no exception was raised";
    return {};
}
