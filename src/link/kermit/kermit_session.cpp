#include "link/kermit/kermit_session.h"

namespace pelikon::kermit {

Session::Session(SerialPort& port, bool sending, TransferMessageHook hook, TransferStatusCallback status) {
  transfer.Begin(kProtocolKermit, port, sending, std::move(hook), std::move(status));
  transfer.retry_limit = kTryLimit;
}

int Session::Start(const std::vector<int>& codes) {
  const int parsed = ParseStartOptions(codes, TransferEngine::kKermit, transfer.sending, options);
  if (parsed != 0) return parsed;
  transfer.carrier_check = options.carrier_check;
  transfer.abort_key = options.abort_key;
  link.seven_bit = options.seven_bit;
  link.repeat = options.repeat ? (transfer.sending ? 1 : -1) : 0;
  return 0;
}

bool Session::CountTry() {
  ++transfer.retries;
  ++transfer.total_retries;
  if (++tries < kTryLimit) return true;
  transfer.Log("Exceeded protocol error limit");
  if (transfer.error == 0) transfer.error = kXferErrorLimit;
  return false;
}

int Session::Finish(int success_result) {
  if (transfer.error == 0) return success_result;
  const int error = transfer.error;
  // The error packet must go out even when the run was cancelled.
  transfer.error = 0;
  TransferStatusCallback status = std::move(transfer.status_callback);
  transfer.status_callback = nullptr;
  SendPacket(transfer, link, 'E', link.sequence, "");
  transfer.port->Delay(1000);
  transfer.port->FlushRx();
  transfer.status_callback = std::move(status);
  transfer.error = error;
  return error;
}

}  // namespace pelikon::kermit
