#include "platform/clock.h"

#include <poll.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace pelikon {

uint64_t SystemClock::NowMs() const {
  using namespace std::chrono;
  return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void SystemClock::SleepMs(uint32_t ms) {
  std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

namespace {

short PollOnce(int fd, short events, int timeout_ms) {
  struct pollfd entry {
    fd, events, 0
  };
  for (;;) {
    const int ready = ::poll(&entry, 1, timeout_ms);
    if (ready > 0) return entry.revents;
    if (ready == 0 || errno != EINTR) return 0;
  }
}

}  // namespace

short SystemClock::WaitForDescriptor(int fd, short events, uint32_t ms) {
  return PollOnce(fd, events, static_cast<int>(ms));
}

short FakeClock::WaitForDescriptor(int fd, short events, uint32_t ms) {
  const short ready = PollOnce(fd, events, 0);
  if (ready != 0) return ready;
  Advance(ms);
  return PollOnce(fd, events, 0);
}

Clock& DefaultClock() {
  static SystemClock clock;
  return clock;
}

}  // namespace pelikon
