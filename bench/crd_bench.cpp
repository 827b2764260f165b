// Stores 20,000 points into a 20,000-point alphanumeric CRD file whose
// identifiers interleave with theirs (the file holds the even numbers, the
// new points are the odd ones), once one by one and once as a batch, and
// compares both with copying the resulting file once with `cp`, run in
// this process.
//
// usage: crd_bench [POINTS] [ROUNDS]
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_support.h"
#include "coord/crd/crd_file.h"
#include "platform/atomic_file.h"

namespace {

using pelikon::bench::Die;

using pelikon::bench::Clock;
using pelikon::bench::CopyFresh;
using pelikon::bench::Median;
using pelikon::bench::Seconds;
using pelikon::bench::TimeCp;
namespace fs = std::filesystem;

std::vector<pelikon::CrdPoint> Points(int count, int first) {
  std::vector<pelikon::CrdPoint> points;
  for (int i = 0; i < count; ++i) {
    const int id = first + 2 * i;
    points.emplace_back(std::to_string(id), 1000.0 + id, 5000.0 - id, id * 0.01, "PT " + std::to_string(id));
  }
  return points;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  char pattern[] = "/tmp/pelikon-crd-bench-XXXXXX";
  if (!::mkdtemp(pattern)) Die("no temporary folder");
  const fs::path root = pattern;
  const fs::path base = root / "base.crd", single = root / "single.crd", bulk = root / "bulk.crd";

  {
    pelikon::CrdFile file;
    if (!file.Open(base, 1, pelikon::kCrdAlphanumeric)) Die("cannot create the base file");
    if (file.StorePoints(Points(count, 2)) != count) Die("cannot fill the base file");
  }
  const std::vector<pelikon::CrdPoint> added = Points(count, 1);

  CopyFresh(base, single);
  const auto single_start = Clock::now();
  {
    pelikon::CrdFile file;
    if (!file.Open(single)) Die("cannot open");
    for (const pelikon::CrdPoint& point : added)
      if (!file.StorePoint(point, true)) Die("a store failed");
  }
  const double single_s = Seconds(single_start);

  std::vector<double> bulk_times, cp_times;
  for (int r = 0; r < rounds; ++r) {
    CopyFresh(base, bulk);
    const auto start = Clock::now();
    pelikon::CrdFile file;
    if (!file.Open(bulk)) Die("cannot open");
    if (file.StorePoints(added, true) != count) Die("the batch failed");
    file.Close();
    bulk_times.push_back(Seconds(start));
    cp_times.push_back(TimeCp(bulk, root / "copy.crd"));
  }
  std::string single_bytes, bulk_bytes;
  pelikon::ReadWholeFile(single, single_bytes);
  pelikon::ReadWholeFile(bulk, bulk_bytes);
  const bool identical = single_bytes == bulk_bytes;
  fs::remove_all(root);

  // Each insert moves the records above it up by one: on average half the file.
  double moved_bytes = 0;
  for (int i = 0; i < count; ++i) moved_bytes += 66.0 * (count - i);
  const double bulk_s = Median(bulk_times), cp_s = Median(cp_times);
  std::printf("file: %zu bytes, %d points stored into %d\n", bulk_bytes.size(), count, count);
  std::printf("one by one: %.3f s (%.0f MB of records moved, %.2f GB/s)\n", single_s, moved_bytes / 1e6,
              moved_bytes / single_s / 1e9);
  std::printf("bulk: %.4f s  cp of the result: %.4f s  (median of %d)\n", bulk_s, cp_s, rounds);
  std::printf("ratio bulk / cp: %.2f (goal <= 5.00)\n", bulk_s / cp_s);
  std::printf("ratio one by one / cp: %.1f\n", single_s / cp_s);
  std::printf("results byte-identical: %s\n", identical ? "yes" : "NO");
  return identical ? 0 : 1;
}
