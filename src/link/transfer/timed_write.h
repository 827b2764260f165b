// The engines' writes: a byte or a block that must get out within a
// deadline (30 s for a byte, 60 s for a block), retrying while the transmit
// buffer is full, checking for abort between attempts, and logging how
// much time is left as the deadline nears.
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

}  // namespace pelikon
