// The engines' reads and writes with time limits. Writes: a byte or a block
// that must get out within a deadline (30 s for a byte, 60 s for a block),
// retrying while the transmit buffer is full, checking for abort between
// attempts, and logging how much time is left as the deadline nears.
// Reads: the next byte within a limit, checking for abort while waiting.
#pragma once

#include <cstdint>

#include "link/transfer/transfer_state.h"

namespace pelikon {

// 0 when sent; otherwise the transfer's error is set and returned: -615 on
// time-out or write error, or the abort check's error.
int WriteCharTimed(TransferState& transfer, uint8_t byte);
// 0 when all sent; -612 on time-out or write error, -615 when the wait hook
// fails, or the abort check's error.
int WriteBufferTimed(TransferState& transfer, const uint8_t* data, int length);

// The next byte (0-255) within `limit_ms`; -8 when none came in time; the
// abort check's error when the run must end; or the port's read error.
// A byte that is already waiting comes back at once, without a call.
int WaitForChar(TransferState& transfer, uint32_t limit_ms);
inline int ReadCharTimed(TransferState& transfer, uint32_t limit_ms) {
  const int c = transfer.port->ReadChar();
  return c != kSerialNoData ? c : WaitForChar(transfer, limit_ms);
}

}  // namespace pelikon
