#include "app/palette_tool/memory_budget.h"

#include <unistd.h>
#include <algorithm>

uint64_t TMemoryBudget::Reserve(uint64_t bytes) {
    bytes = std::min(bytes, FTotal);
    std::unique_lock lock(FMutex);
    FReleased.wait(lock, [&] { return FFree >= bytes; });
    FFree -= bytes;
    return bytes;
}

void TMemoryBudget::Release(uint64_t bytes) {
    {
        std::lock_guard lock(FMutex);
        FFree += bytes;
    }
    FReleased.notify_all();
}

uint64_t TMemoryBudget::HalfOfMemory() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long pageSize = ::sysconf(_SC_PAGESIZE);
    // Unknown: assume a small machine rather than an unlimited one.
    if (pages <= 0 || pageSize <= 0) return uint64_t{1} << 30;
    return uint64_t(pages) * uint64_t(pageSize) / 2;
}
