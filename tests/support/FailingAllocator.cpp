#include "support/FailingAllocator.h"

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <pthread.h>

// The allocator underneath: the C library's, or under AddressSanitizer its interceptors, which
// the sanitizer's own operator new and free pair with.
#if defined(__SANITIZE_ADDRESS__)
#define UNDERLYING(name) __interceptor_##name
#else
#define UNDERLYING(name) __libc_##name
#endif

extern "C" {
void* UNDERLYING(malloc)(size_t size);
void* UNDERLYING(calloc)(size_t count, size_t size);
void* UNDERLYING(realloc)(void* block, size_t size);
}

namespace {
// Only the thread that armed the fault counts: Qt's own threads allocate when they please.
int countdown = 0;
bool failed = false;
bool (*overCheck)() = nullptr;
pthread_t armedThread;

bool FailsNow() {
  if (countdown <= 0 || !pthread_equal(pthread_self(), armedThread)) return false;
  if (overCheck && overCheck()) {
    countdown = 0;
    return false;
  }
  if (--countdown > 0) return false;
  failed = true;
  errno = ENOMEM;
  return true;
}
}  // namespace

namespace testsupport {

void FailAllocation(int k, bool (*over)()) {
  armedThread = pthread_self();
  overCheck = over;
  failed = false;
  countdown = k;
}

bool AllocationFailed() {
  countdown = 0;
  return failed;
}

}  // namespace testsupport

extern "C" {
void* malloc(size_t size) { return FailsNow() ? nullptr : UNDERLYING(malloc)(size); }
void* calloc(size_t count, size_t size) { return FailsNow() ? nullptr : UNDERLYING(calloc)(count, size); }
void* realloc(void* block, size_t size) { return FailsNow() ? nullptr : UNDERLYING(realloc)(block, size); }
}

// Replaced as the language allows, so that every new goes through malloc above and every
// delete frees what it made, with AddressSanitizer's allocator as without it.
void* operator new(std::size_t size) {
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return std::malloc(size ? size : 1); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
