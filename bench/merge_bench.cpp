// The merge of two CRD files, the reading of a point history and the
// cut-out of a range, each against a plain tool reading or copying the
// same file in this process.
//
// merge: `crdtool merge SOURCE TARGET --overwrite` (the tool beside this
// program, run as a child) of a POINTS-point source into a POINTS-point
// alphanumeric target; half the source's identifiers are also the
// target's, and a tenth of those have other coordinates, so that the
// merge classifies every point, overwrites the conflicts and adds the
// rest. Every round merges into a fresh copy of the target; compared with
// `cp` of the target file.
//
// history: ReadHistory with resolve over a history of TRANSACTIONS
// transactions on HISTORY_POINTS points (each created once, then moved
// again and again, every change recording the earlier coordinates);
// compared with `cat` of the history file into /dev/null.
//
// cut: `crdtool cut` of the middle half of a POINTS-point alphanumeric
// file; compared with `cp` of that file.
//
// usage: merge_bench [merge|history|cut|all] [POINTS] [TRANSACTIONS] [HISTORY_POINTS] [ROUNDS]
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "bench_support.h"
#include "coord/crd/crd_file.h"
#include "coord/crd/crd_format.h"
#include "coord/history/crd_history.h"
#include "coord/history/history_format.h"
#include "coord/merge/merge_apply.h"
#include "platform/atomic_file.h"

namespace {

using pelikon::bench::Die;

using pelikon::bench::Clock;
using pelikon::bench::CopyFresh;
using pelikon::bench::Median;
using pelikon::bench::Seconds;
using pelikon::bench::TimeCommand;
using pelikon::bench::TimeCp;
namespace fs = std::filesystem;

void WriteCrd(const fs::path& path, const std::vector<pelikon::CrdPoint>& points) {
  pelikon::CrdFile file;
  if (!file.Open(path, 1, pelikon::kCrdAlphanumeric)) Die("cannot create a CRD file");
  if (file.StorePoints(points) != static_cast<int64_t>(points.size())) Die("cannot fill a CRD file");
}

// Target: identifiers 1..count. Source: count/2+1..count/2+count, so the
// upper half of the target is shared; every tenth shared point moved.
bool MergeBench(const fs::path& root, int count, int rounds) {
  const int shared_from = count / 2 + 1;
  std::vector<pelikon::CrdPoint> target_points, source_points;
  for (int id = 1; id <= count; ++id)
    target_points.emplace_back(std::to_string(id), 5000.0 + id, 1000.0 + id, id * 0.01, "PT " + std::to_string(id));
  int conflicts = 0;
  for (int id = shared_from; id < shared_from + count; ++id) {
    const bool moved = id <= count && (id - shared_from) % 10 == 0;
    conflicts += moved;
    const double shift = moved ? 0.25 : 0.0;
    source_points.emplace_back(std::to_string(id), 5000.0 + id + shift, 1000.0 + id - shift, id * 0.01,
                               "PT " + std::to_string(id));
  }
  const fs::path source = root / "source.crd", base = root / "base.crd", target = root / "target.crd";
  WriteCrd(source, source_points);
  WriteCrd(base, target_points);
  const std::string crdtool = (fs::canonical("/proc/self/exe").parent_path() / "crdtool").string();

  std::vector<double> merge_times, cp_times, read_times;
  for (int r = 0; r < rounds; ++r) {
    CopyFresh(base, target);
    merge_times.push_back(TimeCommand({crdtool, "merge", source.string(), target.string(), "--overwrite"}));
    cp_times.push_back(TimeCp(base, root / "copy.crd"));
    // One of the merge's phases: reading a whole file into points (the
    // merge reads the source and the target once each).
    const auto start = Clock::now();
    pelikon::CrdFile file;
    if (!file.Open(base) || pelikon::ReadAllPoints(file).size() != static_cast<size_t>(count)) Die("cannot read");
    read_times.push_back(Seconds(start));
  }

  // The last result: every point once, the conflicts with the source's values.
  pelikon::CrdFile result;
  if (!result.Open(target)) Die("cannot open the merged file");
  const int64_t stored = result.PointCount();
  pelikon::CrdPoint moved;
  const bool overwritten =
      result.GetPoint(std::to_string(shared_from), moved, true) && moved.northing == source_points.front().northing;
  const bool sound = stored == count / 2 + count && overwritten;
  const double merge_s = Median(merge_times), cp_s = Median(cp_times);
  std::printf("target: %ju bytes, %d points; source %d points, %d shared, %d conflicts overwritten\n",
              static_cast<uintmax_t>(fs::file_size(base)), count, count, count - shared_from + 1, conflicts);
  std::printf("crdtool merge --overwrite: %.4f s  cp of the target: %.4f s  (median of %d)\n", merge_s, cp_s, rounds);
  const double ratio = merge_s / cp_s;
  std::printf("ratio merge / cp: %.2f (goal <= 10.00) %s\n", ratio, ratio <= 10.0 ? "PASS" : "MISS");
  std::printf("of which reading one file into points: %.4f s each (ratio to cp %.1f)\n", Median(read_times),
              Median(read_times) / cp_s);
  std::printf("merged file holds %jd points, conflicts overwritten: %s\n", static_cast<intmax_t>(stored),
              sound ? "yes" : "NO");
  return sound;
}

// `crdtool cut` of the middle half of a `count`-point file (the cut-out
// Send Pnts uploads) against cp of the whole file.
bool CutBench(const fs::path& root, int count, int rounds) {
  std::vector<pelikon::CrdPoint> points;
  for (int id = 1; id <= count; ++id)
    points.emplace_back(std::to_string(id), 5000.0 + id, 1000.0 + id, id * 0.01, "PT " + std::to_string(id));
  const fs::path source = root / "whole.crd", cut = root / "part.crd";
  WriteCrd(source, points);
  const std::string crdtool = (fs::canonical("/proc/self/exe").parent_path() / "crdtool").string();
  const std::string range = std::to_string(count / 4 + 1) + "-" + std::to_string(count / 4 + count / 2);
  std::vector<double> cut_times, cp_times;
  for (int r = 0; r < rounds; ++r) {
    cut_times.push_back(TimeCommand({crdtool, "cut", source.string(), cut.string(), range}));
    cp_times.push_back(TimeCp(source, root / "copy.crd"));
  }
  pelikon::CrdFile result;
  const bool sound = result.Open(cut) && result.PointCount() == count / 2 &&
                     result.Lowest() == std::to_string(count / 4 + 1) &&
                     result.Highest() == std::to_string(count / 4 + count / 2);
  const double cut_s = Median(cut_times), cp_s = Median(cp_times);
  std::printf("crdtool cut %s of %d points: %.4f s  cp of the source: %.4f s  (median of %d)\n", range.c_str(), count,
              cut_s, cp_s, rounds);
  std::printf("ratio cut / cp: %.2f (goal <= 5.00) %s\n", cut_s / cp_s, cut_s / cp_s <= 5.0 ? "PASS" : "MISS");
  std::printf("cut-out holds exactly the range: %s\n", sound ? "yes" : "NO");
  return sound;
}

// Coordinates of point `p` after its `k`th change (0: creation).
double Easting(int p, int k) {
  return 1000.0 + p + k * 0.001;
}
double Northing(int p, int k) {
  return 5000.0 + p - k * 0.002;
}

bool HistoryBench(const fs::path& root, int transactions, int points, int rounds) {
  const int changes = transactions / points;  // per point, the creation included
  if (changes < 1) Die("fewer transactions than points");
  const fs::path crd = root / "job.crd", his = root / "job.his";
  std::vector<pelikon::CrdPoint> current;
  for (int p = 1; p <= points; ++p)
    current.emplace_back(std::to_string(p), Northing(p, changes - 1), Easting(p, changes - 1), 10.0,
                         "PT " + std::to_string(p));
  WriteCrd(crd, current);

  // Round by round every point changes once; a stamp every hundred
  // transactions, the user named once.
  std::string bytes(pelikon::kHistoryMagic);
  int written = 0;
  for (int k = 0; k < changes; ++k) {
    for (int p = 1; p <= points; ++p, ++written) {
      pelikon::HistoryTransaction t;
      t.id = std::to_string(p);
      t.command = 5;
      t.flags = pelikon::kHistoryCommand;
      if (written % 100 == 0) {
        t.flags |= pelikon::kHistoryStamp;
        t.time = 1700000000 + written / 10;
      }
      if (written == 0) {
        t.flags |= pelikon::kHistoryUser;
        t.user = "bench";
      }
      if (k == 0) {
        t.flags |= pelikon::kHistoryCreated;
      } else {
        t.flags |= pelikon::kHistoryEasting | pelikon::kHistoryNorthing;
        t.before.easting = Easting(p, k - 1);
        t.before.northing = Northing(p, k - 1);
      }
      bytes += pelikon::EncodeTransaction(t);
    }
  }
  if (pelikon::WriteFileAtomically(his, bytes)) Die("cannot write the history file");

  std::vector<double> read_times, cat_times, unresolved_times;
  size_t entries = 0;
  bool sound = true;
  for (int r = 0; r < rounds; ++r) {
    pelikon::CrdFile file;
    if (!file.Open(crd)) Die("cannot open the CRD file");
    const auto start = Clock::now();
    const pelikon::HistoryList history = pelikon::ReadHistory(file, {}, true);
    read_times.push_back(Seconds(start));
    cat_times.push_back(TimeCommand({"cat", his.string()}));
    const auto unresolved_start = Clock::now();
    if (pelikon::ReadHistory(file, {}, false).size() != history.size()) Die("the unresolved history differs");
    unresolved_times.push_back(Seconds(unresolved_start));
    entries = history.size();
    // Newest first: entry i is change changes-1-i/points of its point.
    for (size_t i = 0; i < history.size() && sound; i += 997) {
      const pelikon::HistoryEntry& entry = history[i];
      const int p = std::atoi(entry.id.c_str());
      const int k = changes - 1 - static_cast<int>(i / points);
      sound = entry.resolved && entry.after.easting == Easting(p, k) && entry.after.northing == Northing(p, k) &&
              (k == 0 ? entry.before.Id().empty() : entry.before.easting == Easting(p, k - 1));
    }
  }
  sound = sound && entries == static_cast<size_t>(written);
  const double read_s = Median(read_times), cat_s = Median(cat_times);
  std::printf("history: %zu bytes, %d transactions on %d points\n", bytes.size(), written, points);
  std::printf("ReadHistory with resolve: %.4f s  cat of the file: %.4f s  (median of %d)\n", read_s, cat_s, rounds);
  const double ratio = read_s / cat_s;
  std::printf("ratio read / cat: %.2f (goal <= 20.00) %s\n", ratio, ratio <= 20.0 ? "PASS" : "MISS");
  std::printf("without resolve (parsing and linking only): %.4f s (ratio to cat %.1f)\n", Median(unresolved_times),
              Median(unresolved_times) / cat_s);
  std::printf("entries resolved correctly: %s\n", sound ? "yes" : "NO");
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view which = argc > 1 ? argv[1] : "all";
  const int count = argc > 2 ? std::atoi(argv[2]) : 100000;
  const int transactions = argc > 3 ? std::atoi(argv[3]) : 1000000;
  const int history_points = argc > 4 ? std::atoi(argv[4]) : 10000;
  const int rounds = argc > 5 ? std::atoi(argv[5]) : 5;
  if ((which != "all" && which != "merge" && which != "history" && which != "cut") || count < 2 || history_points < 1 ||
      rounds < 1) {
    std::fprintf(stderr,
                 "usage: merge_bench [merge|history|cut|all] [POINTS] [TRANSACTIONS] [HISTORY_POINTS] [ROUNDS]\n");
    return 2;
  }
  char pattern[] = "/tmp/pelikon-merge-bench-XXXXXX";
  if (!::mkdtemp(pattern)) Die("no temporary folder");
  const fs::path root = pattern;
  bool sound = true;
  if (which == "all" || which == "merge") sound = MergeBench(root, count, rounds) && sound;
  if (which == "all" || which == "history") sound = HistoryBench(root, transactions, history_points, rounds) && sound;
  if (which == "all" || which == "cut") sound = CutBench(root, count, rounds) && sound;
  fs::remove_all(root);
  return sound ? 0 : 1;
}
