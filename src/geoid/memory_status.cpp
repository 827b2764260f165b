#include "geoid/memory_status.h"

#include <fstream>
#include <iterator>
#include <string>

#include "platform/text.h"

namespace pelikon {

namespace {

// "Name:   12345 kB" -> bytes; 0 when the line is missing.
uint64_t MeminfoBytes(std::string_view text, std::string_view name) {
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view line = text.substr(at, end - at);
    at = end + 1;
    if (line.size() > name.size() && line.substr(0, name.size()) == name && line[name.size()] == ':') {
      const int64_t kilobytes = LenientInt64(TrimLeft(line.substr(name.size() + 1), " \t"));
      return kilobytes > 0 ? static_cast<uint64_t>(kilobytes) * 1024 : 0;
    }
  }
  return 0;
}

class ProcMemoryStatus : public MemoryStatus {
 public:
  MemoryFigures Read() const override {
    std::ifstream file("/proc/meminfo");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return MemoryFiguresFromMeminfo(text);
  }
};

}  // namespace

MemoryFigures MemoryFiguresFromMeminfo(std::string_view text) {
  MemoryFigures figures;
  figures.available_virtual = MeminfoBytes(text, "MemAvailable") + MeminfoBytes(text, "SwapFree");
  figures.total_virtual = MeminfoBytes(text, "MemTotal") + MeminfoBytes(text, "SwapTotal");
  if (figures.available_virtual > figures.total_virtual) figures.available_virtual = figures.total_virtual;
  figures.load_percent = figures.total_virtual == 0
                             ? 100
                             : 100 - static_cast<int>(static_cast<double>(figures.available_virtual) * 100.0 /
                                                      static_cast<double>(figures.total_virtual));
  return figures;
}

const MemoryStatus& SystemMemoryStatus() {
  static const ProcMemoryStatus status;
  return status;
}

}  // namespace pelikon
