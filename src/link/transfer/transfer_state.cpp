#include "link/transfer/transfer_state.h"

#include <cstdarg>

#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

void TransferState::Logf(const char* format, ...) const {
  if (!message_hook) return;
  va_list args;
  va_start(args, format);
  const std::string text = VStrPrintf(format, args);
  va_end(args);
  message_hook(text);
}

void TransferState::LogPacketf(const char* format, ...) const {
  if (!message_hook || !TracingPackets()) return;
  va_list args;
  va_start(args, format);
  const std::string text = VStrPrintf(format, args);
  va_end(args);
  message_hook(text);
}

int CarrierLost(TransferState& transfer) {
  if (!transfer.carrier_check || !transfer.port) return 0;
  const int modem = transfer.port->ModemStatus();
  // A line without modem signals (a pseudo-terminal) cannot lose a carrier.
  if (modem < 0) return 0;
  return (modem & kModemCarrier) ? 0 : kXferCarrierLost;
}

int CheckAbort(TransferState& transfer) {
  if (transfer.status_callback) transfer.status_callback(transfer);
  if (transfer.error == kXferUserAbort) return kXferUserAbort;
  if (CarrierLost(transfer) != 0) {
    transfer.error = kXferCarrierLost;
    transfer.Log("Transfer aborted...");
    return kXferCarrierLost;
  }
  return 0;
}

}  // namespace pelikon
