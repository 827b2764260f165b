#include "support/pty_relay.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <deque>
#include <random>

namespace pelikon::testing {

namespace {

using Clock = std::chrono::steady_clock;

// Bytes on their way in one direction, each chunk with the moment it may
// leave the line.
struct Direction {
  int from = -1;
  int to = -1;
  std::deque<std::pair<Clock::time_point, std::string>> queue;
  Clock::time_point line_free = Clock::now();  // when the line finishes what it carries
  std::string pending;                         // due but not yet taken by the receiving side
  size_t queued = 0;                           // bytes in `queue`
};

// A paced line holds no more than a serial driver's buffer: a sender
// that writes faster than the line runs waits, as it would on a real port.
constexpr size_t kPacedLineBuffer = 4096;

}  // namespace

PtyRelay::PtyRelay(LineModel model) : model_(model) {
  thread_ = std::thread([this] { Run(); });
}

PtyRelay::~PtyRelay() {
  Stop();
}

void PtyRelay::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void PtyRelay::Run() {
  std::mt19937_64 random(model_.seed);
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const double byte_error = model_.bit_error_rate * 8;
  Direction directions[2];
  directions[0].from = a_.MasterFd();
  directions[0].to = b_.MasterFd();
  directions[1].from = b_.MasterFd();
  directions[1].to = a_.MasterFd();
  // When pacing, take small bites so the pace stays smooth.
  const size_t bite = model_.bytes_per_second > 0 ? 64 : 65536;
  Clock::time_point stalled_until{};
  bool stall_done = false;

  while (!stop_) {
    const auto now = Clock::now();
    // Deliver what is due.
    for (Direction& d : directions) {
      while (!d.queue.empty() && d.queue.front().first <= now) {
        d.pending += d.queue.front().second;
        d.queued -= d.queue.front().second.size();
        d.queue.pop_front();
      }
      if (!d.pending.empty() && now >= stalled_until) {
        const ssize_t n = ::write(d.to, d.pending.data(), d.pending.size());
        if (n > 0) d.pending.erase(0, static_cast<size_t>(n));
      }
    }
    // Take in what was sent.
    struct pollfd entries[2] = {{directions[0].from, POLLIN, 0}, {directions[1].from, POLLIN, 0}};
    if (model_.bytes_per_second > 0) {
      for (int i = 0; i < 2; ++i)
        if (directions[i].queued + directions[i].pending.size() >= kPacedLineBuffer) entries[i].fd = -1;
    }
    int timeout_ms = 20;
    for (const Direction& d : directions) {
      if (!d.pending.empty()) timeout_ms = 1;
      if (!d.queue.empty()) {
        const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(d.queue.front().first - now).count();
        timeout_ms = std::max(0, std::min<int>(timeout_ms, static_cast<int>(wait)));
      }
    }
    if (::poll(entries, 2, timeout_ms) < 0 && errno != EINTR) return;
    for (int i = 0; i < 2; ++i) {
      if (!(entries[i].revents & POLLIN)) continue;
      Direction& d = directions[i];
      char buffer[65536];
      const ssize_t n = ::read(d.from, buffer, bite);
      if (n <= 0) continue;
      std::string bytes;
      bytes.reserve(static_cast<size_t>(n));
      for (ssize_t k = 0; k < n; ++k) {
        char c = buffer[k];
        if (model_.drop_rate > 0 && unit(random) < model_.drop_rate) {
          ++faults_;
          continue;
        }
        if (byte_error > 0 && unit(random) < byte_error) {
          c = static_cast<char>(c ^ (1 << (random() % 8)));
          ++faults_;
        }
        bytes += c;
      }
      auto& counter = i == 0 ? a_to_b_ : b_to_a_;
      counter += n;
      if (i == 0 && !stall_done && model_.stall_after_bytes >= 0 && counter >= model_.stall_after_bytes) {
        stall_done = true;
        stalled_until = Clock::now() + std::chrono::milliseconds(model_.stall_ms);
      }
      const auto arrival = Clock::now();
      Clock::time_point due = arrival + std::chrono::milliseconds(model_.latency_ms);
      if (model_.bytes_per_second > 0) {
        const auto start = std::max(arrival, d.line_free);
        d.line_free = start + std::chrono::duration_cast<Clock::duration>(
                                  std::chrono::duration<double>(static_cast<double>(n) / model_.bytes_per_second));
        due = d.line_free + std::chrono::milliseconds(model_.latency_ms);
      }
      if (!bytes.empty()) {
        d.queued += bytes.size();
        d.queue.emplace_back(due, std::move(bytes));
      }
    }
  }
}

}  // namespace pelikon::testing
