// A serial port in memory, for testing what talks through a port without a
// device: the test feeds what the peer "sent", reads back what was written,
// and can make the transmit buffer full or failing. Time comes from a fake
// clock, so every wait is instant.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <string_view>

#include "link/serial/serial_port.h"
#include "platform/clock.h"

namespace pelikon::testing {

class MemorySerialPort final : public SerialPort {
 public:
  explicit MemorySerialPort(FakeClock& clock, Ui* ui = nullptr);

  // Bytes the peer sent, readable from now on.
  void Feed(std::string_view bytes);
  // Everything written so far, and clearing it.
  std::string TakeOutput();
  const std::string& Output() const { return output_; }
  // Bytes each write may take (the free transmit space); -1 = no limit.
  void SetTxRoom(int bytes) { tx_room_ = bytes; }
  // Every write fails with `code` (0 = writes work).
  void FailWritesWith(int code) { write_failure_ = code; }
  // Called after every write with the bytes just taken, to script a peer.
  void OnWrite(std::function<void(std::string_view written)> hook) { on_write_ = std::move(hook); }
  // The modem status to report (-24 = no modem lines).
  void SetModemStatus(int status) { modem_status_ = status; }
  // The far end closes its side: once what was fed has been read, every
  // read fails as on a hung-up line. Writes are still taken (a line whose
  // output side drains into a buffer nobody reads).
  void HangUp() { hung_up_ = true; }
  // How far the clock moves in one idle wait (the driver's own step when
  // 0). Nothing arrives on this line while it waits, so a longer step only
  // makes long time-outs cheaper to run through.
  void SetIdleStep(uint32_t ms) { idle_step_ms_ = ms; }

  int WriteChar(uint8_t byte) override { return WriteBlock(&byte, 1); }
  int SetParameters(int baud, char, int, int) override {
    baud_ = baud;
    return SetStatus(kSerialOk);
  }
  int Baud() const { return baud_; }
  int TxFree() override;
  int TxCount() override { return SetStatus(kSerialOk); }
  int RxFree() override;
  int RxCount() override;
  int ClearTx() override { return SetStatus(kSerialOk); }
  int WriteBlock(const uint8_t* data, int length) override;
  int ModemStatus() override;

 protected:
  int Receive(uint8_t* buffer, size_t capacity, size_t& received) override;
  void WaitForInput(uint32_t ms) override { GetClock().SleepMs(idle_step_ms_ != 0 ? idle_step_ms_ : ms); }

 private:
  std::deque<uint8_t> input_;
  std::string output_;
  int tx_room_ = -1;
  int baud_ = 0;
  int write_failure_ = 0;
  int modem_status_ = kModemCts | kModemDsr | kModemCarrier;
  bool hung_up_ = false;
  uint32_t idle_step_ms_ = 0;
  std::function<void(std::string_view)> on_write_;
};

}  // namespace pelikon::testing
