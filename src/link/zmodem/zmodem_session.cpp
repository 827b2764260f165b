#include "link/zmodem/zmodem_session.h"

namespace pelikon::zmodem {

Session::Session(SerialPort& port, bool sending, TransferMessageHook hook, TransferStatusCallback status) {
  transfer.Begin(kProtocolZmodem, port, sending, std::move(hook), std::move(status));
  buffer.reserve(kMaxSubpacket);
}

int Session::Start(const std::vector<int>& codes) {
  const int parsed = ParseStartOptions(codes, TransferEngine::kZmodem, transfer.sending, options);
  if (parsed != 0) return parsed;
  transfer.retry_limit = options.retry_limit;
  transfer.carrier_check = options.carrier_check;
  transfer.abort_key = options.abort_key;
  return 0;
}

int Session::Finish(int success_result) {
  if (transfer.error == 0) return success_result;
  SerialPort& port = *transfer.port;
  if (transfer.error != kXferRemoteAbort) {
    port.ClearTx();
    static const uint8_t kCancel[] = {24, 24, 24, 24, 24, 24, 24, 24, 24, 24, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8};
    port.WriteBlock(kCancel, sizeof kCancel);
    port.Delay(1000);
    port.FlushRx();
  }
  return transfer.error;
}

}  // namespace pelikon::zmodem
