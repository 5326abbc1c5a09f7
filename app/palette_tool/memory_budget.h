#pragma once
// Bytes that parallel pictures may hold at once. A picture reserves its
// estimate before it is decoded and waits while the others hold too much; a
// single picture larger than the whole budget takes all of it and runs alone.

#include <condition_variable>
#include <cstdint>
#include <mutex>

class TMemoryBudget {
public:
    explicit TMemoryBudget(uint64_t totalBytes) : FTotal(totalBytes), FFree(totalBytes) {}

    // Returns the amount actually reserved, to be given back to Release.
    uint64_t Reserve(uint64_t bytes);
    void Release(uint64_t bytes);
    uint64_t Total() const { return FTotal; }

    // Half of the machine's physical memory.
    static uint64_t HalfOfMemory();

private:
    std::mutex FMutex;
    std::condition_variable FReleased;
    uint64_t FTotal;
    uint64_t FFree;
};

class TMemoryReservation {
public:
    TMemoryReservation(TMemoryBudget& budget, uint64_t bytes) : FBudget(budget), FBytes(budget.Reserve(bytes)) {}
    ~TMemoryReservation() { FBudget.Release(FBytes); }
    TMemoryReservation(const TMemoryReservation&) = delete;
    TMemoryReservation& operator=(const TMemoryReservation&) = delete;

private:
    TMemoryBudget& FBudget;
    uint64_t FBytes;
};
