// Grid files from arbitrary bytes: a grid whose header announces a sane
// number of nodes loads, holds exactly that many, keeps only stored cells
// with values that fit their flags and trimmed remarks, gives the same
// cells from memory and from the swap file, and leaves no swap file behind.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz_work_folder.h"
#include "geoid/grid_file.h"
#include "geoid/grid_text.h"

namespace {

namespace fs = std::filesystem;
using namespace pelikon;

// Larger grids are legal but only slow the search down.
constexpr double kMostNodes = 100'000;

class FixedMemory : public MemoryStatus {
 public:
  explicit FixedMemory(MemoryFigures figures) : figures_(figures) {}
  MemoryFigures Read() const override { return figures_; }

 private:
  MemoryFigures figures_;
};

fs::path Work() {
  return fs::path(std::getenv("PELIKON_TEMP_DIR")).parent_path();
}

bool SaneCount(double value) {
  return std::trunc(value) >= 0 && std::trunc(value) <= kMostNodes;
}

// Blanks go from both ends of a remark, CR and LF from its end.
bool Trimmed(const std::string& remark) {
  return !remark.empty() && std::string_view(" \t").find(remark.front()) == std::string_view::npos &&
         std::string_view(" \t\r\n").find(remark.back()) == std::string_view::npos;
}

std::unique_ptr<GeoGrid> Load(const fs::path& file, const fs::path& swap, const MemoryStatus& memory) {
  GridLoadOptions options;
  options.storage.swap_folder = swap;
  options.storage.memory = &memory;
  return LoadGridFile(file, options);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  pelikon_fuzz::UseWorkFolder("/tmp/pelikon-grd-fuzz");
  fs::create_directories(Work() / "swap");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const fs::path file = Work() / "model.grd";
  const fs::path swap = Work() / "swap";
  std::ofstream(file, std::ios::binary | std::ios::trunc)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  GridHeader header;
  {
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> handle(std::fopen(file.c_str(), "r"), &std::fclose);
    if (!handle) std::abort();
    GridLineReader reader(handle.get());
    header = ReadGridHeader(reader, 6);
  }
  GridFileCovers(file, header.west, header.south);
  if (!SaneCount(header.column_intervals) || !SaneCount(header.row_intervals) ||
      (std::trunc(header.column_intervals) + 1) * (std::trunc(header.row_intervals) + 1) > kMostNodes)
    return 0;

  static const FixedMemory ample({uint64_t{8} << 30, uint64_t{8} << 30, 0});
  static const FixedMemory short_of_memory({1 << 20, uint64_t{8} << 30, 99});
  auto in_memory = Load(file, swap, ample);
  auto in_swap = Load(file, swap, short_of_memory);
  if (!in_memory || !in_swap) std::abort();
  const int64_t count = GridCellCount(in_memory.get());
  const int64_t columns = static_cast<int64_t>(header.column_intervals) + 1;
  if (count != columns * (static_cast<int64_t>(header.row_intervals) + 1) || GridCellCount(in_swap.get()) != count)
    std::abort();
  for (int64_t i = 0; i < count; ++i) {
    const GridCell cell = GridGetCell(in_memory.get(), i);
    if (cell.filled || (!cell.has_value && cell.value != 0 && cell.value != kGridNoValue)) std::abort();
    const GridCell swapped = GridGetCell(in_swap.get(), i);
    const bool same_value = cell.value == swapped.value || (std::isnan(cell.value) && std::isnan(swapped.value));
    if (!same_value || cell.has_value != swapped.has_value || swapped.filled) std::abort();
  }
  if (in_memory->Remarks() != in_swap->Remarks()) std::abort();
  for (const std::string& remark : in_memory->Remarks())
    if (!Trimmed(remark)) std::abort();
  FreeGrid(in_memory);
  FreeGrid(in_swap);
  if (!fs::is_empty(swap)) std::abort();
  return 0;
}
