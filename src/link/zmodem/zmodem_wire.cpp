#include "link/zmodem/zmodem_wire.h"

#include "link/transfer/crc.h"
#include "link/transfer/timed_io.h"
#include "platform/text.h"

namespace pelikon::zmodem {

namespace {

// Time limits of reading.
constexpr uint32_t kPadLimitMs = 1000;     // each character while hunting
constexpr int kPadTimeouts = 10;           // limits in a row that end the hunt
constexpr uint32_t kHeaderLimitMs = 2500;  // each character of a header or subpacket
constexpr uint32_t kHexTailLimitMs = 55;   // the line end of a hex header
constexpr int kGarbageLimit = 2048;
constexpr int kCanAbort = 5;
constexpr int kEscapedEnd = 0x100;
// The hunt heard nothing for as long as it was told to listen; kept apart
// from a time-out inside a header, which is damage.
constexpr int kSilence = -3;

constexpr std::array<bool, 256> MakeEscapeTable() {
  std::array<bool, 256> table{};
  for (int byte : {13, 16, 17, 19, 24, 141, 144, 145, 147}) table[static_cast<size_t>(byte)] = true;
  return table;
}
constexpr std::array<bool, 256> kEscape = MakeEscapeTable();

const char kHexDigits[] = "0123456789abcdef";

void AppendHexByte(std::vector<uint8_t>& out, uint8_t byte) {
  out.push_back(static_cast<uint8_t>(kHexDigits[byte >> 4]));
  out.push_back(static_cast<uint8_t>(kHexDigits[byte & 15]));
}

int HexValue(int c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool IsFlowControl(int c) {
  return (c & 0x7F) == kXon || (c & 0x7F) == kXoff;
}

}  // namespace

HeaderData PositionData(int64_t position) {
  const auto p = static_cast<uint32_t>(position);
  return {static_cast<uint8_t>(p), static_cast<uint8_t>(p >> 8), static_cast<uint8_t>(p >> 16),
          static_cast<uint8_t>(p >> 24)};
}

int64_t DataPosition(const HeaderData& data) {
  return static_cast<int64_t>(data[0]) | (static_cast<int64_t>(data[1]) << 8) | (static_cast<int64_t>(data[2]) << 16) |
         (static_cast<int64_t>(data[3]) << 24);
}

bool NeedsEscape(uint8_t byte) {
  return kEscape[byte];
}

void AppendEscaped(std::vector<uint8_t>& out, uint8_t byte) {
  if (kEscape[byte]) {
    out.push_back(kZdle);
    out.push_back(byte ^ 0x40);
  } else {
    out.push_back(byte);
  }
}

void AppendHexHeader(std::vector<uint8_t>& out, int type, const HeaderData& data) {
  out.push_back(kZpad);
  out.push_back(kZpad);
  out.push_back(kZdle);
  out.push_back('B');
  uint16_t crc = Crc16Update(0, static_cast<uint8_t>(type));
  AppendHexByte(out, static_cast<uint8_t>(type));
  for (uint8_t byte : data) {
    crc = Crc16Update(crc, byte);
    AppendHexByte(out, byte);
  }
  AppendHexByte(out, static_cast<uint8_t>(crc >> 8));
  AppendHexByte(out, static_cast<uint8_t>(crc));
  out.push_back('\r');
  out.push_back('\n');
  if (type != kZack && type != kZfin) out.push_back(kXon);
}

void AppendBinaryHeader(std::vector<uint8_t>& out, int type, const HeaderData& data, bool crc32) {
  out.push_back(kZpad);
  out.push_back(kZdle);
  out.push_back(crc32 ? 'C' : 'A');
  AppendEscaped(out, static_cast<uint8_t>(type));
  for (uint8_t byte : data) AppendEscaped(out, byte);
  if (crc32) {
    uint32_t crc = Crc32Update(0xFFFFFFFFu, static_cast<uint8_t>(type));
    for (uint8_t byte : data) crc = Crc32Update(crc, byte);
    crc = ~crc;
    for (int i = 0; i < 4; ++i) AppendEscaped(out, static_cast<uint8_t>(crc >> (8 * i)));
  } else {
    uint16_t crc = Crc16Update(0, static_cast<uint8_t>(type));
    for (uint8_t byte : data) crc = Crc16Update(crc, byte);
    AppendEscaped(out, static_cast<uint8_t>(crc >> 8));
    AppendEscaped(out, static_cast<uint8_t>(crc));
  }
}

void AppendSubpacket(std::vector<uint8_t>& out, const uint8_t* data, size_t length, int end, bool crc32) {
  // Escaping at most doubles the data; write straight into the room.
  const size_t start = out.size();
  out.resize(start + 2 * length + 2 * 4 + 3);
  uint8_t* p = out.data() + start;
  auto put = [&p](uint8_t byte) {
    if (kEscape[byte]) {
      *p++ = kZdle;
      *p++ = byte ^ 0x40;
    } else {
      *p++ = byte;
    }
  };
  if (crc32) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < length; ++i) {
      crc = Crc32Update(crc, data[i]);
      put(data[i]);
    }
    *p++ = kZdle;
    *p++ = static_cast<uint8_t>(end);
    crc = ~Crc32Update(crc, static_cast<uint8_t>(end));
    for (int i = 0; i < 4; ++i) put(static_cast<uint8_t>(crc >> (8 * i)));
  } else {
    uint16_t crc = 0;
    for (size_t i = 0; i < length; ++i) {
      crc = Crc16Update(crc, data[i]);
      put(data[i]);
    }
    *p++ = kZdle;
    *p++ = static_cast<uint8_t>(end);
    crc = Crc16Update(crc, static_cast<uint8_t>(end));
    put(static_cast<uint8_t>(crc >> 8));
    put(static_cast<uint8_t>(crc));
  }
  if (end == kZcrcw) *p++ = kXon;
  out.resize(static_cast<size_t>(p - out.data()));
}

void Wire::CountRetry() {
  ++transfer_.retries;
  ++transfer_.total_retries;
  if (transfer_.retries >= transfer_.retry_limit && transfer_.error == 0) transfer_.error = kXferErrorLimit;
}

int Wire::HeaderChar() {
  for (;;) {
    const int c = NextChar(kHeaderLimitMs);
    if (c < 0) return c;
    if (IsFlowControl(c)) continue;
    return c & 0x7F;
  }
}

int Wire::EscapedByte(uint32_t limit_ms) {
  for (;;) {
    int c = NextChar(limit_ms);
    if (c < 0) return c;
    if (c == kZdle) break;
    if (IsFlowControl(c)) continue;
    return c;
  }
  int cans = 1;
  for (;;) {
    const int c = NextChar(limit_ms);
    if (c < 0) return c;
    switch (c) {
      case kZcrce:
      case kZcrcg:
      case kZcrcq:
      case kZcrcw:
        return kEscapedEnd | c;
      case 'l':
        return 0x7F;
      case 'm':
        return 0xFF;
      case kZdle:
        if (++cans >= kCanAbort) {
          transfer_.Log("GetPad: Remote end sent 5-CAN");
          return transfer_.error = kXferRemoteAbort;
        }
        continue;
      default:
        if (IsFlowControl(c)) continue;
        if ((c & 0x60) == 0x40) return c ^ 0x40;
        return kWireBadEscape;
    }
  }
}

int Wire::HuntForPad(int silent_seconds) {
  int timeouts = 0;
  int garbage = 0;
  int cans = 0;
  for (;;) {
    const int c = NextChar(kPadLimitMs);
    if (c == kSerialNoData) {
      if (++timeouts >= silent_seconds) return kSilence;
      continue;
    }
    if (c < 0) return c;
    timeouts = 0;
    if (c == kZpad || c == (kZpad | 0x80)) return kZpad;
    if (c == kZdle) {
      if (++cans >= kCanAbort) {
        transfer_.Log("GetPad: Remote end sent 5-CAN");
        return transfer_.error = kXferRemoteAbort;
      }
      continue;
    }
    cans = 0;
    if (IsFlowControl(c)) continue;
    ++garbage;
    transfer_.garbage_count = garbage;
    if (garbage % 512 == 0) transfer_.Log("GetPad: incoming garbage");
    if (garbage >= kGarbageLimit) {
      transfer_.Log("GetPad: Exceeded garbage count");
      return kWireNoHeader;
    }
  }
}

int Wire::Hunt(Header& header, int silent_seconds) {
  header = Header{};
  int result = HuntForPad(silent_seconds);
  if (result == kZpad) {
    int c;
    do c = HeaderChar();
    while (c == kZpad);
    if (c == kZdle)
      c = HeaderChar();
    else if (c >= 0)
      c = kWireNoHeader;
    if (c >= 0) {
      switch (c) {
        case 'B':
          result = ReadHexHeader(header);
          break;
        case 'A':
          result = ReadBinaryHeader(header, false);
          break;
        case 'C':
          result = ReadBinaryHeader(header, true);
          break;
        default:
          if (c >= 32 && c < 127)
            transfer_.Logf("ReadFrameHeader: Header Type %c", c);
          else
            transfer_.Logf("ReadFrameHeader: Header Type <%d>", c);
          result = kWireNoHeader;
      }
    } else {
      result = c == kSerialNoData ? kWireNoHeader : c;
    }
  }
  if (transfer_.error != 0) return transfer_.error;
  if (result >= 0) {
    header.type = result;
    return result;
  }
  if (result == kSilence || result == kWireNoHeader || result == kWireBadCrc || result == kWireBadEscape ||
      result == kSerialNoData)
    return result;
  // A read error of the port.
  transfer_.error = kXferCharRead;
  return transfer_.error;
}

int Wire::HuntHeader(Header& header, int silent_seconds) {
  const int result = Hunt(header, silent_seconds);
  if (result >= 0 || transfer_.error != 0) return result;
  return result == kSilence ? kWireTimeout : kWireNoHeader;
}

void Wire::CountFailedHunt(int result) {
  transfer_.Logf("ReadFrameHeader: Frame type %d", result == kSilence ? kWireNoHeader : result);
  CountRetry();
}

int Wire::ReadHeader(Header& header) {
  const int result = Hunt(header, kPadTimeouts);
  if (result >= 0 || transfer_.error != 0) return result;
  if (result == kSilence) transfer_.Log("GetPad: timeout on ZPAD");
  CountFailedHunt(result);
  return transfer_.error != 0 ? transfer_.error : kWireNoHeader;
}

int Wire::ReadAnswer(Header& header, int silent_seconds) {
  const int result = Hunt(header, silent_seconds);
  if (result >= 0 || transfer_.error != 0) return result;
  CountFailedHunt(result);
  if (transfer_.error != 0) return transfer_.error;
  return result == kSilence ? kWireTimeout : kWireNoHeader;
}

int Wire::ReadHexHeader(Header& header) {
  header.format = 'B';
  uint8_t bytes[7];
  for (uint8_t& byte : bytes) {
    const int high = HeaderChar();
    if (high < 0) return high;
    const int low = HeaderChar();
    if (low < 0) return low;
    const int h = HexValue(high), l = HexValue(low);
    if (h < 0 || l < 0) return kWireNoHeader;
    byte = static_cast<uint8_t>(h << 4 | l);
  }
  uint16_t crc = 0;
  for (uint8_t byte : bytes) crc = Crc16Update(crc, byte);
  if (crc != 0) {
    transfer_.Log("ReadHexFrameHeaderData: bad CRC-16");
    return kWireBadCrc;
  }
  for (int i = 0; i < 4; ++i) header.data[static_cast<size_t>(i)] = bytes[i + 1];
  // The line end: LF ends cleanly; CR and XON may come before it.
  for (int i = 0; i < 5; ++i) {
    const int c = NextChar(kHexTailLimitMs);
    if (c == kSerialNoData) break;
    if (c < 0) return c;
    const int plain = c & 0x7F;
    if (plain == '\n') {
      header.ended_with_lf = true;
      break;
    }
    if (plain == '\r' || plain == kXon) continue;
    return kWireNoHeader;
  }
  return bytes[0];
}

int Wire::ReadBinaryHeader(Header& header, bool crc32) {
  header.format = crc32 ? 'C' : 'A';
  const size_t count = crc32 ? 9 : 7;
  uint8_t bytes[9];
  for (size_t i = 0; i < count; ++i) {
    const int c = EscapedByte(kHeaderLimitMs);
    if (c < 0) return c == kWireBadEscape ? kWireNoHeader : c;
    if (c & kEscapedEnd) return kWireNoHeader;
    bytes[i] = static_cast<uint8_t>(c);
  }
  if (crc32) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) crc = Crc32Update(crc, bytes[i]);
    if (crc != kCrc32Residue) {
      transfer_.Log("ReadBinaryHeaderData: bad CRC-32");
      return kWireBadCrc;
    }
  } else {
    uint16_t crc = 0;
    for (size_t i = 0; i < count; ++i) crc = Crc16Update(crc, bytes[i]);
    if (crc != 0) {
      transfer_.Log("ReadBinaryHeaderData: bad CRC-16");
      return kWireBadCrc;
    }
  }
  for (int i = 0; i < 4; ++i) header.data[static_cast<size_t>(i)] = bytes[i + 1];
  return bytes[0];
}

int Wire::ReadSubpacket(std::vector<uint8_t>& data, bool crc32) {
  data.clear();
  uint32_t crc32_value = 0xFFFFFFFFu;
  uint16_t crc16_value = 0;
  for (;;) {
    const int c = EscapedByte(kHeaderLimitMs);
    if (c < 0) return transfer_.error != 0 ? transfer_.error : c;
    if (c & kEscapedEnd) {
      const int end = c & 0xFF;
      const int crc_bytes = crc32 ? 4 : 2;
      if (crc32)
        crc32_value = Crc32Update(crc32_value, static_cast<uint8_t>(end));
      else
        crc16_value = Crc16Update(crc16_value, static_cast<uint8_t>(end));
      for (int i = 0; i < crc_bytes; ++i) {
        const int b = EscapedByte(kHeaderLimitMs);
        if (b < 0) return transfer_.error != 0 ? transfer_.error : b;
        if (b & kEscapedEnd) return kWireBadCrc;
        if (crc32)
          crc32_value = Crc32Update(crc32_value, static_cast<uint8_t>(b));
        else
          crc16_value = Crc16Update(crc16_value, static_cast<uint8_t>(b));
      }
      if (crc32 ? crc32_value != kCrc32Residue : crc16_value != 0) return kWireBadCrc;
      return end;
    }
    if (data.size() >= kMaxSubpacket) return kWireTooLong;
    data.push_back(static_cast<uint8_t>(c));
    if (crc32)
      crc32_value = Crc32Update(crc32_value, static_cast<uint8_t>(c));
    else
      crc16_value = Crc16Update(crc16_value, static_cast<uint8_t>(c));
  }
}

int Wire::SendBytes(const std::vector<uint8_t>& bytes) {
  return WriteBufferTimed(transfer_, bytes.data(), static_cast<int>(bytes.size()));
}

int Wire::SendHexHeader(int type, const HeaderData& data) {
  out_.clear();
  AppendHexHeader(out_, type, data);
  return SendBytes(out_);
}

int Wire::SendBinaryHeader(int type, const HeaderData& data, bool crc32) {
  out_.clear();
  AppendBinaryHeader(out_, type, data, crc32);
  return SendBytes(out_);
}

int Wire::SendSubpacket(const uint8_t* data, size_t length, int end, bool crc32) {
  out_.clear();
  AppendSubpacket(out_, data, length, end, crc32);
  return SendBytes(out_);
}

}  // namespace pelikon::zmodem
