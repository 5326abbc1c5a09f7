#pragma once
// The global operator new of this test program: while armed, every 32nd
// allocation throws std::bad_alloc, the first failure after `phase` further
// allocations, so that 32 runs with phases 0 to 31 fail every allocation of
// a deterministic piece of work once.

#include <cstdint>

namespace failing_allocator {

constexpr int Period = 32;

void Arm(int phase);
void Disarm();
// Allocations refused since the last Arm.
int64_t Refused();

}  // namespace failing_allocator
