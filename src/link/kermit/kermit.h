// The Kermit engine: single-packet stop-and-wait with the type-1 check,
// control prefixing, optional eighth-bit prefixing and repeat compression,
// and attribute packets with the file's date and size. Same run record,
// start options, hooks, file source and safe receiving as the Zmodem
// engine; runs on the caller's thread and waits only through the port.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "link/serial/serial_port.h"
#include "link/transfer/transfer_state.h"

namespace pelikon {

// Receives files into `folder`. Returns the number of files received, or a
// negative error.
int KermitReceive(SerialPort& port, const std::filesystem::path& folder, TransferMessageHook message_hook,
                  TransferStatusCallback status_callback, const std::vector<int>& options);

// Sends the files named by `file_specs`. Returns the number sent, -619 when
// none was, or a negative error.
int KermitSend(SerialPort& port, const std::vector<std::string>& file_specs, TransferMessageHook message_hook,
               TransferStatusCallback status_callback, const std::vector<int>& options);

}  // namespace pelikon
