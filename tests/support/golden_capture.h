// Golden wire captures: what a reference peer and one of our engines said
// to each other in a recorded session, and a replay of the peer's side for
// unit tests. The text format is described in tests/data/golden/README.md:
// header lines "key value...", then one line per piece of the stream,
// "> hex" for our side and "< hex" for the peer's, in the order the
// recording relay saw them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/memory_port.h"

namespace pelikon::testing {

struct CaptureFile {
  std::string wire_name;  // the name the sending side was given
  std::string stored;     // the original, under tests/data/golden/files/
};

struct Capture {
  std::string protocol;   // "zmodem" or "kermit"
  std::string direction;  // what our engine did: "send" or "receive"
  std::vector<CaptureFile> files;
  std::vector<int> options;
  int64_t mtime = 0;              // every original's modification time, seconds since 1970
  bool peer_sends_dates = false;  // a sending peer gives each file's date
  std::string peer;               // the peer's command line, for the reader
  // The stream: bytes from our side (ours) or the peer's, in order.
  struct Piece {
    bool ours = false;
    std::string bytes;
  };
  std::vector<Piece> pieces;
};

// Reads a capture; false with `error` set when it is not well formed.
bool ReadCapture(const std::filesystem::path& path, Capture& capture, std::string& error);
// The stream lines of one piece, as the recorder writes them (32 bytes a
// line, with a printable rendering after the hex).
std::string FormatPiece(bool ours, std::string_view bytes);

// The peer's side of a capture on an in-memory line. Each piece the peer
// sent becomes readable only once our engine has written exactly the bytes
// that came before it in the capture; every byte our engine writes is
// compared with the capture. At the first difference the line hangs up,
// so the engine ends at once.
class CaptureReplay {
 public:
  CaptureReplay(const Capture& capture, FakeClock& clock);
  CaptureReplay(const CaptureReplay&) = delete;
  CaptureReplay& operator=(const CaptureReplay&) = delete;

  SerialPort& Port() { return port_; }
  // Empty while everything matched; else where and how our side differed.
  const std::string& Mismatch() const { return mismatch_; }
  // Our side wrote everything the capture holds, and the peer's pieces
  // were all released.
  bool Complete() const;
  size_t Written() const { return written_; }
  size_t Expected() const { return expected_.size(); }

 private:
  void OnWrite(std::string_view bytes);
  void Release();

  MemorySerialPort port_;
  std::string expected_;  // everything our side should write
  struct Pending {
    size_t after = 0;  // our bytes written before it
    std::string bytes;
  };
  std::vector<Pending> peer_;
  size_t released_ = 0;
  size_t written_ = 0;
  std::string mismatch_;
};

}  // namespace pelikon::testing
