#include "tests/hostile/allocation_failure/failing_allocator.h"

#include <cstdlib>
#include <new>

namespace {

bool Armed = false;
int64_t Countdown = 0;
int64_t RefusedCount = 0;

void* Allocate(size_t size) {
    if (Armed && --Countdown <= 0) {
        Countdown = failing_allocator::Period;
        ++RefusedCount;
        throw std::bad_alloc();
    }
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

}  // namespace

namespace failing_allocator {

void Arm(int phase) {
    Countdown = phase + 1;
    RefusedCount = 0;
    Armed = true;
}

void Disarm() { Armed = false; }

int64_t Refused() { return RefusedCount; }

}  // namespace failing_allocator

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept {
    try {
        return Allocate(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void* operator new[](size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, size_t) noexcept { std::free(block); }
void operator delete[](void* block, size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
