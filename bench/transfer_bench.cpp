// Transfer throughput, CPU and line efficiency of our engines (through the
// xfer tool) against the reference programs, in all four pairings each,
// over pseudo-terminal pairs joined by a relay:
//  Zmodem against lrzsz (sz/rz):
//   (a) 20 MiB random, unthrottled: wall time, and CPU seconds per MiB of
//       each side;
//   (b) 1 MiB random and 1 MiB CR LF text over an emulated 115200 bit/s
//       line (11,520 bytes/s each way, 5 ms one-way latency): efficiency =
//       payload rate / line rate;
//   (c) random data over the same line with one bit error in 100,000
//       (256 KiB) and in 10,000 (128 KiB), three seeds: completions, the
//       efficiency of each completed run, and of them all together (their
//       payload over their time). Errors come at random, so single runs
//       vary widely; compare the totals.
//  Kermit against gkermit (94-byte packets, stop-and-wait):
//   (a) 4 MiB random, unthrottled;
//   (b) 256 KiB random and 256 KiB CR LF text over the same emulated line,
//       with the stop-and-wait bound for comparison.
//
// usage: transfer_bench [--quick] [zmodem|kermit|noise]
//   --quick: smaller files; noise: only Zmodem (c)
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/peer_process.h"
#include "support/pty_relay.h"

namespace {

using pelikon::testing::LineModel;
using pelikon::testing::PeerProcess;
using pelikon::testing::PtyRelay;
using Clock = std::chrono::steady_clock;

std::filesystem::path g_xfer;

struct Side {
  const char* label;
  bool ours;
  bool kermit;
};

std::vector<std::string> SenderCommand(const Side& side, const std::string& file) {
  const char* protocol = side.kermit ? "kermit" : "zmodem";
  if (side.ours) return {g_xfer.string(), "send", "--protocol", protocol, file};
  if (side.kermit) return {"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-s", file};
  return {"sz", "-b", "-q", file};
}

std::vector<std::string> ReceiverCommand(const Side& side, const std::filesystem::path& folder) {
  const char* protocol = side.kermit ? "kermit" : "zmodem";
  if (side.ours) return {g_xfer.string(), "receive", "--protocol", protocol, "--dir", folder.string()};
  if (side.kermit) return {"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-w", "-r"};
  return {"rz", "-b", "-y", "-q"};
}

struct RunResult {
  bool intact = false;
  bool corrupt = false;  // as long as the source, but different
  double seconds = 0;
  double sender_cpu = 0;
  double receiver_cpu = 0;
};

uintmax_t SizeOf(const std::filesystem::path& file) {
  std::error_code error;
  const uintmax_t size = std::filesystem::file_size(file, error);
  return error ? 0 : size;
}

bool SameContent(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::ifstream x(a, std::ios::binary), y(b, std::ios::binary);
  return std::equal(std::istreambuf_iterator<char>(x), {}, std::istreambuf_iterator<char>(y), {});
}

RunResult Run(const Side& sender_side, const Side& receiver_side, const std::filesystem::path& source,
              const std::filesystem::path& work, const LineModel& line) {
  const std::filesystem::path folder = work / "in";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  const std::filesystem::path target = folder / source.filename();
  const uintmax_t size = SizeOf(source);
  RunResult result;
  PtyRelay relay(line);
  const auto start = Clock::now();
  PeerProcess receiver(ReceiverCommand(receiver_side, folder), relay.EndB(), folder);
  PeerProcess sender(SenderCommand(sender_side, source.filename().string()), relay.EndA(), source.parent_path());
  // The run ends when the sender is done and the file is whole; a receiver
  // still waiting for a closing "OO" the sender swallowed is not waited for,
  // nor one that outlives a sender that gave up.
  const auto limit = start + std::chrono::minutes(10);
  Clock::time_point finished{};
  Clock::time_point sender_done{};
  while (Clock::now() < limit) {
    const bool sender_running = sender.Running();
    const bool receiver_running = receiver.Running();
    if (!sender_running && sender_done == Clock::time_point{}) sender_done = Clock::now();
    if (!sender_running && (!receiver_running || SizeOf(target) == size)) {
      if (finished == Clock::time_point{}) finished = Clock::now();
      if (!receiver_running || Clock::now() - finished > std::chrono::seconds(3)) break;
    }
    if (!sender_running && Clock::now() - sender_done > std::chrono::seconds(30)) break;
    ::usleep(2000);
  }
  if (finished == Clock::time_point{}) finished = Clock::now();
  sender.Kill();
  receiver.Kill();
  result.seconds = std::chrono::duration<double>(finished - start).count();
  result.sender_cpu = sender.CpuSeconds();
  result.receiver_cpu = receiver.CpuSeconds();
  result.intact = SizeOf(target) == size && SameContent(source, target);
  result.corrupt = SizeOf(target) == size && !result.intact;
  return result;
}

void MakeFile(const std::filesystem::path& file, size_t size, bool text) {
  std::mt19937 random(42);
  std::string data(size, '\0');
  if (text) {
    const std::string line = "1001,5000.123,3000.456,100.789,CP\r\n";
    for (size_t i = 0; i < size; ++i) data[i] = line[i % line.size()];
  } else {
    for (char& c : data) c = static_cast<char>(random());
  }
  std::ofstream(file, std::ios::binary).write(data.data(), static_cast<std::streamsize>(data.size()));
}

}  // namespace

// The best a 94-byte stop-and-wait Kermit can do on `line` for `file`: each
// packet carries at most 91 encoded bytes, costs its own 6 framing bytes,
// a 6-byte acknowledgement and a round trip of latency.
double StopAndWaitBound(const std::filesystem::path& file, const LineModel& line) {
  std::ifstream in(file, std::ios::binary);
  const std::string data((std::istreambuf_iterator<char>(in)), {});
  size_t encoded = 0;
  for (const char c : data) {
    const int low = static_cast<unsigned char>(c) & 0x7F;
    encoded += (low < 32 || low == 127 || low == '#' || low == '~') ? 2 : 1;
  }
  const double bytes_per_packet = static_cast<double>(data.size()) * 91.0 / static_cast<double>(encoded);
  const double seconds_per_packet = (91.0 + 6 + 6) / line.bytes_per_second + 2 * line.latency_ms / 1000.0;
  return bytes_per_packet / seconds_per_packet / line.bytes_per_second;
}

// Our engine and the reference program in the four pairings: ours to
// ours, ours to theirs, theirs to ours, theirs to theirs.
struct Pairings {
  explicit Pairings(bool kermit)
      : ours{"pelikon", true, kermit},
        theirs{kermit ? "gkermit" : "lrzsz", false, kermit},
        pairs{{ours, ours}, {ours, theirs}, {theirs, ours}, {theirs, theirs}} {}
  Side ours;
  Side theirs;
  std::pair<Side, Side> pairs[4];
};

// Zmodem over the emulated line with bit errors: each pairing runs once per
// seed; a run completes when the file arrives whole.
void RunNoisy(bool quick, const std::filesystem::path& work, bool& all_intact) {
  const Pairings pairings(false);
  const int seeds = 3;
  for (const double rate : {1e-5, 1e-4}) {
    // At the higher rate most subpackets need more than one try.
    const size_t size = (quick ? (64u << 10) : (256u << 10)) / (rate > 5e-5 ? 2 : 1);
    const auto file = work / "noisy.bin";
    MakeFile(file, size, false);
    std::printf(
        "Zmodem (c) %zu KiB random over an emulated 115200 bit/s line, 5 ms latency, bit-error rate %.0e: "
        "efficiency with seeds 1-%d, and of the completed runs together\n",
        size >> 10, rate, seeds);
    for (const auto& [sender_side, receiver_side] : pairings.pairs) {
      LineModel line;
      line.bytes_per_second = 11520;
      line.latency_ms = 5;
      line.bit_error_rate = rate;
      std::printf("  %-7s -> %-7s", sender_side.label, receiver_side.label);
      int completed = 0, corrupt = 0;
      double seconds = 0;
      for (int seed = 1; seed <= seeds; ++seed) {
        line.seed = static_cast<uint32_t>(seed);
        const RunResult r = Run(sender_side, receiver_side, file, work, line);
        if (r.intact) {
          ++completed;
          seconds += r.seconds;
          std::printf(" %6.3f", static_cast<double>(size) / r.seconds / line.bytes_per_second);
        } else {
          std::printf(" %6s", r.corrupt ? "CORRUPT" : "failed");
        }
        corrupt += r.corrupt ? 1 : 0;
        std::fflush(stdout);
      }
      all_intact &= corrupt == 0;
      std::printf("   completed %d of %d", completed, seeds);
      if (completed > 0)
        std::printf(", together %.3f", completed * static_cast<double>(size) / seconds / line.bytes_per_second);
      std::printf("\n");
      std::fflush(stdout);
    }
  }
}

void RunSuite(bool kermit, bool quick, const std::filesystem::path& work, bool& all_intact) {
  const Pairings pairings(kermit);
  const Side& theirs = pairings.theirs;
  const auto& pairs = pairings.pairs;
  const char* protocol = kermit ? "Kermit" : "Zmodem";

  const size_t big = kermit ? (quick ? (1u << 20) : (4u << 20)) : (quick ? (4u << 20) : (20u << 20));
  const auto big_file = work / (kermit ? "random4.bin" : "random20.bin");
  MakeFile(big_file, big, false);
  const double mib = static_cast<double>(big) / (1 << 20);
  std::printf("%s (a) %.0f MiB random, unthrottled pty pair\n", protocol, mib);
  std::printf("  %-18s %8s %9s %14s %16s\n", "sender -> receiver", "wall s", "MB/s", "send CPU s/MiB",
              "receive CPU s/MiB");
  double rate[4] = {}, send_cpu[4] = {}, recv_cpu[4] = {};
  for (int i = 0; i < 4; ++i) {
    const RunResult r = Run(pairs[i].first, pairs[i].second, big_file, work, {});
    all_intact &= r.intact;
    rate[i] = static_cast<double>(big) / 1e6 / r.seconds;
    send_cpu[i] = r.sender_cpu / mib;
    recv_cpu[i] = r.receiver_cpu / mib;
    std::printf("  %-7s -> %-7s %8.2f %9.2f %14.4f %16.4f%s\n", pairs[i].first.label, pairs[i].second.label, r.seconds,
                rate[i], send_cpu[i], recv_cpu[i], r.intact ? "" : "  CORRUPT/INCOMPLETE");
  }
  std::printf(
      "  ratios pelikon/%s (both sides ours vs both theirs): throughput %.2f, send CPU %.2f, receive CPU %.2f\n",
      theirs.label, rate[0] / rate[3], send_cpu[0] / send_cpu[3], recv_cpu[0] / recv_cpu[3]);
  std::fflush(stdout);

  LineModel line;
  line.bytes_per_second = 11520;
  line.latency_ms = 5;
  const size_t small = kermit ? (quick ? (32u << 10) : (256u << 10)) : (quick ? (128u << 10) : (1u << 20));
  for (const bool text : {false, true}) {
    const auto file = work / (text ? "text.txt" : "random.bin");
    MakeFile(file, small, text);
    std::printf("%s (b) %zu KiB %s over an emulated 115200 bit/s line, 5 ms latency", protocol, small >> 10,
                text ? "CR LF text" : "random");
    if (kermit) std::printf(" (stop-and-wait bound %.3f)", StopAndWaitBound(file, line));
    std::printf("\n");
    for (const auto& [sender_side, receiver_side] : pairs) {
      const RunResult r = Run(sender_side, receiver_side, file, work, line);
      all_intact &= r.intact;
      const double efficiency = static_cast<double>(small) / r.seconds / line.bytes_per_second;
      std::printf("  %-7s -> %-7s %8.1f s  efficiency %.3f%s\n", sender_side.label, receiver_side.label, r.seconds,
                  efficiency, r.intact ? "" : "  CORRUPT/INCOMPLETE");
      std::fflush(stdout);
    }
  }
  if (!kermit) RunNoisy(quick, work, all_intact);
}

int main(int argc, char** argv) {
  bool quick = false, zmodem = true, kermit = true, noise_only = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--quick") == 0)
      quick = true;
    else if (std::strcmp(argv[i], "zmodem") == 0)
      kermit = false;
    else if (std::strcmp(argv[i], "kermit") == 0)
      zmodem = false;
    else if (std::strcmp(argv[i], "noise") == 0)
      noise_only = true;
  }
  g_xfer = std::filesystem::canonical("/proc/self/exe").parent_path() / "xfer";
  char pattern[] = "/tmp/pelikon-xbench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path work = pattern;
  bool all_intact = true;
  if (noise_only) {
    RunNoisy(quick, work, all_intact);
  } else {
    if (zmodem) RunSuite(false, quick, work, all_intact);
    if (kermit) RunSuite(true, quick, work, all_intact);
  }
  std::filesystem::remove_all(work);
  return all_intact ? 0 : 1;
}
