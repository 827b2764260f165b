// The Zmodem engine: sends and receives files over a serial port on the
// caller's thread, waiting only through the port's wait hook.
//
// Both directions report diagnostics through the message hook and call the
// status callback at every wait (where a cancel request turns into -605).
// A run that fails sends the cancel sequence unless the other side
// aborted. Received names are reduced to bare, safe names and files land
// in `folder` only once complete (see received_file.h).
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/serial/serial_port.h"
#include "link/transfer/transfer_state.h"

namespace pelikon {

// Receives files into `folder`. Returns the number of files received, or a
// negative error (-7 bad start option, -6xx transfer errors).
int ZmodemReceive(SerialPort& port, const std::filesystem::path& folder, TransferMessageHook message_hook,
                  TransferStatusCallback status_callback, const std::vector<int>& options);

// Sends the files named by `file_specs` (names or patterns). Returns the
// number of files sent, -619 when none was, or a negative error.
int ZmodemSend(SerialPort& port, const std::vector<std::string>& file_specs, TransferMessageHook message_hook,
               TransferStatusCallback status_callback, const std::vector<int>& options);

}  // namespace pelikon
