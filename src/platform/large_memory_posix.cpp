#include <sys/mman.h>

#include <cstdlib>

#include "platform/large_memory.h"

namespace pelikon {

namespace {

// Below this a table gains nothing from large pages.
constexpr size_t kLargePage = size_t{2} << 20;

size_t Rounded(size_t bytes) {
  return (bytes + kLargePage - 1) / kLargePage * kLargePage;
}

}  // namespace

void* AllocateLarge(size_t bytes) {
  if (bytes < kLargePage) {
    if (void* memory = std::malloc(bytes == 0 ? 1 : bytes)) return memory;
    throw std::bad_alloc();
  }
  void* memory = std::aligned_alloc(kLargePage, Rounded(bytes));
  if (!memory) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Only advice: without large pages the memory is as good.
  ::madvise(memory, Rounded(bytes), MADV_HUGEPAGE);
#endif
  return memory;
}

void FreeLarge(void* memory, size_t) noexcept {
  std::free(memory);
}

}  // namespace pelikon
