// Memory for large tables (a history of a million changes, the points of
// two large coordinate files). Such tables are filled once, front to back;
// the operating system is asked to back them with large pages where it
// can (Linux: transparent huge pages), which makes touching fresh memory
// many times cheaper than page by small page. Where it cannot, they are
// ordinary memory.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace pelikon {

// At least `bytes` bytes, aligned for any object and zero-filled; throws
// std::bad_alloc. The pages of a large block that are never written take
// no memory. A `sparse` block, of which the caller writes only parts, gets
// no large pages (each would be cleared whole when first touched).
void* AllocateLarge(size_t bytes, bool sparse = false);
// Gives back what AllocateLarge(bytes) returned.
void FreeLarge(void* memory, size_t bytes) noexcept;

template <class T>
struct LargeAllocator {
  using value_type = T;
  LargeAllocator() = default;
  template <class U>
  LargeAllocator(const LargeAllocator<U>&) noexcept {}
  T* allocate(size_t n) { return static_cast<T*>(AllocateLarge(n * sizeof(T))); }
  void deallocate(T* memory, size_t n) noexcept { FreeLarge(memory, n * sizeof(T)); }
  friend bool operator==(const LargeAllocator&, const LargeAllocator&) { return true; }
};

template <class T>
using LargeVector = std::vector<T, LargeAllocator<T>>;

}  // namespace pelikon
