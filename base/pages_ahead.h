#pragma once
// Pages of a large buffer made ready on the other core while this one works.
// The first write to each page of fresh memory makes the system find and
// clear a page for it, a cost the writer otherwise pays page by page. A
// TPagesAhead has the system supply the pages of [start, start + size)
// ahead of the writer, in the order the writer goes, without touching their
// content: what is written meanwhile stays as written. Advice only: where
// the system or a thread is lacking, nothing happens.

#include <atomic>
#include <cstddef>
#include <memory>
#include <thread>

class TPagesAhead {
public:
    enum class TOrder { Forward, Backward };
    // Buffers smaller than this are left to the writer.
    static constexpr size_t WorthFrom = size_t{8} << 20;

    TPagesAhead() = default;
    TPagesAhead(void* start, size_t size, TOrder order);
    // Stops at the next step and waits: the buffer must outlive this object.
    ~TPagesAhead();
    TPagesAhead(TPagesAhead&&) noexcept = default;
    TPagesAhead& operator=(TPagesAhead&& other) noexcept;
    TPagesAhead(const TPagesAhead&) = delete;
    TPagesAhead& operator=(const TPagesAhead&) = delete;

private:
    void Stop();

    std::unique_ptr<std::atomic<bool>> FStopping;
    std::thread FWorker;
};
