// The memory figures a grid's storage choice rests on: how much virtual
// memory (memory and swap space) is free, how much there is, and how
// loaded memory is. Behind an interface so that tests can say memory is
// short.
#pragma once

#include <cstdint>
#include <string_view>

namespace pelikon {

struct MemoryFigures {
  uint64_t available_virtual = 0;  // bytes
  uint64_t total_virtual = 0;      // bytes
  int load_percent = 0;            // 0 to 100
};

class MemoryStatus {
 public:
  virtual ~MemoryStatus() = default;
  virtual MemoryFigures Read() const = 0;
};

// The system's live figures.
const MemoryStatus& SystemMemoryStatus();

// The figures from the text of /proc/meminfo: available = MemAvailable +
// SwapFree, total = MemTotal + SwapTotal, load = the share not available.
MemoryFigures MemoryFiguresFromMeminfo(std::string_view text);

}  // namespace pelikon
