// The Kermit engine's packets and encoding, and its answers to a scripted
// peer on an in-memory port.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <ctime>
#include <string>
#include <vector>

#include "link/kermit/kermit.h"
#include "link/kermit/kermit_packet.h"
#include "support/memory_port.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using namespace kermit;
using testing::MemorySerialPort;
using testing::TempDir;

std::string Encode(const Link& link, const std::string& bytes) {
  std::string out;
  const size_t taken = EncodeData(link, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), out);
  EXPECT_EQ(taken, bytes.size());
  return out;
}

std::string Decode(const Link& link, const std::string& field) {
  std::vector<uint8_t> out;
  DecodeData(link, field, out);
  return std::string(out.begin(), out.end());
}

TEST(KermitPacket, CheckAndLayout) {
  // A classic send-init: LEN '#' ... check as every Kermit computes it.
  EXPECT_EQ(BuildPacket('Y', 0, "", '\r'), std::string("\x01#  Y", 5).substr(0, 3) + "Y" + Check1("# Y") + "\r");
  const std::string packet = BuildPacket('D', 63, "abc", '\r');
  EXPECT_EQ(packet[1], ToChar(6));
  EXPECT_EQ(packet[2], ToChar(63));
  const std::string next = BuildPacket('D', 64, "abc", '\r');
  EXPECT_EQ(next[2], ToChar(0)) << "the sequence wraps from 63 to 0";
  // s = sum; check = tochar((s + ((s & 192) / 64)) & 63)
  const std::string body = "&!S~>  @-#N1~(";
  unsigned s = 0;
  for (char c : body) s += static_cast<unsigned char>(c);
  EXPECT_EQ(Check1(body), ToChar(static_cast<int>((s + ((s & 192) / 64)) & 63)));
}

TEST(KermitEncoding, PrefixesQuotingAndRepeats) {
  Link plain;
  plain.repeat = 0;
  EXPECT_EQ(Encode(plain, "\r"), "#M");
  EXPECT_EQ(Encode(plain, "#"), "##");
  EXPECT_EQ(Encode(plain, "\x7f"), "#?");
  EXPECT_EQ(Encode(plain, "~~~"), "~~~") << "without repeat, the repeat prefix is an ordinary byte";
  EXPECT_EQ(Encode(plain, "\xC1"), "\xC1") << "eight-bit data goes as it is without quoting";

  Link quoted = plain;
  quoted.eighth_bit = true;
  quoted.qbin = '&';
  EXPECT_EQ(Encode(quoted, "\xC1"), "&A");
  EXPECT_EQ(Encode(quoted, "&"), "#&");
  EXPECT_EQ(Encode(quoted, "\x8D"), "&#M");

  Link repeat = plain;
  repeat.repeat = 1;
  EXPECT_EQ(Encode(repeat, "aa"), "aa") << "runs below three stay as they are";
  EXPECT_EQ(Encode(repeat, "aaa"), std::string("~") + ToChar(3) + "a");
  EXPECT_EQ(Encode(repeat, "~"), "#~");
  std::string out;
  const std::string long_run(200, 'z');
  const size_t taken = EncodeData(repeat, reinterpret_cast<const uint8_t*>(long_run.data()), long_run.size(), out);
  EXPECT_EQ(out.substr(0, 3), std::string("~") + ToChar(94) + "z") << "a run counts at most 94";
  EXPECT_EQ(taken, 200u);

  for (const Link& link : {plain, quoted, repeat}) {
    std::string every;
    for (int round = 0; round < 3; ++round)
      for (int b = 0; b < 256; ++b) every += std::string(static_cast<size_t>(1 + b % 5), static_cast<char>(b));
    std::string decoded;
    size_t at = 0;
    while (at < every.size()) {
      std::string field;
      at += EncodeData(link, reinterpret_cast<const uint8_t*>(every.data()) + at, every.size() - at, field);
      ASSERT_LE(field.size(), 91u) << "LEN must stay within MAXL";
      decoded += Decode(link, field);
    }
    EXPECT_EQ(decoded, every);
  }
}

TEST(KermitNegotiation, RepeatAndEighthBitFollowTheRules) {
  Link receiver;  // repeat -1: follows the sender
  ApplySendInit("~> @-#&1~(", 'Y', receiver);
  EXPECT_TRUE(receiver.eighth_bit);
  EXPECT_EQ(receiver.qbin, '&');
  EXPECT_EQ(receiver.repeat, 1);
  EXPECT_EQ(receiver.capas, 8);

  Link sender;
  sender.repeat = 1;
  ApplySendInit("~> @-#Y1 (", '&', sender);
  EXPECT_TRUE(sender.eighth_bit) << "\"Y\" accepts the offered \"&\"";
  EXPECT_EQ(sender.repeat, 0) << "the other side's prefix differs";

  Link short_init;
  short_init.repeat = 1;
  ApplySendInit("~> @-#N", 'N', short_init);
  EXPECT_EQ(short_init.repeat, 0) << "fewer than nine fields: no repeat";
  EXPECT_EQ(short_init.capas, 0);
  EXPECT_FALSE(short_init.eighth_bit);
}

TEST(KermitAttributes, TwoDigitYearsAndShortTimes) {
  auto local = [](int y, int mo, int d, int h, int mi, int s) {
    std::tm t{};
    t.tm_year = y - 1900;
    t.tm_mon = mo - 1;
    t.tm_mday = d;
    t.tm_hour = h;
    t.tm_min = mi;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return static_cast<int64_t>(std::mktime(&t));
  };
  EXPECT_EQ(ReadAttributeDate("991231 23:59"), local(1999, 12, 31, 23, 59, 0));
  EXPECT_EQ(ReadAttributeDate("051231"), local(2005, 12, 31, 0, 0, 0));
  EXPECT_EQ(ReadAttributeDate("20050704 13:14:15"), local(2005, 7, 4, 13, 14, 15));
  EXPECT_EQ(ReadAttributeDate("2005"), -1);
  EXPECT_EQ(ReadAttributeDate("20050704 1:2"), -1);
}

// A sender script: feeds packets and watches the receiver's answers.
TEST(KermitReceive, ABadCheckIsAnsweredWithNakAndTheResentPacketTaken) {
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  Link link;
  link.repeat = 0;
  std::string good_data = BuildPacket('D', 2, "hello", '\r');
  std::string damaged = good_data;
  damaged[5] = 'j';
  port.Feed(BuildPacket('S', 0, "~> @-#N1 (", '\r') + BuildPacket('F', 1, "t.txt", '\r') + damaged + good_data +
            BuildPacket('Z', 3, "", '\r') + BuildPacket('B', 4, "", '\r'));
  EXPECT_EQ(KermitReceive(port, dir.Path(), nullptr, nullptr, {1007, 27}), 1);
  std::string answers = port.Output();
  // Y(S) Y(F) N(2) Y(D) Y(Z) Y(B)
  std::vector<std::pair<char, int>> seen;
  for (size_t i = 0; (i = answers.find('\x01', i)) != std::string::npos; ++i)
    seen.emplace_back(answers[i + 3], UnChar(answers[i + 2]));
  EXPECT_EQ(seen, (std::vector<std::pair<char, int>>{{'Y', 0}, {'Y', 1}, {'N', 2}, {'Y', 2}, {'Y', 3}, {'Y', 4}}));
  std::string content;
  FILE* f = std::fopen((dir / "t.txt").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  char buffer[16] = {};
  content.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
  std::fclose(f);
  EXPECT_EQ(content, "hello");
}

TEST(KermitReceive, ASilentSenderTimesOutWithItsOwnWords) {
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  port.Feed(BuildPacket('S', 0, "~% @-#N1 (", '\r') + BuildPacket('F', 1, "t.txt", '\r'));  // TIME 5
  std::vector<std::string> log;
  const int result = KermitReceive(port, dir.Path(), [&](const std::string& s) { log.push_back(s); }, nullptr, {});
  EXPECT_EQ(result, kXferErrorLimit);
  EXPECT_NE(std::find(log.begin(), log.end(), "Timeout waiting for Data packet"), log.end());
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the unfinished file is not kept";
  EXPECT_NE(port.Output().find(BuildPacket('E', 2, "", '\r')), std::string::npos) << "the run ends with an E packet";
}

TEST(KermitSend, NoAttributesForAReceiverWithoutTheCapabilityAndMinus619ForNothing) {
  TempDir dir;
  const auto file = dir.Write("a.crd", "abc");
  FakeClock clock;
  MemorySerialPort port(clock);
  int sequence = 0;
  port.OnWrite([&](std::string_view written) {
    if (written.empty() || written[0] != '\x01') return;
    const char type = written[3];
    port.Feed(BuildPacket('Y', sequence++, type == 'S' ? "~> @-#Y1 " : "", '\r'));
  });
  EXPECT_EQ(KermitSend(port, {file.string()}, nullptr, nullptr, {}), 1);
  std::string types;
  const std::string out = port.Output();
  for (size_t i = 0; (i = out.find('\x01', i)) != std::string::npos; ++i) types += out[i + 3];
  EXPECT_EQ(types, "SFDZB");
  sequence = 0;
  port.TakeOutput();
  EXPECT_EQ(KermitSend(port, {(dir / "*.none").string()}, nullptr, nullptr, {}), kXferNoFiles);
  EXPECT_EQ(KermitSend(port, {}, nullptr, nullptr, {1014}), kSerialBadArgument);
}

// The packets in what our side wrote, in order.
std::vector<Packet> WrittenPackets(std::string_view out) {
  std::vector<Packet> packets;
  for (size_t at = out.find('\x01'); at != std::string_view::npos && at + 1 < out.size();
       at = out.find('\x01', at + 1)) {
    const int len = UnChar(out[at + 1]);
    if (len < 3 || at + 2 + static_cast<size_t>(len) > out.size()) break;
    Packet p;
    p.sequence = UnChar(out[at + 2]);
    p.type = out[at + 3];
    p.data = std::string(out.substr(at + 4, static_cast<size_t>(len) - 3));
    packets.push_back(p);
  }
  return packets;
}

// A receiver on the far end of an in-memory line: answers every packet our
// sender writes with "Y" (the send-init with `init`), until `budget`
// packets have come; then it gives up with "E", so a sender that never
// ends still lets the test end.
class ScriptedKermitReceiver {
 public:
  ScriptedKermitReceiver(MemorySerialPort& port, std::string init, int budget = 5000) {
    port.OnWrite([this, &port, init, budget](std::string_view written) {
      pending_ += written;
      for (const Packet& p : WrittenPackets(pending_)) {
        packets_.push_back(p);
        if (p.type == 'D' && hang_up_at_data_) {
          port.HangUp();
          continue;
        }
        const bool give_up = static_cast<int>(packets_.size()) >= budget;
        port.Feed(BuildPacket(give_up ? 'E' : 'Y', p.sequence, p.type == 'S' ? init : "", '\r'));
      }
      pending_.clear();
    });
  }
  // The line goes dead when the first data packet arrives.
  void HangUpAtData() { hang_up_at_data_ = true; }
  const std::vector<Packet>& Packets() const { return packets_; }
  std::string Types() const {
    std::string types;
    for (const Packet& p : packets_) types += p.type;
    return types;
  }

 private:
  std::string pending_;
  std::vector<Packet> packets_;
  bool hang_up_at_data_ = false;
};

TEST(KermitSend, EveryPacketFitsTheReceiversLengthAndCarriesDataOrTheRunEndsClearly) {
  TempDir dir;
  std::string content = testing::EveryByteValue(2) + std::string(200, 'a') + std::string(10, '\x8D') + "#~&";
  const auto file = dir.Write("k", content);
  for (const bool quoting : {false, true}) {
    // Up to 40: the two attributes fit no packet, one, or share one.
    for (int maxl = 0; maxl <= 40; ++maxl) {
      SCOPED_TRACE(::testing::Message() << "MAXL " << maxl << (quoting ? " with eighth-bit quoting" : ""));
      FakeClock clock;
      MemorySerialPort port(clock);
      // MAXL, TIME 30, no padding, CR, "#", QBIN "Y", check 1, repeat "~",
      // attribute packets.
      ScriptedKermitReceiver peer(port, std::string(1, ToChar(maxl)) + "> @-#Y1~(");
      std::vector<int> options = {1007, 27};
      if (quoting) options.push_back(1002);
      const int result = KermitSend(port, {file.string()}, nullptr, nullptr, options);

      const int effective = maxl == 0 ? 94 : maxl;  // 0 asks for the default
      // A data field of LEN - 3 characters must hold "#M", or "&#M" when quoting.
      const bool workable = effective - 3 >= (quoting ? 3 : 2);
      if (!workable) {
        EXPECT_EQ(result, kXferBadPacketSize);
        EXPECT_EQ(peer.Types(), "SE") << "nothing is sent that the receiver cannot take";
        continue;
      }
      ASSERT_EQ(result, 1);
      Link agreed;
      agreed.repeat = 1;
      agreed.eighth_bit = quoting;
      agreed.qbin = '&';
      std::string received, attribute_tags;
      for (const Packet& p : peer.Packets()) {
        if (p.type == 'S') continue;  // sent before the receiver's MAXL is known
        EXPECT_LE(static_cast<int>(p.data.size()) + 3, effective) << p.type << " packet too long";
        if (p.type == 'F') {
          EXPECT_EQ(p.data, "k");
        }
        for (size_t at = 0; p.type == 'A' && at + 1 < p.data.size(); at += 2 + UnChar(p.data[at + 1]))
          attribute_tags += p.data[at];
        if (p.type != 'D') continue;
        EXPECT_FALSE(p.data.empty()) << "an empty data packet";
        received += Decode(agreed, p.data);
      }
      EXPECT_TRUE(received == content) << "the data packets do not add up to the file";
      // The date takes 19 characters, the size 12; whole ones only.
      EXPECT_EQ(attribute_tags, std::string(effective - 3 >= 19 ? "#" : "") + (effective - 3 >= 12 ? "1" : ""));
    }
  }
}

TEST(KermitSend, AFileWithWildcardCharactersInItsNameIsSentAloneAndByThatName) {
  TempDir dir;
  const auto file = dir.Write("what?.txt", "the chosen one");
  dir.Write("whatX.txt", "a neighbour");
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedKermitReceiver peer(port, "~> @-#Y1~(");
  EXPECT_EQ(KermitSend(port, {file.string()}, nullptr, nullptr, {}), 1);
  EXPECT_EQ(peer.Types(), "SFADZB");
  ASSERT_GE(peer.Packets().size(), 4u);
  EXPECT_EQ(peer.Packets()[1].data, "what?.txt");
  EXPECT_EQ(peer.Packets()[3].data, "the chosen one");
}

TEST(KermitSend, AFileNameThatDoesNotFitOnePacketIsRefusedNotCut) {
  TempDir dir;
  const auto file = dir.Write("a-rather-long-name.crd", "abc");
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedKermitReceiver peer(port, "/> @-#Y1~(");  // MAXL 15: twelve characters of data
  EXPECT_EQ(KermitSend(port, {file.string()}, nullptr, nullptr, {}), kXferBadPacketSize);
  EXPECT_EQ(peer.Types(), "SE");
}

TEST(KermitSend, AHungUpLineEndsTheRunAtOnceWithTheReadError) {
  TempDir dir;
  const auto file = dir.Write("job.crd", std::string(500, 'x'));
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedKermitReceiver peer(port, "~> @-#Y1~(");
  peer.HangUpAtData();
  std::vector<std::string> log;
  EXPECT_EQ(KermitSend(port, {file.string()}, [&](const std::string& s) { log.push_back(s); }, nullptr, {}),
            kXferCharRead);
  EXPECT_EQ(peer.Types(), "SFADE") << "no packet is sent again into a dead line";
  EXPECT_EQ(std::count(log.begin(), log.end(), "Timed out waiting for packet"), 0);
}

TEST(KermitReceive, AHungUpLineEndsTheRunAtOnceWithTheReadError) {
  const std::string start =
      BuildPacket('S', 0, "~> @-#N1 (", '\r') + BuildPacket('F', 1, "t.txt", '\r') + BuildPacket('D', 2, "hello", '\r');
  // Cut while waiting for the next packet, and while waiting for a quiet
  // line before answering a packet sent twice.
  for (const std::string& session : {start, start + BuildPacket('D', 2, "hello", '\r')}) {
    TempDir dir;
    FakeClock clock;
    MemorySerialPort port(clock);
    port.Feed(session);
    port.HangUp();
    EXPECT_EQ(KermitReceive(port, dir.Path(), nullptr, nullptr, {}), kXferCharRead);
    std::string answers;
    for (const Packet& p : WrittenPackets(port.Output())) answers += p.type;
    EXPECT_EQ(answers, "YYYE") << "no NAKs into a dead line";
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path())) << "the unfinished file is not kept";
  }
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

// A session written by an independent encoder (tests/fuzz/corpus/make_kermit_seed.py)
// is received whole, with the date of its attribute packet.
TEST(KermitReceive, TakesASessionFromAnIndependentEncoder) {
  std::string session;
  std::FILE* seed = std::fopen(PELIKON_TEST_DATA "/../fuzz/corpus/kermit_receive_fuzz/one_file.bin", "rb");
  ASSERT_NE(seed, nullptr);
  char buffer[4096];
  session.assign(buffer, std::fread(buffer, 1, sizeof buffer, seed));
  std::fclose(seed);
  testing::TempDir dir;
  FakeClock clock;
  testing::MemorySerialPort port(clock);
  port.Feed(session);
  EXPECT_EQ(KermitReceive(port, dir.Path(), nullptr, nullptr, {1007, 27}), 1);
  std::FILE* f = std::fopen((dir / "JOB1.CRD").c_str(), "rb");
  ASSERT_NE(f, nullptr);
  const std::string content(buffer, std::fread(buffer, 1, sizeof buffer, f));
  std::fclose(f);
  EXPECT_EQ(content, "1001,5000.0\r\nxxxxx#");
  std::tm t{};
  t.tm_year = 105;
  t.tm_mon = 6;
  t.tm_mday = 4;
  t.tm_hour = 13;
  t.tm_min = 14;
  t.tm_sec = 15;
  t.tm_isdst = -1;
  struct stat info {};
  ASSERT_EQ(::stat((dir / "JOB1.CRD").c_str(), &info), 0);
  EXPECT_EQ(info.st_mtime, std::mktime(&t)) << "the attribute date becomes the file's time";
}

}  // namespace
}  // namespace pelikon
