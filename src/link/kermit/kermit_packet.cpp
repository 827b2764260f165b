#include "link/kermit/kermit_packet.h"

#include <algorithm>
#include <ctime>

#include "link/transfer/timed_io.h"
#include "platform/text.h"

namespace pelikon::kermit {

namespace {

constexpr uint32_t kCharLimitMs = 1000;

bool Printable(int c) {
  return (c >= 33 && c <= 62) || (c >= 96 && c <= 126);
}

// The next byte within `limit_ms`, or kSerialNoData. Any other negative
// result ends the run and is the transfer's error: an abort, or a read
// that failed, which is final on a line whose far end has gone.
int LineChar(TransferState& transfer, uint32_t limit_ms) {
  const int c = ReadCharTimed(transfer, limit_ms);
  if (c >= 0 || c == kSerialNoData) return c;
  if (transfer.error == 0) {
    transfer.Logf("Error %d receiving packet", c);
    transfer.error = kXferCharRead;
  }
  return transfer.error;
}

}  // namespace

std::string SendInitData(const Link& link, bool sender, bool offer_eighth_bit, bool repeat_allowed) {
  std::string data;
  data += ToChar(kDefaultMaxl);
  data += ToChar(kDefaultTime);
  data += ToChar(0);     // NPAD
  data += Ctl(0);        // PADC
  data += ToChar('\r');  // EOL
  data += '#';           // QCTL
  data += sender ? (offer_eighth_bit ? '&' : 'N') : 'Y';
  data += '1';  // CHKT
  data += repeat_allowed ? link.rept : ' ';
  data += ToChar(kAttributeCapability);
  return data;
}

void ApplySendInit(std::string_view data, char offered_qbin, Link& link) {
  const size_t n = data.size();
  if (n > 0) link.maxl = UnChar(data[0]) > 0 ? std::min(UnChar(data[0]), kDefaultMaxl) : kDefaultMaxl;
  if (n > 1 && UnChar(data[1]) > 0) link.time = UnChar(data[1]);
  if (n > 2) link.npad = std::max(0, UnChar(data[2]));
  if (n > 3) link.padc = Ctl(static_cast<unsigned char>(data[3]));
  if (n > 4 && UnChar(data[4]) > 0) link.eol = static_cast<char>(UnChar(data[4]));
  if (n > 5 && data[5] != ' ') link.their_qctl = data[5];
  const char their_qbin = n > 6 ? data[6] : 'N';
  if (offered_qbin == 'Y') {
    link.eighth_bit = their_qbin != 'N' && their_qbin != 'Y' && Printable(static_cast<unsigned char>(their_qbin));
    if (link.eighth_bit) link.qbin = their_qbin;
  } else if (offered_qbin == '&') {
    link.eighth_bit = their_qbin == '&' || their_qbin == 'Y';
    if (link.eighth_bit) link.qbin = '&';
  } else {
    link.eighth_bit = false;
  }
  if (n >= 9) {
    const char their_rept = data[8];
    if (link.repeat == -1) {
      link.repeat = Printable(static_cast<unsigned char>(their_rept)) ? 1 : 0;
      if (link.repeat == 1) link.rept = their_rept;
    } else if (link.repeat == 1 && their_rept != link.rept) {
      link.repeat = 0;
    }
  } else {
    link.repeat = 0;
  }
  link.capas = n >= 10 ? UnChar(data[9]) : 0;
}

char Check1(std::string_view bytes) {
  unsigned sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return ToChar(static_cast<int>((sum + ((sum & 192) / 64)) & 63));
}

std::string BuildPacket(char type, int sequence, std::string_view data, char eol) {
  std::string packet;
  packet.reserve(data.size() + 6);
  packet += static_cast<char>(kSoh);
  packet += ToChar(static_cast<int>(data.size()) + 3);
  packet += ToChar(sequence % 64);
  packet += type;
  packet += data;
  packet += Check1(std::string_view(packet).substr(1));
  packet += eol;
  return packet;
}

namespace {

// The encoding of one byte (without repeat), appended to `out`.
void EncodeByte(const Link& link, uint8_t byte, std::string& out) {
  if (link.seven_bit) byte &= 0x7F;
  if (link.eighth_bit && (byte & 0x80)) {
    out += link.qbin;
    byte &= 0x7F;
  }
  const uint8_t low = byte & 0x7F;
  if (low < 32 || low == 127) {
    out += '#';
    out += static_cast<char>(byte ^ 64);
    return;
  }
  if (low == '#' || (link.eighth_bit && low == static_cast<uint8_t>(link.qbin)) ||
      (link.repeat == 1 && low == static_cast<uint8_t>(link.rept))) {
    out += '#';
  }
  out += static_cast<char>(byte);
}

}  // namespace

size_t DataFieldLimit(const Link& link) {
  return link.maxl > 3 ? static_cast<size_t>(link.maxl - 3) : 0;
}

size_t LongestByteEncoding(const Link& link) {
  // Control prefix and character, behind the eighth-bit prefix when quoting.
  return link.eighth_bit ? 3 : 2;
}

size_t EncodeData(const Link& link, const uint8_t* data, size_t length, std::string& out) {
  out.clear();
  const size_t limit = DataFieldLimit(link);
  const size_t target = link.maxl > 6 ? static_cast<size_t>(link.maxl - 6) : 0;
  size_t taken = 0;
  std::string piece;
  // Whatever the target, a packet carries at least one byte when it can.
  while (taken < length && (out.empty() || out.size() < target)) {
    size_t run = 1;
    if (link.repeat == 1) {
      while (taken + run < length && run < 94 && data[taken + run] == data[taken]) ++run;
    }
    piece.clear();
    if (run >= 3) {
      piece += link.rept;
      piece += ToChar(static_cast<int>(run));
      EncodeByte(link, data[taken], piece);
    } else {
      run = 1;
      EncodeByte(link, data[taken], piece);
    }
    // One byte's encoding is never split, and never runs past the packet.
    if (out.size() + piece.size() > limit) {
      if (!out.empty() || run == 1) break;
      // A run too long for an empty packet: its first byte goes alone.
      run = 1;
      piece.clear();
      EncodeByte(link, data[taken], piece);
      if (piece.size() > limit) break;
    }
    out += piece;
    taken += run;
  }
  return taken;
}

void DecodeData(const Link& link, std::string_view field, std::vector<uint8_t>& out) {
  size_t i = 0;
  const size_t n = field.size();
  while (i < n) {
    int count = 1;
    if (link.repeat == 1 && field[i] == link.rept && i + 1 < n) {
      count = UnChar(field[i + 1]);
      if (count < 0) count = 0;
      i += 2;
      if (i >= n) break;
    }
    bool high = false;
    if (link.eighth_bit && field[i] == link.qbin && i + 1 < n) {
      high = true;
      ++i;
    }
    uint8_t byte = static_cast<uint8_t>(field[i]);
    if (field[i] == link.their_qctl && i + 1 < n) {
      ++i;
      byte = static_cast<uint8_t>(field[i]);
      const uint8_t low = byte & 0x7F;
      if (low >= 63 && low <= 95) byte ^= 64;
    }
    ++i;
    if (high) byte |= 0x80;
    if (link.seven_bit) byte &= 0x7F;
    out.insert(out.end(), static_cast<size_t>(count), byte);
  }
}

int64_t ReadAttributeDate(std::string_view text) {
  const size_t blank = text.find(' ');
  const std::string_view date = text.substr(0, blank);
  std::string time = blank == std::string_view::npos ? std::string("00:00:00") : std::string(text.substr(blank + 1));
  if (time.size() == 5) time += ":00";
  if (date.size() != 8 && date.size() != 6) return -1;
  for (const char c : date)
    if (c < '0' || c > '9') return -1;
  std::tm parts{};
  const int year_digits = static_cast<int>(date.size()) - 4;
  int year = LenientInt32(date.substr(0, static_cast<size_t>(year_digits)));
  if (year_digits == 2) year += year < 50 ? 2000 : 1900;
  parts.tm_year = year - 1900;
  parts.tm_mon = LenientInt32(date.substr(static_cast<size_t>(year_digits), 2)) - 1;
  parts.tm_mday = LenientInt32(date.substr(static_cast<size_t>(year_digits) + 2, 2));
  if (time.size() != 8 || time[2] != ':' || time[5] != ':') return -1;
  parts.tm_hour = LenientInt32(std::string_view(time).substr(0, 2));
  parts.tm_min = LenientInt32(std::string_view(time).substr(3, 2));
  parts.tm_sec = LenientInt32(std::string_view(time).substr(6, 2));
  parts.tm_isdst = -1;
  const std::time_t moment = std::mktime(&parts);
  return moment == static_cast<std::time_t>(-1) ? -1 : static_cast<int64_t>(moment);
}

char ReadPacket(TransferState& transfer, const Link& link, Packet& packet) {
  packet = Packet{};
  // The mark, within TIME quiet seconds.
  int quiet_seconds = 0;
  for (;;) {
    const int c = LineChar(transfer, kCharLimitMs);
    if (c == kSoh) break;
    if (c == kSerialNoData) {
      if (++quiet_seconds >= link.time) return packet.type = kTimedOut;
      continue;
    }
    if (c < 0) return packet.type = kAborted;
    quiet_seconds = 0;
  }
  for (;;) {
    // LEN, then as many characters as it says; a new mark starts over.
    std::string body;
    int wanted = -1;
    bool restart = false;
    while (wanted < 0 || static_cast<int>(body.size()) < wanted + 1) {
      const int c = LineChar(transfer, kCharLimitMs);
      if (c < 0) return packet.type = c == kSerialNoData ? kTimedOut : kAborted;
      if (c == kSoh) {
        restart = true;
        break;
      }
      body += static_cast<char>(c);
      if (wanted < 0) {
        wanted = UnChar(body[0]);
        if (wanted < 3 || wanted > 94) return packet.type = kBadCheck;
      }
      if (c == '\r' && static_cast<int>(body.size()) < wanted + 1) return packet.type = kBadCheck;
    }
    if (restart) continue;
    // body = LEN SEQ TYPE DATA CHECK
    const std::string_view checked(body.data(), body.size() - 1);
    if (Check1(checked) != body.back()) return packet.type = kBadCheck;
    packet.sequence = UnChar(body[1]) & 63;
    packet.data.assign(body, 3, body.size() - 4);
    packet.type = body[2];
    if (CheckAbort(transfer) != 0) packet.type = kAborted;
    return packet.type;
  }
}

int DrainUntilQuiet(TransferState& transfer, uint32_t quiet_ms) {
  for (;;) {
    const int c = LineChar(transfer, quiet_ms);
    if (c == kSerialNoData) return 0;
    if (c < 0) return c;
  }
}

int SendPacket(TransferState& transfer, const Link& link, char type, int sequence, std::string_view data) {
  for (int i = 0; i < link.npad; ++i)
    if (WriteCharTimed(transfer, static_cast<uint8_t>(link.padc)) != 0) return transfer.error;
  const std::string packet = BuildPacket(type, sequence, data, link.eol);
  if (WriteBufferTimed(transfer, reinterpret_cast<const uint8_t*>(packet.data()), static_cast<int>(packet.size())) !=
      0) {
    transfer.Log("Error sending buffer");
    transfer.error = kXferBufferFull;
    return transfer.error;
  }
  return 0;
}

}  // namespace pelikon::kermit
