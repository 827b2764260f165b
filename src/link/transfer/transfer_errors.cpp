#include "link/transfer/transfer_errors.h"

#include "platform/catalogue.h"

namespace pelikon {

const char* TransferErrorText(int code) {
  static const char* const kTexts[] = {
      N_("Memory allocation failed"),
      N_("File could not be opened"),
      N_("Driver failed to send NAK"),
      N_("Driver failed to send ACK"),
      N_("User typed abort key"),
      N_("Abort received from remote system"),
      N_("Error on file I/O"),
      N_("Timeout waiting for first char"),
      N_("Got an invalid packet size"),
      N_("Exceeded protocol error limit"),
      N_("Unexpected error"),
      N_("Buffer full"),
      N_("Driver failed to send EOT"),
      N_("Remote system not obeying protocol"),
      N_("Driver failed to transmit char"),
      N_("Driver failed to receive char"),
      N_("10-second dead timeout"),
      N_("Lost carrier during transfer"),
      N_("Sent no files"),
  };
  if (code > -601 || code < -619) return nullptr;
  return kTexts[-601 - code];
}

}  // namespace pelikon
