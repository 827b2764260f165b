// Zmodem on the wire: frame types, escaping, hex and binary headers, data
// subpackets, and reading them back with the protocol's time limits. Both
// the sender and the receiver use this; neither touches bytes otherwise.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "link/transfer/timed_io.h"
#include "link/transfer/transfer_state.h"

namespace pelikon::zmodem {

inline constexpr uint8_t kZpad = '*';
inline constexpr uint8_t kZdle = 24;  // also CAN
inline constexpr uint8_t kXon = 17;
inline constexpr uint8_t kXoff = 19;

enum FrameType : int {
  kZrqinit = 0,
  kZrinit = 1,
  kZsinit = 2,
  kZack = 3,
  kZfile = 4,
  kZskip = 5,
  kZnak = 6,
  kZabort = 7,
  kZfin = 8,
  kZrpos = 9,
  kZdata = 10,
  kZeof = 11,
  kZferr = 12,
};

// Subpacket ends, as sent after ZDLE.
enum SubpacketEnd : int { kZcrce = 'h', kZcrcg = 'i', kZcrcq = 'j', kZcrcw = 'k' };

// Receiver capabilities (ZRINIT's fourth data byte).
enum Capabilities : int { kCanFullDuplex = 0x01, kCanOverlapIo = 0x02, kCanBreak = 0x04, kCanCrc32 = 0x20 };

// ZFILE's management and conversion bytes.
inline constexpr int kZf0Resume = 3;
inline constexpr int kZf1Append = 3;

inline constexpr size_t kMaxSubpacket = 1024;

// Results of reading besides a frame type or an end letter.
enum WireResult : int {
  kWireNoHeader = -2,  // the hunt ended without a usable header (a retry was counted)
  kWireTimeout = kSerialNoData,
  kWireBadCrc = -100,
  kWireBadEscape = -101,
  kWireTooLong = kSerialLineTooLong,
};

using HeaderData = std::array<uint8_t, 4>;

HeaderData PositionData(int64_t position);
int64_t DataPosition(const HeaderData& data);

// Encoding, appended to `out`.
bool NeedsEscape(uint8_t byte);
void AppendEscaped(std::vector<uint8_t>& out, uint8_t byte);
void AppendHexHeader(std::vector<uint8_t>& out, int type, const HeaderData& data);
void AppendBinaryHeader(std::vector<uint8_t>& out, int type, const HeaderData& data, bool crc32);
void AppendSubpacket(std::vector<uint8_t>& out, const uint8_t* data, size_t length, int end, bool crc32);

struct Header {
  int type = -1;
  HeaderData data{};
  char format = 0;  // 'A', 'B' or 'C'
  bool ended_with_lf = false;
};

// The reading and writing side of one engine run.
class Wire {
 public:
  explicit Wire(TransferState& transfer) : transfer_(transfer) {}

  // Hunts for a header and reads it. Returns its type (>= 0), or
  // kWireNoHeader (a retry was counted, the transfer's error set at the
  // limit), or a negative transfer error when the run must end. Ten
  // seconds without a character end the hunt.
  int ReadHeader(Header& header);
  // Reads a header the other side owes, counting a damaged or missing one
  // as a retry like ReadHeader, but listening only `silent_seconds` to a
  // silent line: then kWireTimeout, so that the caller can ask again.
  int ReadAnswer(Header& header, int silent_seconds);
  // The same hunt without counting or logging anything it passes over, for
  // a side that expects leftovers of an abandoned stream. Returns the type,
  // kWireTimeout after `silent_seconds` without a character, kWireNoHeader
  // when what came was no usable header, or a transfer error.
  int HuntHeader(Header& header, int silent_seconds);
  // Reads one data subpacket in the CRC of the last header. Returns its end
  // letter, or kWireTimeout, kWireBadCrc, kWireBadEscape, kWireTooLong, or a
  // transfer error.
  int ReadSubpacket(std::vector<uint8_t>& data, bool crc32);

  // Sending; 0, or the write's transfer error.
  int SendHexHeader(int type, const HeaderData& data);
  int SendBinaryHeader(int type, const HeaderData& data, bool crc32);
  int SendSubpacket(const uint8_t* data, size_t length, int end, bool crc32);
  int SendBytes(const std::vector<uint8_t>& bytes);

  // Gives back a character already taken from the line.
  void Unread(int c) { pushed_back_ = c; }
  // Counts a protocol error; at the limit the transfer fails with -610.
  void CountRetry();

  TransferState& Transfer() { return transfer_; }

 private:
  int NextChar(uint32_t limit_ms) {
    if (pushed_back_ < 0) return ReadCharTimed(transfer_, limit_ms);
    const int c = pushed_back_;
    pushed_back_ = -1;
    return c;
  }
  // A character of a header after the ZPAD: parity stripped, XON/XOFF skipped.
  int HeaderChar();
  // A byte of a binary header or subpacket, ZDLE escapes resolved; end
  // letters come back as 0x100 | letter.
  int EscapedByte(uint32_t limit_ms);
  int HuntForPad(int silent_seconds);
  // A hunt and a header; damage comes back as it was found (kWireBadCrc …).
  int Hunt(Header& header, int silent_seconds);
  // Logs and counts a hunt that found no usable header.
  void CountFailedHunt(int result);
  int ReadHexHeader(Header& header);
  int ReadBinaryHeader(Header& header, bool crc32);

  TransferState& transfer_;
  int pushed_back_ = -1;
  std::vector<uint8_t> out_;
};

}  // namespace pelikon::zmodem
