#pragma once
// A range of independent items worked through on this thread and one more.

#include <cstddef>
#include <future>
#include <system_error>
#include <thread>
#include <utility>

// Starts work() on another thread when one can be had; otherwise it runs
// here, when its result is asked for. Either way the future gives its result
// or its exception, and waits for it when destroyed unasked.
template <class Work>
auto OnOtherThread(Work work) -> std::future<decltype(work())> {
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error&) {
        return std::async(std::launch::deferred, std::move(work));
    }
}

// Runs work(first, last) over [0, count / 2) on this thread and over
// [count / 2, count) on a second one, or here as well when no thread can be
// had; returns when both halves are done. `work` must not throw: the halves
// are meant for plain loops over memory. Below `minimum` items everything
// runs here, where a thread would cost more than it saves.
template <class Work>
void OnTwoThreads(size_t count, size_t minimum, const Work& work) {
    if (count < minimum) {
        work(size_t{0}, count);
        return;
    }
    const size_t split = count / 2;
    std::thread other;
    try {
        other = std::thread([&work, split, count] { work(split, count); });
    } catch (const std::system_error&) {
        work(split, count);
    }
    work(size_t{0}, split);
    if (other.joinable()) other.join();
}
