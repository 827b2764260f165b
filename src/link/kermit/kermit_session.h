// What both Kermit directions share within one run.
#pragma once

#include <vector>

#include "link/kermit/kermit_packet.h"
#include "link/transfer/start_options.h"
#include "link/transfer/transfer_state.h"

namespace pelikon::kermit {

class Session {
 public:
  Session(SerialPort& port, bool sending, TransferMessageHook hook, TransferStatusCallback status);

  // Reads the start options; -7 when one is not accepted.
  int Start(const std::vector<int>& codes);
  // Ends the run: on an error an "E" packet goes out, then the line is
  // given a second and read clean. Returns the run's result.
  int Finish(int success_result);
  // Counts a try; at the limit the run fails with -610.
  bool CountTry();

  TransferState transfer;
  StartOptions options;
  Link link;
  int tries = 0;
};

}  // namespace pelikon::kermit
