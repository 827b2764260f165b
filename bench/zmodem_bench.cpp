// Zmodem throughput, CPU and line efficiency: our engine (the xfer tool)
// and lrzsz (sz/rz) in all four pairings, over pseudo-terminal pairs joined
// by a relay.
//  (a) 20 MiB random, unthrottled: wall time, and CPU seconds per MiB of
//      each side;
//  (b) 1 MiB random and 1 MiB CR LF text over an emulated 115200 bit/s
//      line (11,520 bytes/s each way, 5 ms one-way latency): efficiency =
//      payload rate / line rate.
//
// usage: zmodem_bench [--quick]   (--quick: 4 MiB and 128 KiB files)
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
};

std::vector<std::string> SenderCommand(const Side& side, const std::string& file) {
  if (side.ours) return {g_xfer.string(), "send", "--protocol", "zmodem", file};
  return {"sz", "-b", "-q", file};
}

std::vector<std::string> ReceiverCommand(const Side& side, const std::filesystem::path& folder) {
  if (side.ours) return {g_xfer.string(), "receive", "--protocol", "zmodem", "--dir", folder.string()};
  return {"rz", "-b", "-y", "-q"};
}

struct RunResult {
  bool intact = false;
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
  // still waiting for a closing "OO" the sender swallowed is not waited for.
  const auto limit = start + std::chrono::minutes(10);
  Clock::time_point finished{};
  while (Clock::now() < limit) {
    const bool sender_running = sender.Running();
    const bool receiver_running = receiver.Running();
    if (!sender_running && (!receiver_running || SizeOf(target) == size)) {
      if (finished == Clock::time_point{}) finished = Clock::now();
      if (!receiver_running || Clock::now() - finished > std::chrono::seconds(3)) break;
    }
    ::usleep(2000);
  }
  if (finished == Clock::time_point{}) finished = Clock::now();
  sender.Kill();
  receiver.Kill();
  result.seconds = std::chrono::duration<double>(finished - start).count();
  result.sender_cpu = sender.CpuSeconds();
  result.receiver_cpu = receiver.CpuSeconds();
  result.intact = SizeOf(target) == size && SameContent(source, target);
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

int main(int argc, char** argv) {
  const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
  g_xfer = std::filesystem::canonical("/proc/self/exe").parent_path() / "xfer";
  char pattern[] = "/tmp/pelikon-zbench-XXXXXX";
  if (!::mkdtemp(pattern)) return 1;
  const std::filesystem::path work = pattern;
  const Side ours{"pelikon", true}, lrzsz{"lrzsz", false};
  const std::pair<Side, Side> pairs[] = {{ours, ours}, {ours, lrzsz}, {lrzsz, ours}, {lrzsz, lrzsz}};
  bool all_intact = true;

  const size_t big = quick ? (4u << 20) : (20u << 20);
  const auto big_file = work / "random20.bin";
  MakeFile(big_file, big, false);
  const double mib = static_cast<double>(big) / (1 << 20);
  std::printf("(a) %.0f MiB random, unthrottled pty pair\n", mib);
  std::printf("  %-18s %8s %9s %14s %16s\n", "sender -> receiver", "wall s", "MB/s", "send CPU s/MiB", "receive CPU s/MiB");
  double rate[4] = {}, send_cpu[4] = {}, recv_cpu[4] = {};
  for (int i = 0; i < 4; ++i) {
    const RunResult r = Run(pairs[i].first, pairs[i].second, big_file, work, {});
    all_intact &= r.intact;
    rate[i] = static_cast<double>(big) / 1e6 / r.seconds;
    send_cpu[i] = r.sender_cpu / mib;
    recv_cpu[i] = r.receiver_cpu / mib;
    std::printf("  %-7s -> %-7s %8.2f %9.1f %14.4f %16.4f%s\n", pairs[i].first.label, pairs[i].second.label,
                r.seconds, rate[i], send_cpu[i], recv_cpu[i], r.intact ? "" : "  CORRUPT/INCOMPLETE");
  }
  std::printf("  ratios pelikon/lrzsz (both sides ours vs both lrzsz): throughput %.2f, send CPU %.2f, receive CPU %.2f\n",
              rate[0] / rate[3], send_cpu[0] / send_cpu[3], recv_cpu[0] / recv_cpu[3]);

  LineModel line;
  line.bytes_per_second = 11520;
  line.latency_ms = 5;
  const size_t small = quick ? (128u << 10) : (1u << 20);
  for (const bool text : {false, true}) {
    const auto file = work / (text ? "text.txt" : "random.bin");
    MakeFile(file, small, text);
    std::printf("(b) %zu KiB %s over an emulated 115200 bit/s line, 5 ms latency\n", small >> 10,
                text ? "CR LF text" : "random");
    for (const auto& [sender_side, receiver_side] : pairs) {
      const RunResult r = Run(sender_side, receiver_side, file, work, line);
      all_intact &= r.intact;
      const double efficiency = static_cast<double>(small) / r.seconds / line.bytes_per_second;
      std::printf("  %-7s -> %-7s %8.1f s  efficiency %.3f%s\n", sender_side.label, receiver_side.label, r.seconds,
                  efficiency, r.intact ? "" : "  CORRUPT/INCOMPLETE");
    }
  }
  std::filesystem::remove_all(work);
  return all_intact ? 0 : 1;
}
