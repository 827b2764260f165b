#include "support/memory_port.h"

#include <algorithm>

namespace pelikon::testing {

MemorySerialPort::MemorySerialPort(FakeClock& clock, Ui* ui) : SerialPort(0, SerialHooks{&clock, ui}) {}

void MemorySerialPort::Feed(std::string_view bytes) {
  input_.insert(input_.end(), bytes.begin(), bytes.end());
}

std::string MemorySerialPort::TakeOutput() {
  std::string out;
  out.swap(output_);
  return out;
}

int MemorySerialPort::Receive(uint8_t* buffer, size_t capacity, size_t& received) {
  received = std::min(capacity, input_.size());
  if (received == 0) return hung_up_ ? kSerialSystemError : kSerialNoData;
  std::copy_n(input_.begin(), received, buffer);
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(received));
  return kSerialOk;
}

int MemorySerialPort::RxCount() {
  SetStatus(kSerialOk);
  return static_cast<int>(input_.size() + Buffered());
}

int MemorySerialPort::RxFree() {
  return std::max(0, kSerialBufferBytes - RxCount());
}

int MemorySerialPort::TxFree() {
  SetStatus(kSerialOk);
  return tx_room_ < 0 ? kSerialBufferBytes : tx_room_;
}

int MemorySerialPort::WriteBlock(const uint8_t* data, int length) {
  if (write_failure_ != 0) return SetStatus(write_failure_);
  const int taken = tx_room_ < 0 ? length : std::min(length, tx_room_);
  const std::string_view written(reinterpret_cast<const char*>(data), static_cast<size_t>(taken));
  output_.append(written);
  SetLastCount(taken);
  if (on_write_ && taken > 0) on_write_(written);
  return SetStatus(taken == length ? kSerialOk : kSerialPartialWrite);
}

int MemorySerialPort::ModemStatus() {
  if (modem_status_ < 0) return SetStatus(modem_status_);
  SetStatus(kSerialOk);
  return modem_status_;
}

}  // namespace pelikon::testing
