#include <sys/mman.h>

#include <cstdint>
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

void* AllocateLarge(size_t bytes, bool sparse) {
  if (bytes < kLargePage) {
    if (void* memory = std::calloc(bytes == 0 ? 1 : bytes, 1)) return memory;
    throw std::bad_alloc();
  }
  // Fresh pages from the system: zero-filled, and pages never touched
  // cost nothing. One large page more is mapped so that the block can
  // start on a large-page boundary; the ends are given back.
  const size_t size = Rounded(bytes);
  void* mapped = ::mmap(nullptr, size + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (mapped == MAP_FAILED) throw std::bad_alloc();
  const uintptr_t start = reinterpret_cast<uintptr_t>(mapped);
  const uintptr_t aligned = (start + kLargePage - 1) / kLargePage * kLargePage;
  if (aligned > start) ::munmap(mapped, aligned - start);
  if (const size_t tail = start + kLargePage - aligned) ::munmap(reinterpret_cast<void*>(aligned + size), tail);
  void* memory = reinterpret_cast<void*>(aligned);
#if defined(MADV_HUGEPAGE) && defined(MADV_NOHUGEPAGE)
  // Only advice: without large pages the memory is as good.
  ::madvise(memory, size, sparse ? MADV_NOHUGEPAGE : MADV_HUGEPAGE);
#endif
  return memory;
}

void FreeLarge(void* memory, size_t bytes) noexcept {
  if (!memory) return;
  if (bytes < kLargePage)
    std::free(memory);
  else
    ::munmap(memory, Rounded(bytes));
}

}  // namespace pelikon
