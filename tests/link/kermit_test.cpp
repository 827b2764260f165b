// The Kermit engine's packets and encoding, and its answers to a scripted
// peer on an in-memory port.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ctime>
#include <string>
#include <vector>

#include "link/kermit/kermit.h"
#include "link/kermit/kermit_packet.h"
#include "support/memory_port.h"
#include "support/temp_dir.h"

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
