#include "link/transfer/timed_io.h"

#include "platform/text.h"

namespace pelikon {

namespace {

struct TimedWriteRules {
  uint32_t deadline_ms;
  const char* countdown_format;  // logged at every 5 seconds left
  int failure;                   // error for a time-out or a write error
};

constexpr TimedWriteRules kCharRules{30000, "%d sec left to WriteChar", kXferCharWrite};
constexpr TimedWriteRules kBufferRules{60000, "%d sec to complete WriteBuffer", kXferBufferFull};

int Fail(TransferState& transfer, int error) {
  transfer.error = error;
  return error;
}

// Writes until everything is taken, the deadline passes, or the run is
// aborted.
int WriteWithDeadline(TransferState& transfer, const uint8_t* data, int length, const TimedWriteRules& rules) {
  SerialPort& port = *transfer.port;
  Clock& clock = port.GetClock();
  const uint64_t start = clock.NowMs();
  // The countdown line next due, in seconds left.
  int next_countdown = static_cast<int>(rules.deadline_ms / 1000) - 5;
  int sent = 0;
  for (;;) {
    const int result = port.WriteBlock(data + sent, length - sent);
    if (result == kSerialOk) return 0;
    if (result != kSerialPartialWrite && result != kSerialTransmitBusy) {
      transfer.Logf("Error %d sending buffer", result);
      return Fail(transfer, rules.failure);
    }
    sent += port.LastCount() > 0 ? port.LastCount() : 0;
    if (sent >= length) return 0;

    const uint64_t passed = clock.NowMs() - start;
    if (passed >= rules.deadline_ms) {
      transfer.Log("Timeout error sending buffer");
      return Fail(transfer, rules.failure);
    }
    const int seconds_left = static_cast<int>((rules.deadline_ms - passed) / 1000);
    if (next_countdown > 0 && seconds_left <= next_countdown) {
      // When several steps passed during one wait, only the last is logged.
      int step = next_countdown;
      while (step - 5 > 0 && step - 5 >= seconds_left) step -= 5;
      transfer.Logf(rules.countdown_format, step);
      next_countdown = step - 5;
    }
    if (const int aborted = CheckAbort(transfer); aborted != 0) return aborted;
    if (port.IdleForOutput() < 0) return Fail(transfer, kXferCharWrite);
  }
}

}  // namespace

int WaitForChar(TransferState& transfer, uint32_t limit_ms) {
  SerialPort& port = *transfer.port;
  int c;
  Clock& clock = port.GetClock();
  const uint64_t start = clock.NowMs();
  for (;;) {
    if (const int aborted = CheckAbort(transfer); aborted != 0) return aborted;
    if (clock.NowMs() - start >= limit_ms) return kSerialNoData;
    port.Idle();
    c = port.ReadChar();
    if (c != kSerialNoData) return c;
  }
}

int WriteCharTimed(TransferState& transfer, uint8_t byte) {
  return WriteWithDeadline(transfer, &byte, 1, kCharRules);
}

int WriteBufferTimed(TransferState& transfer, const uint8_t* data, int length) {
  if (length <= 0) return 0;
  return WriteWithDeadline(transfer, data, length, kBufferRules);
}

}  // namespace pelikon
