// The largest single allocation since a test started watching (sanitizer builds only).
#pragma once
#include <atomic>
#include <cstddef>

// Present in sanitizer builds: lets a test see every allocation.
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*)(const volatile void*, size_t),
                                                         void (*)(const volatile void*))
    __attribute__((weak));

namespace allocation_watch {
inline std::atomic<size_t> largest{0};
inline void Note(const volatile void*, size_t size) {
  size_t seen = largest.load();
  while (size > seen && !largest.compare_exchange_weak(seen, size)) {
  }
}
inline void NoteFree(const volatile void*) {}
}  // namespace allocation_watch

// Starts watching the largest allocation; false when the build cannot see allocations.
inline bool WatchAllocations() {
  static const bool installed =
      __sanitizer_install_malloc_and_free_hooks &&
      __sanitizer_install_malloc_and_free_hooks(allocation_watch::Note, allocation_watch::NoteFree) != 0;
  allocation_watch::largest = 0;
  return installed;
}
inline size_t LargestAllocation() { return allocation_watch::largest.load(); }
