// Kermit on the wire: packets with the type-1 check, the send-init
// parameters and their negotiation, and the data encoding (control
// prefixing, optional eighth-bit prefixing and repeat compression).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "link/transfer/transfer_state.h"

namespace pelikon::kermit {

inline constexpr uint8_t kSoh = 1;
inline constexpr int kDefaultMaxl = 94;
inline constexpr int kDefaultTime = 30;
inline constexpr int kTryLimit = 100;
inline constexpr int kAttributeCapability = 8;

inline char ToChar(int x) {
  return static_cast<char>(x + 32);
}
inline int UnChar(char c) {
  return static_cast<unsigned char>(c) - 32;
}
inline char Ctl(int c) {
  return static_cast<char>(c ^ 64);
}

// What both sides agreed on, and the packet counter.
struct Link {
  int sequence = 0;         // the counter; the wire carries it modulo 64
  int maxl = kDefaultMaxl;  // longest packet the other side takes
  int time = kDefaultTime;  // seconds to wait for a packet
  int npad = 0;
  char padc = 0;
  char eol = '\r';
  char their_qctl = '#';  // the other side's control prefix (for decoding)
  char qbin = 'N';        // eighth-bit prefix offered / in use
  bool eighth_bit = false;
  int repeat = -1;  // -1 follow the other side, 1 on, 0 off
  char rept = '~';
  int capas = 0;  // the other side's capabilities
  bool seven_bit = false;
};

// This side's send-init parameters (ten characters). `sender` chooses QBIN
// "N" or "&" (with `offer_eighth_bit`); a receiver offers "Y".
std::string SendInitData(const Link& link, bool sender, bool offer_eighth_bit, bool repeat_allowed);
// Takes the other side's send-init parameters. `offered_qbin` is what this
// side offered ("Y", "N" or "&").
void ApplySendInit(std::string_view data, char offered_qbin, Link& link);

// The type-1 check of everything between MARK and CHECK.
char Check1(std::string_view bytes);
// A whole packet: MARK, LEN, SEQ, TYPE, DATA, CHECK, EOL.
std::string BuildPacket(char type, int sequence, std::string_view data, char eol);

// The longest data field a packet may carry: what LEN can describe within
// the other side's MAXL (0 when MAXL leaves no room at all).
size_t DataFieldLimit(const Link& link);
// The longest encoding of a single file byte under the agreed prefixes. A
// data field shorter than this cannot carry every byte, so a sender must
// refuse such a MAXL rather than send packets that carry nothing.
size_t LongestByteEncoding(const Link& link);

// Encodes file bytes from `data` into at most one packet's data field.
// Returns the number of input bytes taken: at least one when any remain and
// the data field can hold LongestByteEncoding, else possibly none.
size_t EncodeData(const Link& link, const uint8_t* data, size_t length, std::string& out);
// Decodes a data field into bytes.
void DecodeData(const Link& link, std::string_view field, std::vector<uint8_t>& out);

// What the reader gives besides a packet's own letter. A run that must stop
// (cancel, lost carrier) is told apart from an attribute packet "A".
inline constexpr char kTimedOut = 'T';
inline constexpr char kBadCheck = 'Q';
inline constexpr char kAborted = '!';

// Seconds since the epoch of an attribute date in local time:
// "yyyymmdd hh:mm:ss" or "yymmdd" (00-49 are 2000-2049, 50-99 1950-1999),
// the time optional ("00:00:00") or without seconds. -1 when unreadable.
int64_t ReadAttributeDate(std::string_view text);

struct Packet {
  char type = 0;     // the letter, or kTimedOut, kBadCheck, kAborted
  int sequence = 0;  // 0-63 as received
  std::string data;
};

// Reads one packet with the link's time limits. A failed read (the line
// hung up) sets error -616 and gives kAborted: nothing more will come, so
// waiting out time-outs and sending again would only burn the retries.
char ReadPacket(TransferState& transfer, const Link& link, Packet& packet);
// Reads away what arrives until the line has been quiet for `quiet_ms`.
// 0, or the run's error (cancel, lost carrier, -616 for a failed read).
int DrainUntilQuiet(TransferState& transfer, uint32_t quiet_ms);
// Sends a packet (padding first); 0, or -612.
int SendPacket(TransferState& transfer, const Link& link, char type, int sequence, std::string_view data);

}  // namespace pelikon::kermit
