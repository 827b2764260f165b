// What both Zmodem directions share within one run: the run record, the
// wire, the data buffer, and the end of the run.
#pragma once

#include <vector>

#include "link/transfer/start_options.h"
#include "link/transfer/transfer_state.h"
#include "link/zmodem/zmodem_wire.h"

namespace pelikon::zmodem {

class Session {
 public:
  Session(SerialPort& port, bool sending, TransferMessageHook hook, TransferStatusCallback status);

  // Reads the start options; -7 when one is not accepted.
  int Start(const std::vector<int>& codes);
  // Ends the run: on an error (unless the other side aborted) discards what
  // waits to be sent, sends the cancel sequence, waits a second and reads
  // away what came in. Returns the run's result.
  int Finish(int success_result);

  TransferState transfer;
  StartOptions options;
  Wire wire{transfer};
  std::vector<uint8_t> buffer;
};

}  // namespace pelikon::zmodem
