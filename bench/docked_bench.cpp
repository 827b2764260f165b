// The docked-device connector ("libtolvane.so", loaded by name beside this
// program as the program loads it) over a device folder, against the
// reference tools run in this process on the same files:
//   1. a file device -> PC (GetFile) against `cp` of the same file;
//   2. a file PC -> device (PutFile) against `cp` of the same file;
//   3. the listing of a device folder of many files (WriteListing, which
//      writes dir_zzz.txt) against `ls -l` of the folder into a file.
// Device and PC folders lie side by side in one work folder (under $TMPDIR,
// else /tmp), so both sides of every comparison read and write the same
// file systems. Every timed copy starts with its target gone and no dirty
// pages waiting (sync), with the source in the page cache; the order of
// ours and the tool's alternates from round to round. Figures are medians.
// Exits non-zero only when an operation fails or a result is wrong.
//
// usage: docked_bench [MIB] [FILES] [ROUNDS]
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "app/optional_libraries.h"
#include "bench_support.h"
#include "platform/program_files.h"
#include "platform/settings_store.h"

namespace {

using pelikon::bench::Clock;
using pelikon::bench::Median;
using pelikon::bench::Seconds;
using pelikon::bench::TimeCp;
using pelikon::bench::TimeLs;
namespace fs = std::filesystem;

// The work folder, removed on the way out.
fs::path g_work;

[[noreturn]] void Die(const std::string& what) {
  std::fprintf(stderr, "docked_bench: %s\n", what.c_str());
  std::error_code ignored;
  if (!g_work.empty()) fs::remove_all(g_work, ignored);
  std::exit(1);
}

// `mib` MiB of pseudo-random bytes, the same in every file made.
void MakeSource(const std::vector<fs::path>& files, int mib) {
  std::vector<std::ofstream> outs;
  for (const fs::path& file : files) outs.emplace_back(file, std::ios::binary);
  std::mt19937_64 random(42);
  std::vector<uint64_t> chunk((1 << 20) / sizeof(uint64_t));
  for (int i = 0; i < mib; ++i) {
    for (uint64_t& word : chunk) word = random();
    for (std::ofstream& out : outs)
      out.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size() * 8));
  }
  for (std::ofstream& out : outs)
    if (!out.flush()) Die("cannot write " + files.front().string());
}

bool SameContent(const fs::path& a, const fs::path& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  if (!x || !y || fs::file_size(a) != fs::file_size(b)) return false;
  std::vector<char> p(1 << 20), q(1 << 20);
  while (x && y) {
    x.read(p.data(), static_cast<std::streamsize>(p.size()));
    y.read(q.data(), static_cast<std::streamsize>(q.size()));
    if (x.gcount() != y.gcount() || !std::equal(p.begin(), p.begin() + x.gcount(), q.begin())) return false;
  }
  return true;
}

size_t LineCount(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  size_t lines = 0;
  std::string line;
  while (std::getline(in, line)) ++lines;
  return lines;
}

// Gives a timed step the same start every time: its target gone and no
// dirty pages of an earlier step still waiting to be written back.
void Clear(const fs::path& target) {
  std::error_code ignored;
  fs::remove(target, ignored);
  ::sync();
}

struct Pair {
  double ours = 0;
  double tool = 0;
};

// Runs both steps `rounds` times, alternating which goes first; the medians.
Pair TimeBoth(int rounds, const std::function<double()>& ours, const std::function<double()>& tool) {
  std::vector<double> ours_times, tool_times;
  for (int r = 0; r < rounds; ++r) {
    if (r % 2 == 0) {
      ours_times.push_back(ours());
      tool_times.push_back(tool());
    } else {
      tool_times.push_back(tool());
      ours_times.push_back(ours());
    }
  }
  return {Median(ours_times), Median(tool_times)};
}

const char* Verdict(bool met) {
  return met ? "PASS" : "MISS";
}

// One direction of copying: `run` copies `source` to `target` through the
// connector; `cp` copies the same source to `cp_target` beside it.
struct CopyCase {
  const char* direction;
  const char* operation;
  fs::path source;
  fs::path target;
  fs::path cp_target;
  std::function<int()> run;
};

// Times the case against cp, checks the copy, prints the figures and the
// verdict; false when the connector's copy is wrong.
bool BenchCopy(const CopyCase& copy, int mib, int rounds) {
  const Pair times = TimeBoth(
      rounds,
      [&] {
        Clear(copy.target);
        const auto start = Clock::now();
        if (copy.run() != 1) Die(std::string(copy.operation) + " failed");
        return Seconds(start);
      },
      [&] {
        Clear(copy.cp_target);
        return TimeCp(copy.source, copy.cp_target);
      });
  const bool intact = SameContent(copy.source, copy.target);
  const double ours_rate = mib / times.ours, cp_rate = mib / times.tool;
  const double ratio = ours_rate / cp_rate;
  std::printf("%s, %d MiB: %s %.3f s (%.0f MiB/s)  cp %.3f s (%.0f MiB/s)  (median of %d)\n", copy.direction, mib,
              copy.operation, times.ours, ours_rate, times.tool, cp_rate, rounds);
  std::printf("ratio throughput %s / cp: %.2f (goal >= 0.80) %s\n", copy.operation, ratio, Verdict(ratio >= 0.8));
  if (!intact) std::printf("%s result differs from the source\n", copy.operation);
  std::fflush(stdout);
  Clear(copy.target);
  Clear(copy.cp_target);
  return intact;
}

}  // namespace

int main(int argc, char** argv) {
  const int mib = argc > 1 ? std::atoi(argv[1]) : 100;
  const int files = argc > 2 ? std::atoi(argv[2]) : 100000;
  const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/pelikon-docked-bench-XXXXXX";
  if (!::mkdtemp(pattern.data())) Die("no work folder");
  const fs::path root = pattern;
  g_work = root;
  const fs::path device = root / "device", pc = root / "pc", config = root / "config";
  fs::create_directories(device);
  fs::create_directories(pc);

  // The connector finds its device folder in the user's settings.
  ::setenv("PELIKON_CONFIG_DIR", config.c_str(), 1);
  pelikon::FileSettingsStore settings(config);
  if (!settings.CreateKey() || !settings.SetValue("asyncroot", device.string())) Die("cannot write the settings");
  pelikon::OptionalLibraries libraries;
  libraries.Bind(pelikon::ProgramFolder());
  pelikon::DeviceConnector* connector = libraries.Device();
  if (!connector) Die("no libtolvane.so beside the program");
  if (connector->Connect() != 1) Die("cannot connect: " + connector->ErrorText(0));

  bool correct = true;
  const fs::path device_source = device / "source.bin", pc_source = pc / "source.bin";
  MakeSource({device_source, pc_source}, mib);
  ::sync();

  // 1. Device -> PC, 2. PC -> device.
  const fs::path got = pc / "got.bin", put = device / "put.bin";
  correct &= BenchCopy({"device -> PC", "GetFile", device_source, got, pc / "cp-got.bin",
                        [&] { return connector->GetFile("\\source.bin", got.string()); }},
                       mib, rounds);
  correct &= BenchCopy({"PC -> device", "PutFile", pc_source, put, device / "cp-put.bin",
                        [&] { return connector->PutFile(pc_source.string(), "\\put.bin"); }},
                       mib, rounds);
  Clear(device_source);
  Clear(pc_source);

  // 3. Listing a device folder.
  const fs::path many = device / "many";
  const auto made = Clock::now();
  pelikon::bench::MakeFiles(many, files);
  ::sync();
  std::printf("made %d files in %.2f s\n", files, Seconds(made));
  std::fflush(stdout);
  const fs::path listing = pc / "dir_zzz.txt", ls_out = pc / "ls.txt";
  const auto list = [&] {
    const auto start = Clock::now();
    if (connector->WriteListing("\\many", false, pc.string()) != 1) Die("WriteListing failed");
    return Seconds(start);
  };
  // One untimed pass of each: the folder's entries are then cached for both.
  list();
  TimeLs(many, ls_out);
  const Pair listed = TimeBoth(rounds, list, [&] { return TimeLs(many, ls_out); });
  // The parent line and one line per file.
  const size_t lines = LineCount(listing);
  correct &= lines == static_cast<size_t>(files) + 1;
  std::printf("WriteListing %.3f s  ls -l into a file %.3f s  (median of %d); listing lines %zu\n", listed.ours,
              listed.tool, rounds, lines);
  const double ratio = listed.ours / listed.tool;
  std::printf("ratio WriteListing / ls -l: %.2f (goal <= 2.00) %s\n", ratio, Verdict(ratio <= 2.0));

  connector->Disconnect();
  fs::remove_all(root);
  return correct ? 0 : 1;
}
