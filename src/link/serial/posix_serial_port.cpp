// The serial driver on POSIX terminals (termios). A pseudo-terminal works
// like any serial device, minus the modem lines and line errors.
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <new>

#include "link/serial/system_serial_port.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// Flow-control characters and limits, as the collector expects them.
constexpr cc_t kXon = 17;
constexpr cc_t kXoff = 19;
constexpr unsigned kFlowLimit = kSerialBufferBytes / 4;

int MapSystemError(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENXIO:
    case ENODEV:
    case EIO:
      return kSerialNotFound;
    case EACCES:
    case EPERM:
    case EBUSY:
    case EWOULDBLOCK:
      return kSerialInUse;
    default:
      return kSerialSystemError;
  }
}

bool IsUnsupported(int error) {
  return error == ENOTTY || error == EINVAL;
}

speed_t SpeedConstant(int baud) {
  switch (baud) {
    case 50:
      return B50;
    case 75:
      return B75;
    case 110:
      return B110;
    case 134:
      return B134;
    case 150:
      return B150;
    case 200:
      return B200;
    case 300:
      return B300;
    case 600:
      return B600;
    case 1200:
      return B1200;
    case 1800:
      return B1800;
    case 2400:
      return B2400;
    case 4800:
      return B4800;
    case 9600:
      return B9600;
    case 19200:
      return B19200;
    case 38400:
      return B38400;
    case 57600:
      return B57600;
    case 115200:
      return B115200;
    default:
      return B0;
  }
}

int BaudOfSpeed(speed_t speed) {
  for (int baud : {50, 75, 110, 134, 150, 200, 300, 600, 1200, 1800, 2400, 4800, 9600, 19200, 38400, 57600, 115200})
    if (SpeedConstant(baud) == speed) return baud;
  return 0;
}

class PosixSerialPort final : public SerialPort {
 public:
  PosixSerialPort(int port_index, SerialHooks hooks) : SerialPort(port_index, hooks) {}
  ~PosixSerialPort() override { Release(); }

  void Open(const std::string& device, int baud);
  void Adopt(int input_fd, int output_fd, int baud);

  int WriteChar(uint8_t byte) override { return WriteBlock(&byte, 1); }
  int Close() override;
  int SetParameters(int baud, char parity, int data_bits, int stop_bits) override;
  int SetXonXoff(bool on) override;
  int SetRtsCts(bool on) override;
  int SetDtrDsr(bool on) override;
  int SetDtr(bool on) override { return ModemLine(TIOCM_DTR, on); }
  int SetRts(bool on) override { return ModemLine(TIOCM_RTS, on); }
  int TxFree() override;
  int TxCount() override;
  int RxFree() override;
  int RxCount() override;
  int ClearTx() override;
  int WriteBlock(const uint8_t* data, int length) override;
  int Dump(const std::function<void(const std::string&)>& print) override;
  int SendBreak(int ms) override;
  int ModemStatus() override;
  int LineStatus() override;
  int ClearLineErrors() override;

 protected:
  void WaitForInput(uint32_t ms) override;
  void WaitForOutput(uint32_t ms) override;

 private:
  int Fail(int error) { return SetStatus(MapSystemError(error)); }
  // Saves the terminal's settings and prepares raw ones. False on failure.
  bool TakeTerminal();
  int Apply();
  int ModemLine(int line, bool on);
  void CollectLineErrors();
  int KernelWaiting();
  int KernelQueued();
  int Receive(uint8_t* buffer, size_t capacity, size_t& received) override;
  // After a read found nothing: a hung-up line is an error, not silence.
  int NothingOrHangUp();
  void Release();

  int fd_ = -1;      // the device, or the input stream
  int out_fd_ = -1;  // where writes go: the device, or the output stream
  bool owns_fds_ = true;
  bool is_tty_ = true;
  bool output_queue_counted_ = true;  // false on pseudo-terminals: their count is always 0
  int saved_in_flags_ = -1;
  int saved_out_flags_ = -1;
  bool restore_settings_ = false;
  struct termios saved_ {};
  struct termios settings_ {};
  bool dtr_dsr_handshake_ = false;
  bool write_blocked_ = false;  // the system refused bytes: wait for it to drain
  bool counters_supported_ = true;
  struct serial_icounter_struct counters_ {};
  int line_errors_ = 0;
  SerialLockFile lock_file_;
};

void PosixSerialPort::Open(const std::string& device, int baud) {
  fd_ = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  out_fd_ = fd_;
  if (fd_ < 0) {
    const int error = errno;
    Trace("\nCOM%d: cannot open %s: %s", PortIndex() + 1, device.c_str(), std::strerror(error));
    Fail(error);
    return;
  }
  if (!::isatty(fd_)) {
    Trace("\nCOM%d: %s is not a serial device", PortIndex() + 1, device.c_str());
    Release();
    SetStatus(kSerialInvalidPort);
    return;
  }
  // Not shared: an advisory lock keeps out every other open, the
  // superuser's too, and exclusive mode keeps out naive openers.
  if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    Trace("\nCOM%d: %s is in use", PortIndex() + 1, device.c_str());
    Release();
    SetStatus(error == EWOULDBLOCK ? kSerialInUse : MapSystemError(error));
    return;
  }
  // Programs that do not take advisory locks announce themselves with
  // lock files instead.
  if (const int locked = lock_file_.Acquire(hooks_.lock_folder, device); locked != kSerialOk) {
    Trace("\nCOM%d: %s is locked by another program", PortIndex() + 1, device.c_str());
    Release();
    SetStatus(locked);
    return;
  }
  ::ioctl(fd_, TIOCEXCL);
  if (!TakeTerminal()) return;
  if (SetParameters(baud, 'N', 8, 1) != kSerialOk) return;
  if (SetDtrDsr(false) != kSerialOk || SetRtsCts(false) != kSerialOk) return;
  SetXonXoff(false);
}

void PosixSerialPort::Adopt(int input_fd, int output_fd, int baud) {
  owns_fds_ = false;
  fd_ = input_fd;
  out_fd_ = output_fd;
  saved_in_flags_ = ::fcntl(fd_, F_GETFL);
  saved_out_flags_ = ::fcntl(out_fd_, F_GETFL);
  if (saved_in_flags_ < 0 || saved_out_flags_ < 0) {
    fd_ = out_fd_ = -1;
    SetStatus(kSerialInvalidPort);
    return;
  }
  ::fcntl(fd_, F_SETFL, saved_in_flags_ | O_NONBLOCK);
  ::fcntl(out_fd_, F_SETFL, saved_out_flags_ | O_NONBLOCK);
  is_tty_ = ::isatty(fd_) != 0;
  // The master side of a pseudo-terminal is a stream: its line settings
  // belong to whoever opened the slave.
  struct stat device {};
  if (is_tty_ && ::fstat(fd_, &device) == 0 && S_ISCHR(device.st_mode) && major(device.st_rdev) == 5 &&
      minor(device.st_rdev) == 2)
    is_tty_ = false;
  if (!is_tty_) {
    counters_supported_ = false;
    SetStatus(kSerialOk);
    return;
  }
  if (!TakeTerminal()) return;
  if (SetParameters(baud, 'N', 8, 1) != kSerialOk) return;
  SetXonXoff(false);
}

bool PosixSerialPort::TakeTerminal() {
  if (::tcgetattr(fd_, &saved_) != 0) {
    const int error = errno;
    Release();
    Fail(error);
    return false;
  }
  restore_settings_ = true;
  settings_ = saved_;
  // Pseudo-terminal slaves (Unix98 majors 136-143) hand their output over
  // at once: there is no queue worth a system call per write.
  struct stat device {};
  if (::fstat(fd_, &device) == 0 && S_ISCHR(device.st_mode) && major(device.st_rdev) >= 136 &&
      major(device.st_rdev) <= 143)
    output_queue_counted_ = false;
  // Binary, no echo, no translation of CR or LF, no signals; reads return
  // at once with whatever is there.
  ::cfmakeraw(&settings_);
  settings_.c_cflag |= CLOCAL | CREAD;
  settings_.c_cflag &= ~HUPCL;
  settings_.c_iflag &= ~(IGNPAR | PARMRK | INPCK);
  settings_.c_cc[VMIN] = 0;
  settings_.c_cc[VTIME] = 0;
  settings_.c_cc[VSTART] = kXon;
  settings_.c_cc[VSTOP] = kXoff;
  if (::ioctl(fd_, TIOCGICOUNT, &counters_) != 0) counters_supported_ = false;
  return true;
}

void PosixSerialPort::Release() {
  if (fd_ < 0) return;
  if (restore_settings_) ::tcsetattr(fd_, TCSANOW, &saved_);
  restore_settings_ = false;
  if (owns_fds_) {
    lock_file_.Release();
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
  } else {
    ::fcntl(fd_, F_SETFL, saved_in_flags_);
    ::fcntl(out_fd_, F_SETFL, saved_out_flags_);
  }
  fd_ = out_fd_ = -1;
}

int PosixSerialPort::Close() {
  if (fd_ >= 0) {
    // Let what was written leave before the line is dropped, without ever
    // hanging on a peer that no longer reads.
    const uint64_t start = GetClock().NowMs();
    while (KernelQueued() > 0 && GetClock().NowMs() - start < 2000) GetClock().SleepMs(5);
    ModemLine(TIOCM_DTR, false);
    ModemLine(TIOCM_RTS, false);
  }
  Release();
  return SerialPort::Close();
}

int PosixSerialPort::Apply() {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (!is_tty_) return SetStatus(kSerialOk);  // a stream has no line settings
  if (::tcsetattr(fd_, TCSANOW, &settings_) != 0) return Fail(errno);
  return SetStatus(kSerialOk);
}

int PosixSerialPort::SetParameters(int baud, char parity, int data_bits, int stop_bits) {
  if (baud > 115200) return SetStatus(kSerialBaudTooHigh);
  tcflag_t parity_flags = 0;
  switch (AsciiUpper(parity)) {
    case 'E':
      parity_flags = PARENB;
      break;
    case 'M':
      parity_flags = PARENB | PARODD | CMSPAR;
      break;
    case 'N':
      parity_flags = 0;
      break;
    case 'O':
      parity_flags = PARENB | PARODD;
      break;
    case 'S':
      parity_flags = PARENB | CMSPAR;
      break;
    default:
      return SetStatus(kSerialBadParity);
  }
  if (stop_bits != 1 && stop_bits != 2) return SetStatus(kSerialBadStopBits);
  const speed_t speed = SpeedConstant(baud);
  if (speed == B0) return SetStatus(kSerialBaudTooHigh);  // no such speed on this system
  tcflag_t size = 0;
  switch (data_bits) {
    case 5:
      size = CS5;
      break;
    case 6:
      size = CS6;
      break;
    case 7:
      size = CS7;
      break;
    case 8:
      size = CS8;
      break;
    default:
      return SetStatus(kSerialSystemError);  // the system refuses it, as applying would
  }
  ::cfsetispeed(&settings_, speed);
  ::cfsetospeed(&settings_, speed);
  settings_.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
  settings_.c_cflag |= size | parity_flags | (stop_bits == 2 ? CSTOPB : 0);
  return Apply();
}

int PosixSerialPort::SetXonXoff(bool on) {
  if (on)
    settings_.c_iflag |= IXON | IXOFF;
  else
    settings_.c_iflag &= ~(IXON | IXOFF | IXANY);
  return Apply();
}

int PosixSerialPort::SetRtsCts(bool on) {
  if (on)
    settings_.c_cflag |= CRTSCTS;
  else
    settings_.c_cflag &= ~CRTSCTS;
  return Apply();
}

int PosixSerialPort::SetDtrDsr(bool on) {
  // Terminals here have no DSR output flow; the line stays raised either way.
  dtr_dsr_handshake_ = on;
  return Apply();
}

int PosixSerialPort::ModemLine(int line, bool on) {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (!is_tty_) return SetStatus(kSerialNotSupported);
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &line) != 0)
    return IsUnsupported(errno) ? SetStatus(kSerialNotSupported) : Fail(errno);
  return SetStatus(kSerialOk);
}

void PosixSerialPort::CollectLineErrors() {
  if (!counters_supported_ || fd_ < 0) return;
  struct serial_icounter_struct now {};
  if (::ioctl(fd_, TIOCGICOUNT, &now) != 0) {
    counters_supported_ = false;
    return;
  }
  if (now.brk != counters_.brk) line_errors_ |= kLineBreak;
  if (now.frame != counters_.frame) line_errors_ |= kLineFrame;
  if (now.overrun != counters_.overrun) line_errors_ |= kLineOverrun;
  if (now.parity != counters_.parity) line_errors_ |= kLineParity;
  if (now.buf_overrun != counters_.buf_overrun) line_errors_ |= kLineRxOverflow;
  counters_ = now;
}

int PosixSerialPort::KernelWaiting() {
  int waiting = 0;
  if (fd_ < 0 || ::ioctl(fd_, FIONREAD, &waiting) != 0) return 0;
  return waiting;
}

int PosixSerialPort::KernelQueued() {
  int queued = 0;
  if (out_fd_ < 0 || !is_tty_ || !output_queue_counted_ || ::ioctl(out_fd_, TIOCOUTQ, &queued) != 0) return 0;
  return queued;
}

int PosixSerialPort::RxCount() {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  CollectLineErrors();
  SetStatus(kSerialOk);
  return static_cast<int>(Buffered()) + KernelWaiting();
}

int PosixSerialPort::RxFree() {
  const int waiting = RxCount();
  return waiting < 0 ? waiting : std::max(0, kSerialBufferBytes - waiting);
}

int PosixSerialPort::TxCount() {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  CollectLineErrors();
  SetStatus(kSerialOk);
  return KernelQueued();
}

int PosixSerialPort::TxFree() {
  const int queued = TxCount();
  return queued < 0 ? queued : std::max(0, kSerialBufferBytes - queued);
}

int PosixSerialPort::ClearTx() {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (is_tty_ && ::tcflush(out_fd_, TCOFLUSH) != 0) return Fail(errno);
  return SetStatus(kSerialOk);
}

int PosixSerialPort::NothingOrHangUp() {
  struct pollfd entry {
    fd_, POLLIN, 0
  };
  // A read that found nothing on a hung-up line: the system reports the
  // line readable (end of file) and hung up at once.
  if (::poll(&entry, 1, 0) > 0 && (entry.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) {
    Trace("\nCOM%d: the line was hung up", PortIndex() + 1);
    return kSerialSystemError;
  }
  return kSerialNoData;
}

int PosixSerialPort::Receive(uint8_t* buffer, size_t capacity, size_t& received) {
  received = 0;
  if (fd_ < 0) return kSerialInvalidPort;
  CollectLineErrors();
  for (;;) {
    const ssize_t n = ::read(fd_, buffer, capacity);
    if (n > 0) {
      received = static_cast<size_t>(n);
      return kSerialOk;
    }
    if (n == 0) return NothingOrHangUp();
    if (errno == EINTR) continue;
    if (errno == EAGAIN) return kSerialNoData;
    const int error = errno;
    Trace("\nCOM%d: read failed: %s", PortIndex() + 1, std::strerror(error));
    return error == EIO ? kSerialSystemError : MapSystemError(error);
  }
}

int PosixSerialPort::WriteBlock(const uint8_t* data, int length) {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (length < 0 || (!data && length > 0)) return SetStatus(kSerialBadArgument);
  const int room = TxFree();
  if (room < 0) return room;
  const size_t wanted = static_cast<size_t>(std::min(length, room));
  size_t taken = 0;
  write_blocked_ = false;
  while (taken < wanted) {
    const ssize_t n = ::write(out_fd_, data + taken, wanted - taken);
    if (n > 0) {
      taken += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) {
      const int error = errno;
      SetLastCount(static_cast<int>(taken));
      Trace("\nCOM%d: write failed: %s", PortIndex() + 1, std::strerror(error));
      return error == EIO ? SetStatus(kSerialSystemError) : Fail(error);
    }
    write_blocked_ = true;
    break;
  }
  SetLastCount(static_cast<int>(taken));
  if (taken == static_cast<size_t>(length)) return SetStatus(kSerialOk);
  return SetStatus(kSerialPartialWrite);
}

void PosixSerialPort::WaitForInput(uint32_t ms) {
  if (fd_ < 0 || Buffered() > 0) {
    GetClock().SleepMs(ms);
    return;
  }
  GetClock().WaitForDescriptor(fd_, POLLIN, ms);
}

void PosixSerialPort::WaitForOutput(uint32_t ms) {
  // The system wakes us when it can take more. Our own 1050-byte limit
  // drains at line speed, so a short sleep serves when it is reached; a
  // write cut only by the size of one call can go on at once.
  if (out_fd_ >= 0 && write_blocked_)
    GetClock().WaitForDescriptor(out_fd_, POLLOUT, ms);
  else if (KernelQueued() >= kSerialBufferBytes)
    GetClock().SleepMs(std::min<uint32_t>(ms, 2));
}

int PosixSerialPort::SendBreak(int ms) {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (!is_tty_) return SetStatus(kSerialNotSupported);
  if (::ioctl(fd_, TIOCSBRK) != 0) return IsUnsupported(errno) ? SetStatus(kSerialNotSupported) : Fail(errno);
  Delay(ms);
  if (::ioctl(fd_, TIOCCBRK) != 0) return Fail(errno);
  return SetStatus(kSerialOk);
}

int PosixSerialPort::ModemStatus() {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  if (!is_tty_) return SetStatus(kSerialNotSupported);
  int lines = 0;
  if (::ioctl(fd_, TIOCMGET, &lines) != 0) return IsUnsupported(errno) ? SetStatus(kSerialNotSupported) : Fail(errno);
  SetStatus(kSerialOk);
  return ((lines & TIOCM_CTS) ? kModemCts : 0) | ((lines & TIOCM_DSR) ? kModemDsr : 0) |
         ((lines & TIOCM_RI) ? kModemRing : 0) | ((lines & TIOCM_CD) ? kModemCarrier : 0);
}

int PosixSerialPort::LineStatus() {
  CollectLineErrors();
  SetStatus(kSerialOk);
  return line_errors_ & (kLineBreak | kLineFrame | kLineOverrun | kLineParity);
}

int PosixSerialPort::ClearLineErrors() {
  CollectLineErrors();
  line_errors_ = 0;
  return SetStatus(kSerialOk);
}

int PosixSerialPort::Dump(const std::function<void(const std::string&)>& print) {
  if (fd_ < 0) return SetStatus(kSerialInvalidPort);
  const struct termios& t = settings_;
  const int byte_size = (t.c_cflag & CSIZE) == CS5   ? 5
                        : (t.c_cflag & CSIZE) == CS6 ? 6
                        : (t.c_cflag & CSIZE) == CS7 ? 7
                                                     : 8;
  int parity = 0;  // the classic numbering: none 0, odd 1, even 2, mark 3, space 4
  if (t.c_cflag & PARENB) {
    if (t.c_cflag & CMSPAR)
      parity = (t.c_cflag & PARODD) ? 3 : 4;
    else
      parity = (t.c_cflag & PARODD) ? 1 : 2;
  }
  const int stop_bits = (t.c_cflag & CSTOPB) ? 2 : 0;
  const int rts_control = (t.c_cflag & CRTSCTS) ? 2 : 1;
  const int dtr_control = dtr_dsr_handshake_ ? 2 : 1;
  const int out_cts = (t.c_cflag & CRTSCTS) ? 1 : 0;
  const int out_dsr = dtr_dsr_handshake_ ? 1 : 0;
  const int out_x = (t.c_iflag & IXON) ? 1 : 0;
  const int in_x = (t.c_iflag & IXOFF) ? 1 : 0;
  const int rx_count = RxCount();
  const int rx_free = RxFree();
  const int tx_count = TxCount();
  const int tx_free = TxFree();
  const int errors = line_errors_;
  const int modem = std::max(0, ModemStatus());
  auto bit = [](int value, int mask) { return (value & mask) ? 1 : 0; };
  print(StrPrintf("Port type:  POSIX termios  DCB BaudRate: %-6d  ByteSize: %1d  Parity: %1d",
                  BaudOfSpeed(::cfgetospeed(&t)), byte_size, parity));
  print(StrPrintf("StopBits: %1d fBinary: %1d  fRtsControl: %1d", stop_bits, 1, rts_control));
  print(StrPrintf("Parity: %1d  OutCtsFlow: %1d  OutDsrFlow: %1d  DtrControl: %1d  OutX: %1d  InX: %1d",
                  (t.c_cflag & PARENB) ? 1 : 0, out_cts, out_dsr, dtr_control, out_x, in_x));
  print(StrPrintf("Null: %1d  DtrControl: %1d  RtsControl: %1d  XonChar: %02x  XoffChar: %02x", 0, dtr_control,
                  rts_control, t.c_cc[VSTART], t.c_cc[VSTOP]));
  print(StrPrintf("XonLim: %-5u XoffLim: %-5u EofChr: %02x  EvtChr: %02x", kFlowLimit, kFlowLimit, 0, 0));
  print(StrPrintf("RX count/free: %5d/%-5d  TX count/free: %5d/%-5d  BREAK/FE/OE/PE: %d%d%d%d", rx_count, rx_free,
                  tx_count, tx_free, bit(errors, kLineBreak), bit(errors, kLineFrame), bit(errors, kLineOverrun),
                  bit(errors, kLineParity)));
  print(StrPrintf("CE_BREAK:%d  CE_FRAME:%d  CE_MODE:%d CE_OVERRUN:%d", bit(errors, kLineBreak),
                  bit(errors, kLineFrame), 0, bit(errors, kLineOverrun)));
  print(StrPrintf("CE_RXOVER:%d CE_RXPARITY:%d CE_TXFULL:%d  CTS/DSR/RI/CD: %d%d%d%d", bit(errors, kLineRxOverflow),
                  bit(errors, kLineParity), bit(errors, kLineTxFull), bit(modem, kModemCts), bit(modem, kModemDsr),
                  bit(modem, kModemRing), bit(modem, kModemCarrier)));
  print(StrPrintf("8250:%.4x", static_cast<unsigned>(modem)));
  return SetStatus(kSerialOk);
}

}  // namespace

SerialPort* MakeSystemSerialPort(int port_index, SerialHooks hooks) {
  return new (std::nothrow) PosixSerialPort(port_index, hooks);
}

void OpenSystemSerialPort(SerialPort& port, const std::string& device, int baud) {
  static_cast<PosixSerialPort&>(port).Open(device, baud);
}

void AdoptSystemStreams(SerialPort& port, int input_fd, int output_fd, int baud) {
  static_cast<PosixSerialPort&>(port).Adopt(input_fd, output_fd, baud);
}

}  // namespace pelikon
