// Memory figures that make a grid choose its storage, and grid file texts.
#pragma once

#include <cstdint>
#include <string>

#include "geoid/geo_grid.h"
#include "geoid/memory_status.h"

namespace pelikon::testing {

class FakeMemoryStatus : public MemoryStatus {
 public:
  explicit FakeMemoryStatus(MemoryFigures figures) : figures_(figures) {}
  MemoryFigures Read() const override { return figures_; }

 private:
  MemoryFigures figures_;
};

// Almost nothing free: every grid above the fixed-plan size goes to the swap file.
inline const FakeMemoryStatus& ShortMemory() {
  static const FakeMemoryStatus status({1 << 20, uint64_t{16} << 30, 95});
  return status;
}

// Plenty free: such grids stay in memory.
inline const FakeMemoryStatus& AmpleMemory() {
  static const FakeMemoryStatus status({uint64_t{60} << 30, uint64_t{64} << 30, 10});
  return status;
}

// The six header lines of a grid file.
inline std::string GridHeaderText(double south, double west, double north, double east, int nc, int nr) {
  return std::to_string(south) + "\n" + std::to_string(west) + "\n" + std::to_string(north) + "\n" +
         std::to_string(east) + "\n" + std::to_string(nc) + "\n" + std::to_string(nr) + "\n";
}

}  // namespace pelikon::testing
