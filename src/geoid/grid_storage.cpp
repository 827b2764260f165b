#include "geoid/grid_storage.h"

#include <algorithm>

namespace pelikon {

namespace {

// The more loaded memory is, the sooner a grid goes to the swap file.
double LoadFactor(int load_percent) {
  if (load_percent < 40) return 5;
  if (load_percent < 60) return 30;
  if (load_percent < 80) return 60;
  return 120;
}

}  // namespace

GridStoragePlan PlanGridStorage(int32_t column_intervals, int32_t row_intervals, GridCreateMode mode,
                                const MemoryStatus& memory) {
  GridStoragePlan plan;
  const int64_t intervals = int64_t{column_intervals} * row_intervals;
  int64_t window = kGridDefaultWindow;
  if (mode == GridCreateMode::kNormal && intervals > kGridFixedPlanLimit) {
    const MemoryFigures figures = memory.Read();
    const double available = 0.8 * static_cast<double>(figures.available_virtual);
    const double total = static_cast<double>(figures.total_virtual);
    if (available >= 1.0) {
      const double threshold = available / ((total / available) * LoadFactor(figures.load_percent) * 16.0);
      plan.swap_threshold = static_cast<int64_t>(std::min(threshold, 9.0e18));
      window = static_cast<int64_t>(std::min(available / 12'000.0, 9.0e18));
    } else {
      plan.swap_threshold = 0;
      window = 0;
    }
    window = std::min(window, intervals / 40);
    window = std::max(window, int64_t{4} * column_intervals);
  }
  plan.try_memory = intervals < plan.swap_threshold || mode == GridCreateMode::kPreferMemory;
  if (window > kGridDefaultWindow && intervals / 40 > kGridDefaultWindow) {
    plan.write_window = window;
    plan.read_window = 2 * window;
  }
  return plan;
}

}  // namespace pelikon
