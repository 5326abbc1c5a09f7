#include "base/pages_ahead.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <system_error>

namespace {

// One step: a huge page, so that a stop is noticed soon.
constexpr size_t Step = size_t{2} << 20;

void Populate(uint8_t* start, size_t size, TPagesAhead::TOrder order, const std::atomic<bool>& stopping) {
#ifdef MADV_POPULATE_WRITE
    const uintptr_t page = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
    // Whole pages inside the buffer only: the ones at its edges may be
    // shared with other memory, which is not ours to prepare.
    const uintptr_t first = (reinterpret_cast<uintptr_t>(start) + page - 1) / page * page;
    const uintptr_t last = (reinterpret_cast<uintptr_t>(start) + size) / page * page;
    for (uintptr_t done = 0; first + done < last && !stopping.load(std::memory_order_relaxed);) {
        const size_t length = std::min<uintptr_t>(Step, last - first - done);
        const uintptr_t at = order == TPagesAhead::TOrder::Forward ? first + done : last - done - length;
        if (::madvise(reinterpret_cast<void*>(at), length, MADV_POPULATE_WRITE) != 0) return;
        done += length;
    }
#else
    (void)start, (void)size, (void)order, (void)stopping;
#endif
}

}  // namespace

TPagesAhead::TPagesAhead(void* start, size_t size, TOrder order) {
    if (start == nullptr || size < WorthFrom) return;
    FStopping = std::make_unique<std::atomic<bool>>(false);
    try {
        FWorker = std::thread(Populate, static_cast<uint8_t*>(start), size, order, std::cref(*FStopping));
    } catch (const std::system_error&) {
        // The writer meets the pages itself.
    }
}

TPagesAhead::~TPagesAhead() { Stop(); }

TPagesAhead& TPagesAhead::operator=(TPagesAhead&& other) noexcept {
    Stop();
    FStopping = std::move(other.FStopping);
    FWorker = std::move(other.FWorker);
    return *this;
}

void TPagesAhead::Stop() {
    if (!FWorker.joinable()) return;
    FStopping->store(true, std::memory_order_relaxed);
    FWorker.join();
}
