#include "link/serial/serial_port.h"

#include <algorithm>
#include <vector>

#include "link/serial/system_serial_port.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// How long one idle wait lasts at most. Input ends it at once, so this
// bounds only how often an idle line wakes the thread.
constexpr uint32_t kIdleWaitMs = 5;

// The process-wide list of open ports; whatever is still open when the
// process ends is closed here.
class PortList {
 public:
  ~PortList() { CloseAll(); }
  void Add(SerialPort* port) { ports_.insert(ports_.begin(), port); }  // newest first
  void Remove(SerialPort* port) { ports_.erase(std::remove(ports_.begin(), ports_.end(), port), ports_.end()); }
  int Count() const { return static_cast<int>(ports_.size()); }
  void CloseAll() {
    while (!ports_.empty()) ports_.front()->Close();
  }

 private:
  std::vector<SerialPort*> ports_;
};

PortList& OpenPorts() {
  static PortList list;
  return list;
}

// The stand-in when no port can be made: every operation unsupported.
class DummySerialPort final : public SerialPort {
 public:
  DummySerialPort() : SerialPort(-1, SerialHooks{}) {
    OpenPorts().Remove(this);
    SetStatus(kSerialDefaultError);
  }
  int Close() override { return SetStatus(kSerialDefaultError); }
  bool IsDummy() const override { return true; }
};

SerialPortHandle SharedDummyPort() {
  static DummySerialPort dummy;
  return SerialPortHandle(&dummy);
}

}  // namespace

SerialPort::SerialPort(int port_index, SerialHooks hooks) : hooks_(hooks), port_index_(port_index) {
  if (!hooks_.clock) hooks_.clock = &DefaultClock();
  OpenPorts().Add(this);
}

SerialPort::~SerialPort() {
  OpenPorts().Remove(this);
}

int SerialPort::Receive(uint8_t*, size_t, size_t&) {
  return NotSupported();
}

int SerialPort::Refill() {
  rx_begin_ = rx_end_ = 0;
  size_t received = 0;
  const int result = Receive(rx_.data(), rx_.size(), received);
  if (result != kSerialOk) return SetStatus(result);
  rx_end_ = received;
  return SetStatus(kSerialOk);
}

int SerialPort::RefillAndReadChar() {
  const int refilled = Refill();
  if (refilled != kSerialOk) return refilled;
  return rx_[rx_begin_++];
}

int SerialPort::ReadBlock(uint8_t* buffer, int max) {
  if (max <= 0 || !buffer) return SetStatus(kSerialBadArgument);
  if (Buffered() == 0) {
    const int refilled = Refill();
    if (refilled != kSerialOk) {
      last_count_ = 0;
      return refilled;
    }
  }
  const size_t count = std::min(Buffered(), static_cast<size_t>(max));
  std::copy_n(rx_.data() + rx_begin_, count, buffer);
  rx_begin_ += count;
  last_count_ = static_cast<int>(count);
  SetStatus(kSerialOk);
  return static_cast<int>(count);
}
int SerialPort::WriteChar(uint8_t) {
  return NotSupported();
}
int SerialPort::SetParameters(int, char, int, int) {
  return NotSupported();
}
int SerialPort::SetXonXoff(bool) {
  return NotSupported();
}
int SerialPort::SetRtsCts(bool) {
  return NotSupported();
}
int SerialPort::SetDtrDsr(bool) {
  return NotSupported();
}
int SerialPort::SetDtr(bool) {
  return NotSupported();
}
int SerialPort::SetRts(bool) {
  return NotSupported();
}
int SerialPort::TxFree() {
  return NotSupported();
}
int SerialPort::TxCount() {
  return NotSupported();
}
int SerialPort::RxFree() {
  return NotSupported();
}
int SerialPort::RxCount() {
  return NotSupported();
}
int SerialPort::ClearTx() {
  return NotSupported();
}
int SerialPort::WriteBlock(const uint8_t*, int) {
  return NotSupported();
}
int SerialPort::SendBreak(int) {
  return NotSupported();
}
int SerialPort::ModemStatus() {
  return NotSupported();
}
int SerialPort::LineStatus() {
  return NotSupported();
}
int SerialPort::ClearLineErrors() {
  return NotSupported();
}

int SerialPort::Dump(const std::function<void(const std::string&)>& print) {
  print("Port dump not supported for this driver");
  return NotSupported();
}

int SerialPort::Close() {
  OpenPorts().Remove(this);
  return SetStatus(kSerialOk);
}

int SerialPort::ClearStatus() {
  return SetStatus(kSerialOk);
}

void SerialPort::WaitForInput(uint32_t ms) {
  GetClock().SleepMs(ms);
}
void SerialPort::WaitForOutput(uint32_t ms) {
  GetClock().SleepMs(ms);
}

int SerialPort::RxEmpty() {
  const int waiting = RxCount();
  if (waiting < 0) return waiting;
  return waiting == 0 ? 1 : 0;
}

int SerialPort::FlushRx() {
  uint8_t chunk[64];
  for (;;) {
    const int result = ReadBlock(chunk, sizeof chunk);
    if (result == kSerialNoData) return SetStatus(kSerialOk);
    if (result < 0) return result;
  }
}

int SerialPort::Idle() {
  if (hooks_.ui) hooks_.ui->Pump();
  WaitForInput(kIdleWaitMs);
  return 0;
}

int SerialPort::IdleForOutput() {
  if (hooks_.ui) hooks_.ui->Pump();
  WaitForOutput(kIdleWaitMs);
  return 0;
}

int SerialPort::Delay(int ms) {
  const uint64_t start = GetClock().NowMs();
  for (;;) {
    const uint64_t passed = GetClock().NowMs() - start;
    if (ms <= 0 || passed >= static_cast<uint64_t>(ms)) return 0;
    if (hooks_.ui) hooks_.ui->Pump();
    // A plain sleep: input that is already waiting must not end the wait.
    GetClock().SleepMs(static_cast<uint32_t>(std::min<uint64_t>(kIdleWaitMs, static_cast<uint64_t>(ms) - passed)));
  }
}

int SerialPort::PutLine(std::string_view text, int terminator, int timeout_ms) {
  if (terminator < kTerminatorCrLf || terminator > 255) return kSerialBadArgument;
  std::string data(text);
  if (terminator == kTerminatorCrLf)
    data += "\r\n";
  else if (terminator >= 0)
    data += static_cast<char>(terminator);

  const int saved_status = status_;
  const uint64_t start = GetClock().NowMs();
  const auto* bytes = reinterpret_cast<const uint8_t*>(data.data());
  const int total = static_cast<int>(data.size());
  int sent = 0;
  int result = kSerialOk;
  while (sent < total) {
    result = WriteBlock(bytes + sent, total - sent);
    if (result == kSerialOk) {
      sent = total;
      break;
    }
    if (result != kSerialPartialWrite && result != kSerialTransmitBusy) break;
    sent += std::max(0, last_count_);
    if (sent >= total) {
      result = kSerialOk;
      break;
    }
    if (timeout_ms != kNoTimeout && GetClock().NowMs() - start >= static_cast<uint64_t>(timeout_ms)) break;
    const int idle = IdleForOutput();
    if (idle < 0) {
      result = idle;
      break;
    }
  }
  status_ = saved_status;
  last_count_ = sent;
  return result;
}

int SerialPort::GetLine(std::string& line, int size, int terminator, int timeout_ms) {
  line.clear();
  if (size < 2 || terminator < kTerminatorCrLf || terminator > 255) return SetStatus(kSerialBadArgument);
  const uint64_t start = GetClock().NowMs();
  const size_t room = static_cast<size_t>(size) - 1;
  const bool ends_with_crlf = terminator == kTerminatorNone || terminator == kTerminatorCrLf;
  bool held_cr = false;

  auto finish = [&](int code) {
    last_count_ = static_cast<int>(line.size());
    return SetStatus(code);
  };
  auto store = [&](char c) {
    if (line.size() >= room) return false;
    line += c;
    return true;
  };

  for (;;) {
    const int c = ReadChar();
    if (c == kSerialNoData) {
      if (timeout_ms != kNoTimeout && GetClock().NowMs() - start >= static_cast<uint64_t>(timeout_ms)) {
        if (held_cr && terminator >= 0) store('\r');
        return finish(kSerialNoData);
      }
      const int idle = Idle();
      if (idle < 0) return finish(idle);
      continue;
    }
    if (c < 0) return finish(c);

    if (ends_with_crlf && held_cr && c == '\n') return finish(kSerialOk);
    if (terminator >= 0 && c == terminator) {
      if (held_cr && !store('\r')) return finish(kSerialLineTooLong);
      return finish(kSerialOk);
    }
    if (held_cr) {
      held_cr = false;
      if (!store('\r')) return finish(kSerialLineTooLong);
    }
    if (c == '\r') {
      held_cr = true;
      continue;
    }
    if (!store(static_cast<char>(c))) return finish(kSerialLineTooLong);
  }
}

const char* SerialErrorText(int code) {
  switch (code) {
    case kSerialOk:
      return N_("success");
    case kSerialSystemError:
      return N_("system error");
    case kSerialInvalidPort:
      return N_("not a serial port");
    case kSerialInUse:
      return N_("port in use or access denied");
    case kSerialDefaultError:
      return N_("port could not be made");
    case kSerialBadArgument:
      return N_("bad argument");
    case kSerialNoData:
      return N_("no data, timed out");
    case kSerialPartialWrite:
      return N_("transmit buffer full, only part written");
    case kSerialNotFound:
      return N_("port not found");
    case kSerialNotSupported:
      return N_("function not supported");
    case kSerialBaudTooHigh:
      return N_("baud rate not supported (at most 115200)");
    case kSerialBadParity:
      return N_("bad parity letter");
    case kSerialBadDataBits:
      return N_("bad data bits");
    case kSerialBadStopBits:
      return N_("bad stop bits");
    case kSerialLineTooLong:
      return N_("line buffer too small");
    case kSerialTransmitBusy:
      return N_("transmit busy");
    default:
      return nullptr;
  }
}

void SerialPortCloser::operator()(SerialPort* port) const {
  if (!port) return;
  port->Close();
  if (!port->IsDummy()) delete port;
}

std::string SerialDevicePath(const SettingsStore& settings, int port_number) {
  const std::string configured = settings.GetValue("port" + std::to_string(port_number));
  if (!configured.empty()) return configured;
  return "/dev/ttyS" + std::to_string(port_number - 1);
}

SerialPortHandle OpenSerialLink(int port_index, int baud, const std::string& device, SerialHooks hooks) {
  SerialPort* port = MakeSystemSerialPort(port_index, hooks);
  if (!port) return SharedDummyPort();
  OpenSystemSerialPort(*port, device, baud);
  return SerialPortHandle(port);
}

SerialPortHandle OpenSerialStreams(int port_index, int input_fd, int output_fd, int baud, SerialHooks hooks) {
  SerialPort* port = MakeSystemSerialPort(port_index, hooks);
  if (!port) return SharedDummyPort();
  AdoptSystemStreams(*port, input_fd, output_fd, baud);
  return SerialPortHandle(port);
}

int OpenPortCount() {
  return OpenPorts().Count();
}

void CloseAllPorts() {
  OpenPorts().CloseAll();
}

}  // namespace pelikon
