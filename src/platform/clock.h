// Milliseconds and waiting, behind an interface so that every time-out in
// the program can be tested without sleeping on the real clock.
//
// `NowMs` is a steady, monotonic millisecond count (the program only ever
// subtracts two readings); `SleepMs` waits at least that long. The fake
// clock advances its count by exactly the requested time instead.
#pragma once

#include <cstdint>

namespace pelikon {

class Clock {
 public:
  virtual ~Clock() = default;
  virtual uint64_t NowMs() const = 0;
  virtual void SleepMs(uint32_t ms) = 0;
};

// The process's steady clock.
class SystemClock final : public Clock {
 public:
  uint64_t NowMs() const override;
  void SleepMs(uint32_t ms) override;
};

// The one steady clock that real code uses when no other is injected.
Clock& DefaultClock();

// A clock that only moves when told: `SleepMs` and `Advance` move it.
class FakeClock final : public Clock {
 public:
  explicit FakeClock(uint64_t start_ms = 1000) : now_(start_ms) {}
  uint64_t NowMs() const override { return now_; }
  void SleepMs(uint32_t ms) override {
    now_ += ms;
    slept_ += ms;
  }
  void Advance(uint64_t ms) { now_ += ms; }
  // Total time spent in SleepMs, for tests that check how long code waited.
  uint64_t SleptMs() const { return slept_; }

 private:
  uint64_t now_;
  uint64_t slept_ = 0;
};

}  // namespace pelikon
