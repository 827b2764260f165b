// The serial port: the only route to a data collector on a COM port.
//
// A `SerialPort` moves bytes without ever blocking: reads return at once
// with what is waiting (-8 when nothing is), writes take only what fits in
// the transmit buffer (-9 with the count taken). Every wait of the line
// operations goes through `Idle`, which lets the user interface handle its
// events and then waits briefly for the descriptor, so neither the window
// freezes nor a core spins.
//
// The base class answers every operation with "not supported" (-24),
// except `Close` and `ClearStatus`; a driver overrides what it can do.
// Each operation records its result in the port's status (0 when fine).
//
// Every open port is listed process-wide and closed at exit.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/serial/serial_lock_file.h"
#include "platform/clock.h"
#include "platform/settings_store.h"
#include "platform/ui.h"

namespace pelikon {

// Port status and operation results.
enum SerialError : int {
  kSerialOk = 0,
  kSerialSystemError = -1,
  kSerialInvalidPort = -2,
  kSerialInUse = -3,  // in use, or access denied
  kSerialDefaultError = -5,
  kSerialBadArgument = -7,
  kSerialNoData = -8,        // nothing waiting, or timed out
  kSerialPartialWrite = -9,  // transmit buffer full, only part written
  kSerialNotFound = -14,
  kSerialNotSupported = -24,
  kSerialBaudTooHigh = -25,
  kSerialBadParity = -26,
  kSerialBadDataBits = -27,
  kSerialBadStopBits = -28,
  kSerialLineTooLong = -31,   // line buffer too small
  kSerialTransmitBusy = -36,  // treated like -9
};

// Modem status bits.
enum ModemStatusBits : int { kModemCts = 0x10, kModemDsr = 0x20, kModemRing = 0x40, kModemCarrier = 0x80 };
// Line status bits (accumulated line errors).
enum LineErrorBits : int {
  kLineRxOverflow = 1,
  kLineOverrun = 2,
  kLineParity = 4,
  kLineFrame = 8,
  kLineBreak = 16,
  kLineTxFull = 256,
};

// `PutLine`/`GetLine` terminators besides a byte value 0-255.
inline constexpr int kTerminatorNone = -1;
inline constexpr int kTerminatorCrLf = -2;
// `PutLine`/`GetLine` time-out: no limit.
inline constexpr int kNoTimeout = -1;
// Buffer sizes each way, as the caller sees them.
inline constexpr int kSerialBufferBytes = 1050;

// What a port needs from its surroundings: the time source for every wait,
// the user interface to keep alive (may be null), and the folder of the
// lock files by which programs share serial devices (serial_lock_file.h;
// empty: none are honoured or taken).
struct SerialHooks {
  Clock* clock = &DefaultClock();
  Ui* ui = nullptr;
  std::filesystem::path lock_folder = SystemSerialLockFolder();
};

// The words for a port status or operation result, untranslated (marked
// for the catalogue); nullptr for a code that is none of them.
const char* SerialErrorText(int code);

class SerialPort {
 public:
  SerialPort(int port_index, SerialHooks hooks);
  virtual ~SerialPort();
  SerialPort(const SerialPort&) = delete;
  SerialPort& operator=(const SerialPort&) = delete;

  int PortIndex() const { return port_index_; }
  int Status() const { return status_; }
  // Bytes moved by the last block read or write; after a line operation,
  // the length of the line.
  int LastCount() const { return last_count_; }
  Clock& GetClock() const { return *hooks_.clock; }

  // The next byte 0-255, or -8 when nothing is waiting (or a read error).
  // Served from the port's receive buffer, which `Receive` refills in
  // blocks: no system call per byte.
  int ReadChar() {
    if (rx_begin_ < rx_end_) {
      status_ = kSerialOk;
      return rx_[rx_begin_++];
    }
    return RefillAndReadChar();
  }
  // Up to `max` bytes that are already waiting; -8 when none.
  int ReadBlock(uint8_t* buffer, int max);

  // ---- The operations a driver provides ----------------------------------
  virtual int WriteChar(uint8_t byte);  // a one-byte block write
  virtual int Close();                  // releases the device; the port leaves the list
  virtual int SetParameters(int baud, char parity, int data_bits, int stop_bits);
  virtual int SetXonXoff(bool on);
  virtual int SetRtsCts(bool on);
  virtual int SetDtrDsr(bool on);
  virtual int SetDtr(bool on);
  virtual int SetRts(bool on);
  virtual int TxFree();
  virtual int TxCount();
  virtual int RxFree();
  virtual int RxCount();
  virtual int ClearTx();
  virtual int WriteBlock(const uint8_t* data, int length);  // 0 when all taken, else -9
  virtual int Dump(const std::function<void(const std::string&)>& print);
  virtual int SendBreak(int ms);
  virtual int ModemStatus();
  virtual int LineStatus();
  virtual int ClearLineErrors();
  int ClearStatus();

  // ---- Built on the operations, the same for every driver -----------------
  // 1 when no byte waits, 0 when some do, or a negative code.
  int RxEmpty();
  // Reads and discards until nothing is waiting.
  int FlushRx();
  // Waits `ms` milliseconds, keeping the interface alive.
  int Delay(int ms);
  // The wait hook: lets the interface run, then waits a few milliseconds
  // for input (or just for time when input is already waiting).
  int Idle();
  // The same, for a writer waiting for room in the transmit buffer.
  int IdleForOutput();
  // Writes `text` and its terminator (-2 CR LF, 0-255 that byte, -1 none),
  // retrying while the transmit buffer is full until `timeout_ms` (-1: no
  // limit). Leaves the status as it was. Returns the last block result.
  int PutLine(std::string_view text, int terminator, int timeout_ms);
  // Reads one line of at most `size` - 1 characters into `line`, ending at
  // CR LF (terminator -1 or -2) or at the terminator byte; the deadline is
  // fixed at the start. Returns 0, -8 on time-out (with the partial line),
  // -31 when the line does not fit, -7 for bad arguments, or the read error.
  int GetLine(std::string& line, int size, int terminator, int timeout_ms);

  // True for the shared stand-in returned when no port could be made.
  virtual bool IsDummy() const { return false; }

 protected:
  int SetStatus(int code) { return status_ = code; }
  void SetLastCount(int count) { last_count_ = count; }
  int NotSupported() { return SetStatus(kSerialNotSupported); }
  // Reads what the system has waiting into `buffer`: 0 with `received` > 0,
  // -8 when nothing waits, or an error code.
  virtual int Receive(uint8_t* buffer, size_t capacity, size_t& received);
  // Bytes taken from the system but not yet read by the caller.
  size_t Buffered() const { return rx_end_ - rx_begin_; }
  // How `Idle` waits: drivers with a descriptor wait on it; others sleep.
  virtual void WaitForInput(uint32_t ms);
  // Waits for room in the transmit buffer after a -9.
  virtual void WaitForOutput(uint32_t ms);
  SerialHooks hooks_;

 private:
  int RefillAndReadChar();
  int Refill();

  int port_index_;
  int status_ = 0;
  int last_count_ = 0;
  std::array<uint8_t, kSerialBufferBytes> rx_{};
  size_t rx_begin_ = 0;
  size_t rx_end_ = 0;
};

// Closes and frees a port (the shared dummy is only closed).
struct SerialPortCloser {
  void operator()(SerialPort* port) const;
};
using SerialPortHandle = std::unique_ptr<SerialPort, SerialPortCloser>;

// The device of COM n (n = port index + 1): the settings value "port<n>"
// when set, else /dev/ttyS<n-1>.
std::string SerialDevicePath(const SettingsStore& settings, int port_number);

// Opens `device` as COM(port_index+1) at `baud`, no parity, 8 data bits,
// 1 stop bit, every handshake off. The port is exclusive to this process,
// and a device another program has locked (a lock file of a live process
// in the hooks' lock folder) is in use; while open, the port holds a lock
// file of its own where the folder allows one.
// Always returns a port; it counts as opened only when its status is 0
// (-14 missing device, -3 in use or access denied, -2 not a serial device,
// -25 bad speed ...). When no port can be made at all, the shared dummy
// port comes back with status -5.
SerialPortHandle OpenSerialLink(int port_index, int baud, const std::string& device, SerialHooks hooks = {});

// A port on two streams the process already has (standard input and output,
// say): a terminal is put in raw mode at `baud` for the port's lifetime;
// pipes work too. The streams are not closed with the port.
SerialPortHandle OpenSerialStreams(int port_index, int input_fd, int output_fd, int baud, SerialHooks hooks = {});

// Ports currently open in this process, and closing them all (done at exit).
int OpenPortCount();
void CloseAllPorts();

}  // namespace pelikon
