// How a new grid stores its cells: in memory while that is affordable,
// otherwise in two windows of cells over a swap file. Small grids use
// fixed thresholds; above kGridFixedPlanLimit intervals the live memory
// figures decide.
#pragma once

#include <cstdint>

#include "geoid/memory_status.h"

namespace pelikon {

inline constexpr int64_t kGridFixedPlanLimit = 42'000;
inline constexpr int64_t kGridDefaultSwapThreshold = 500'000;
inline constexpr int64_t kGridDefaultWindow = 14'000;

enum class GridCreateMode {
  kNormal = 0,
  kPreferMemory = 1,  // memory whenever it can be had
};

struct GridStoragePlan {
  bool try_memory = false;  // otherwise straight to the swap file
  int64_t swap_threshold = kGridDefaultSwapThreshold;
  int64_t write_window = kGridDefaultWindow;     // cells
  int64_t read_window = 2 * kGridDefaultWindow;  // cells
};

// The plan for a grid of `column_intervals` x `row_intervals` intervals.
GridStoragePlan PlanGridStorage(int32_t column_intervals, int32_t row_intervals, GridCreateMode mode,
                                const MemoryStatus& memory);

}  // namespace pelikon
