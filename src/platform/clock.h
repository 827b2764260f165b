// Milliseconds and waiting, behind an interface so that every time-out in
// the program can be tested without sleeping on the real clock.
//
// `NowMs` is a steady, monotonic millisecond count (the program only ever
// subtracts two readings); `SleepMs` waits at least that long;
// `WaitForDescriptor` waits at most that long for a descriptor to become
// ready and returns at once when it is. The fake clock advances its count
// by exactly the requested time instead of waiting.
#pragma once

#include <cstdint>
#include <functional>

namespace pelikon {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() const = 0;
  virtual void SleepMs(uint32_t ms) = 0;
  // Waits until `fd` has one of `events` (poll(2) bits) or `ms` passed.
  // Returns the events that are ready (0 on time-out).
  virtual short WaitForDescriptor(int fd, short events, uint32_t ms) = 0;
};

// The process's steady clock.
class SystemClock final : public Clock {
 public:
  uint64_t NowMs() const override;
  void SleepMs(uint32_t ms) override;
  short WaitForDescriptor(int fd, short events, uint32_t ms) override;
};

// The one steady clock that real code uses when no other is injected.
Clock& DefaultClock();

// A clock that only moves when told: `SleepMs`, `Advance` and a wait that
// finds its descriptor not ready move it. A test can hook each move, for
// example to let a simulated peer send its next byte.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(uint64_t start_ms = 1000) : now_(start_ms) {}
  uint64_t NowMs() const override { return now_; }
  void SleepMs(uint32_t ms) override {
    slept_ += ms;
    Advance(ms);
  }
  // Looks at the descriptor without waiting; when it is not ready, moves
  // the time on by `ms` (running the hook) and looks once more.
  short WaitForDescriptor(int fd, short events, uint32_t ms) override;
  void Advance(uint64_t ms) {
    now_ += ms;
    if (on_advance_) on_advance_(now_);
  }
  // Called with the new time after every move.
  void OnAdvance(std::function<void(uint64_t now_ms)> hook) { on_advance_ = std::move(hook); }
  // Total time spent in SleepMs, for tests that check how long code waited.
  uint64_t SleptMs() const { return slept_; }

 private:
  uint64_t now_;
  uint64_t slept_ = 0;
  std::function<void(uint64_t)> on_advance_;
};

}  // namespace pelikon
