// Cutting geoid sub-grids out of a large model: a generated global model
// at 2.5' (8,641 x 4,321 nodes, about 37 million value lines), `geoidtool
// subgrid` of a 2-degree box around 45 N, 93 W, against `wc -l` of the
// same file, once with the model in memory and once with the storage
// planned as if only 64 MiB were free (the swap file). Both sub-grids must
// be byte-identical; the peak resident memory of each run is printed.
//
// usage: geoid_bench [ROUNDS] [ARC_MINUTES]   (defaults 3 and 2.5)
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_support.h"

namespace {

using pelikon::bench::Die;
using pelikon::bench::Median;
using pelikon::bench::TimeCommand;
namespace fs = std::filesystem;

// The model: latitudes -90..90, longitudes 0..360, a smooth made-up surface.
void WriteModel(const fs::path& path, double minutes) {
  const double step = minutes / 60;
  const int columns = static_cast<int>(360 / step + 0.5), rows = static_cast<int>(180 / step + 0.5);
  std::FILE* out = std::fopen(path.c_str(), "w");
  if (!out) Die("cannot write the model");
  std::fprintf(out, "-90\n0\n90\n360\n%d\n%d\n", columns, rows);
  std::vector<char> line(64);
  for (int r = 0; r <= rows; ++r) {
    for (int c = 0; c <= columns; ++c) {
      const int value = (r * 37 + c * 11) % 20000 - 10000;  // hundredths of a metre
      std::fprintf(out, "%d.%02d\n", value / 100, std::abs(value % 100));
    }
  }
  if (std::fclose(out) != 0) Die("cannot write the model");
}

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  const double minutes = argc > 2 ? std::atof(argv[2]) : 2.5;
  if (rounds < 1 || minutes <= 0) Die("usage: geoid_bench [ROUNDS] [ARC_MINUTES]");
  const fs::path root = fs::temp_directory_path() / ("geoid-bench-" + std::to_string(::getpid()));
  fs::create_directories(root / "memory");
  fs::create_directories(root / "swap");
  const fs::path model = root / "egm96.grd";
  WriteModel(model, minutes);
  const std::string tool = (fs::canonical("/proc/self/exe").parent_path() / "geoidtool").string();
  const auto subgrid = [&](const char* out, const std::vector<std::string>& more) {
    std::vector<std::string> command = {
        tool,  "subgrid", root.string(), "45.0000", "N", "93.0000",   "W",
        "2.0", "deg",     "bench",       "--model", "5", "--out-dir", (root / out).string()};
    command.insert(command.end(), more.begin(), more.end());
    return command;
  };

  std::vector<double> wc, memory, swap;
  long memory_peak = 0, swap_peak = 0;
  for (int r = 0; r < rounds; ++r) {
    wc.push_back(TimeCommand({"wc", "-l", model.string()}));
    long peak = 0;
    memory.push_back(TimeCommand(subgrid("memory", {}), "/dev/null", &peak));
    memory_peak = std::max(memory_peak, peak);
    swap.push_back(TimeCommand(subgrid("swap", {"--memory", "64"}), "/dev/null", &peak));
    swap_peak = std::max(swap_peak, peak);
  }
  const std::string in_memory = Contents(root / "memory" / "bench.gsf"),
                    in_swap = Contents(root / "swap" / "bench.gsf");
  const bool identical = !in_memory.empty() && in_memory == in_swap;
  const double wc_s = Median(wc), memory_s = Median(memory), swap_s = Median(swap);
  std::printf("model: %ju bytes (%.1f' global grid)\n", static_cast<uintmax_t>(fs::file_size(model)), minutes);
  std::printf(
      "wc -l: %.3f s; subgrid in memory: %.3f s, peak %ld MiB; with the swap file: %.3f s, peak %ld MiB "
      "(median of %d)\n",
      wc_s, memory_s, memory_peak / 1024, swap_s, swap_peak / 1024, rounds);
  std::printf("ratio memory / wc: %.2f (goal <= 2.00) %s\n", memory_s / wc_s, memory_s / wc_s <= 2 ? "PASS" : "MISS");
  std::printf("ratio swap / wc: %.2f (goal <= 4.00) %s; peak %ld MiB (goal <= 256) %s\n", swap_s / wc_s,
              swap_s / wc_s <= 4 ? "PASS" : "MISS", swap_peak / 1024, swap_peak / 1024 <= 256 ? "PASS" : "MISS");
  std::printf("sub-grids byte-identical: %s\n", identical ? "yes" : "NO");
  fs::remove_all(root);
  return identical ? 0 : 1;
}
