#pragma once
// One allocation of the test's own thread made to fail, as memory that runs out would: a test
// linking FailingAllocator.cpp puts its malloc, calloc, realloc and operator new in front of
// the C library's (or, under AddressSanitizer, the sanitizer's), so Qt's allocations fail too.

namespace testsupport {

// The k-th allocation from now fails (k = 1: the next one), unless `over()` returns true by then:
// then no allocation fails. `over` runs inside the allocator and must not allocate.
void FailAllocation(int k, bool (*over)() = nullptr);
// Disarms; true when the chosen allocation failed.
bool AllocationFailed();

}  // namespace testsupport
