// The report formatter on a points export: `reporttool` (beside this
// program, run as a child) on a ROWS-row CSV (identifier, northing,
// easting, elevation, description, group), sorted by group and identifier
// with sub-totals per group, against the shell pipeline that does the same
// work: `sort -t, -k6,6 -k1,1n FILE | awk` printing every row and the sums
// of each group. Both outputs' group sums of the elevations must agree.
// Memory per entry is the tool's peak resident memory on the table, less
// its peak on a one-row table, divided by the rows.
//
// usage: report_bench [ROWS] [ROUNDS]
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "platform/atomic_file.h"

namespace {

using pelikon::bench::Die;
using pelikon::bench::Median;
using pelikon::bench::TimeCommand;
namespace fs = std::filesystem;

constexpr int kGroups = 40;

std::string MakeTable(int rows, std::map<std::string, double>& elevation_sums) {
  std::mt19937 random(11);
  std::vector<int> ids(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i) ids[static_cast<size_t>(i)] = i + 1;
  std::shuffle(ids.begin(), ids.end(), random);
  std::string table = "PTNUM,NORTH,EAST,ELEV,DESC,GROUP\n";
  char line[160];
  for (int id : ids) {
    const double north = 5000000 + static_cast<double>(random() % 100000000) / 1000;
    const double east = 300000 + static_cast<double>(random() % 100000000) / 1000;
    const double elevation = static_cast<double>(random() % 2000000) / 1000;
    const std::string group = "G" + std::to_string(random() % kGroups);
    std::snprintf(line, sizeof line, "%d,%.3f,%.3f,%.3f,CP %u,%s\n", id, north, east, elevation,
                  static_cast<unsigned>(random() % 500), group.c_str());
    table += line;
    elevation_sums[group] += elevation;
  }
  return table;
}

// "---- Total for Group: G7 ----" and the totals line after it: the last
// column of that line is the elevation sum (DESC has no total).
std::map<std::string, double> ReportGroupSums(const std::string& report) {
  std::map<std::string, double> sums;
  std::istringstream lines(report);
  std::string line, group;
  const std::string caption = "---- Total for GROUP: ";
  while (std::getline(lines, line)) {
    if (line.rfind(caption, 0) == 0) {
      group = line.substr(caption.size(), line.size() - caption.size() - 5);
      continue;
    }
    if (group.empty()) continue;
    std::istringstream cells(line);
    std::vector<double> values;
    for (double value; cells >> value;) values.push_back(value);
    if (values.size() >= 4) sums[group] = values[3];
    group.clear();
  }
  return sums;
}

bool SameSums(const std::map<std::string, double>& a, const std::map<std::string, double>& b) {
  if (a.size() != b.size()) return false;
  for (const auto& [group, sum] : a) {
    const auto other = b.find(group);
    if (other == b.end() || std::fabs(other->second - sum) > 0.0015) return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const int rows = argc > 1 ? std::atoi(argv[1]) : 200000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  if (rows < 2 || rounds < 1) {
    std::fprintf(stderr, "usage: report_bench [ROWS] [ROUNDS]\n");
    return 2;
  }
  char pattern[] = "/tmp/pelikon-report-bench-XXXXXX";
  if (!::mkdtemp(pattern)) Die("no temporary folder");
  const fs::path root = pattern;
  const fs::path table = root / "points.csv", tiny = root / "tiny.csv", report = root / "report.txt";
  std::map<std::string, double> expected;
  if (pelikon::WriteFileAtomically(table, MakeTable(rows, expected))) Die("cannot write the table");
  if (pelikon::WriteFileAtomically(tiny, "PTNUM,NORTH,EAST,ELEV,DESC,GROUP\n1,2,3,4,CP,G1\n"))
    Die("cannot write the small table");
  const std::string tool = (fs::canonical("/proc/self/exe").parent_path() / "reporttool").string();
  const auto command = [&](const fs::path& input) {
    return std::vector<std::string>{tool, "--used",      "GROUP|PTNUM|NORTH|EAST|ELEV|DESC", "--totals-depth",
                                    "1",  input.string()};
  };
  const std::string pipeline =
      "sort -t, -k6,6 -k1,1n '" + table.string() +
      "' | awk -F, '$6 != g { if (NR > 1) printf \"%s %.0f %.3f %.3f %.3f\\n\", g, p, n, e, h; g = $6; p = n = e = h = "
      "0 } { printf \"%8d %14.3f %14.3f %10.3f %s\\n\", $1, $2, $3, $4, $5; p += $1; n += $2; e += $3; h += $4 } "
      "END { printf \"%s %.0f %.3f %.3f %.3f\\n\", g, p, n, e, h }'";

  std::vector<double> tool_times, shell_times;
  long peak_kib = 0, tiny_kib = 0;
  TimeCommand(command(tiny), "/dev/null", &tiny_kib);
  for (int r = 0; r < rounds; ++r) {
    tool_times.push_back(TimeCommand(command(table), report, &peak_kib));
    shell_times.push_back(TimeCommand({"sh", "-c", pipeline}));
  }
  std::string written;
  if (!pelikon::ReadWholeFile(report, written)) Die("no report written");
  const bool sound = SameSums(ReportGroupSums(written), expected);

  const double tool_s = Median(tool_times), shell_s = Median(shell_times);
  std::printf("table: %d rows in %d groups, %ju bytes\n", rows, kGroups, static_cast<uintmax_t>(fs::file_size(table)));
  std::printf("reporttool: %.4f s  sort | awk: %.4f s  (median of %d)\n", tool_s, shell_s, rounds);
  const double ratio = tool_s / shell_s;
  std::printf("ratio reporttool / (sort | awk): %.2f (goal <= 2.00) %s\n", ratio, ratio <= 2.0 ? "PASS" : "MISS");
  std::printf("memory per entry: %.0f bytes (peak %ld KiB, %ld KiB on one row)\n",
              static_cast<double>(peak_kib - tiny_kib) * 1024 / rows, peak_kib, tiny_kib);
  std::printf("group sums of the report equal the table's: %s\n", sound ? "yes" : "NO");
  fs::remove_all(root);
  return sound ? 0 : 1;
}
