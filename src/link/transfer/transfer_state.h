// One engine run's record, shared by the Zmodem and Kermit engines and read
// by the status callback that drives the progress window.
//
// The engines report diagnostics through the message hook and check for
// abort at every wait through `CheckAbort`, which runs the status callback
// (a cancelled run comes back with error -605) and, when asked for, watches
// the carrier.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "link/serial/serial_port.h"

namespace pelikon {

// Transfer error codes of the serial engines.
enum TransferError : int {
  kXferMemory = -601,
  kXferOpenFile = -602,
  kXferSendNak = -603,
  kXferSendAck = -604,
  kXferUserAbort = -605,
  kXferRemoteAbort = -606,
  kXferFileIo = -607,
  kXferFirstCharTimeout = -608,
  kXferBadPacketSize = -609,
  kXferErrorLimit = -610,
  kXferUnexpected = -611,
  kXferBufferFull = -612,
  kXferSendEot = -613,
  kXferProtocol = -614,
  kXferCharWrite = -615,
  kXferCharRead = -616,
  kXferDeadTimeout = -617,
  kXferCarrierLost = -618,
  kXferNoFiles = -619,
  kXferSkipFile = -620,
  kXferFileSource = -623,
};

inline constexpr int kProtocolKermit = 5;
inline constexpr int kProtocolZmodem = 7;

struct TransferState;

// Receives each diagnostic text of an engine.
using TransferMessageHook = std::function<void(const std::string& text)>;
// Called at every abort check; may set the state's error (-605 to cancel).
using TransferStatusCallback = std::function<int(TransferState& transfer)>;

struct TransferState {
  int protocol = kProtocolZmodem;
  SerialPort* port = nullptr;
  bool sending = false;
  std::string file_name = "<none>";
  int64_t position = 0;            // bytes confirmed or written so far
  int64_t file_size = 0;           // announced or found
  int64_t modification_time = -1;  // seconds since 1970 of the local time; -1 unknown
  int error = 0;                   // 0, or a TransferError
  int files_done = 0;
  int retries = 0;
  int total_retries = 0;
  int retry_limit = 10;
  int garbage_count = 0;  // characters discarded while hunting for a header
  bool carrier_check = false;
  int abort_key = 0;  // recorded only: cancelling goes through the status callback
  TransferMessageHook message_hook;
  TransferStatusCallback status_callback;

  // Starts a run of `protocol` on `port`.
  void Begin(int run_protocol, SerialPort& run_port, bool run_sending, TransferMessageHook hook,
             TransferStatusCallback status) {
    protocol = run_protocol;
    port = &run_port;
    sending = run_sending;
    message_hook = std::move(hook);
    status_callback = std::move(status);
  }

  // Sends `text` to the message hook, if any.
  void Log(const std::string& text) const {
    if (message_hook) message_hook(text);
  }
  // The same with printf-style formatting, done only when someone listens.
  void Logf(const char* format, ...) const __attribute__((format(printf, 2, 3)));
  // A line about one packet: sent on only when packet tracing is on, since
  // a large file moves hundreds of thousands of packets.
  void LogPacketf(const char* format, ...) const __attribute__((format(printf, 2, 3)));
};

// -618 when carrier checking is on and the modem shows no carrier, else 0.
int CarrierLost(TransferState& transfer);

// The abort check of every wait: runs the status callback, then the
// carrier check. Returns the transfer's error when the run must end
// (-605 cancelled, -618 carrier lost), else 0.
int CheckAbort(TransferState& transfer);

}  // namespace pelikon
