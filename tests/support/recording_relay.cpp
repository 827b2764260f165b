#include "support/recording_relay.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

namespace pelikon::testing {

void RecordingRelay::Take(Direction& direction) {
  char buffer[4096];
  const ssize_t n = ::read(direction.from->MasterFd(), buffer, sizeof buffer);
  if (n <= 0) return;
  if (pieces_.empty() || pieces_.back().ours != direction.ours) pieces_.push_back({direction.ours, ""});
  pieces_.back().bytes.append(buffer, static_cast<size_t>(n));
  direction.pending.append(buffer, static_cast<size_t>(n));
}

void RecordingRelay::Pass(Direction& direction) {
  if (direction.pending.empty()) return;
  const ssize_t n = ::write(direction.to->MasterFd(), direction.pending.data(), direction.pending.size());
  if (n > 0) direction.pending.erase(0, static_cast<size_t>(n));
}

void RecordingRelay::RunFor(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    struct pollfd watch[4];
    nfds_t count = 0;
    for (const Direction& d : directions_) watch[count++] = {d.from->MasterFd(), POLLIN, 0};
    // Bytes that could not be passed on yet wait for room on the other side.
    for (const Direction& d : directions_)
      if (!d.pending.empty()) watch[count++] = {d.to->MasterFd(), POLLOUT, 0};
    if (::poll(watch, count, 5) < 0 && errno != EINTR) return;
    for (int i = 0; i < 2; ++i)
      if (watch[i].revents & POLLIN) Take(directions_[i]);
    for (Direction& d : directions_) Pass(d);
  }
}

}  // namespace pelikon::testing
