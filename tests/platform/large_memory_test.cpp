// Large-table memory comes zero-filled whatever the memory held before
// (grids rely on cells never written reading as empty), small and large.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "platform/large_memory.h"

namespace pelikon {
namespace {

bool AllZero(const unsigned char* bytes, size_t size) {
  return std::all_of(bytes, bytes + size, [](unsigned char b) { return b == 0; });
}

TEST(LargeMemory, BlocksComeZeroFilledEvenAfterUsedOnes) {
  for (const size_t size : {size_t{0}, size_t{100}, (size_t{2} << 20) - 1, size_t{2} << 20, (size_t{5} << 20) + 3}) {
    // Fill and give back blocks of the same size first, so that a reused
    // block would show its old bytes.
    for (int round = 0; round < 3; ++round) {
      auto* bytes = static_cast<unsigned char*>(AllocateLarge(size));
      ASSERT_TRUE(bytes);
      EXPECT_TRUE(AllZero(bytes, size)) << size << " round " << round;
      EXPECT_EQ(reinterpret_cast<uintptr_t>(bytes) % alignof(std::max_align_t), 0u);
      std::memset(bytes, 0xA5, size);
      FreeLarge(bytes, size);
    }
  }
}

}  // namespace
}  // namespace pelikon
