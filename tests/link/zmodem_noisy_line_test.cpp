// Our Zmodem engine over a line paced like a 115,200 bit/s cable with 5 ms
// latency and one bit error in 100,000: a window of data is still on its way
// when the receiver notices damage, so recovery must wait for the resent
// data without taking what is left of the old stream for new failures.
// Every run has to complete with the file intact, whoever is on either end.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "link/zmodem/zmodem.h"
#include "support/peer_process.h"
#include "support/pty_relay.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::Contents;
using testing::LineModel;
using testing::PeerProcess;
using testing::PtyRelay;
using testing::RandomBytes;
using testing::TempDir;

// Large enough that each run meets several damaged subpackets, small
// enough that a run takes seconds of line time.
constexpr size_t kFileSize = 64 * 1024;

// How long lrzsz may take to give up on the closing handshake after the file
// is through. When the line damages the last ZFIN answer, sz waits its full
// 60-second header timeout before it leaves (with status 0); when it
// damages the "OO", rz asks again every 10 seconds, three times.
constexpr int kPeerCloseMs = 75000;

LineModel NoisyLine(uint32_t seed) {
  LineModel line;
  line.bytes_per_second = 11520;
  line.latency_ms = 5;
  line.bit_error_rate = 1e-5;
  line.seed = seed;
  return line;
}

class ZmodemNoisyLine : public ::testing::TestWithParam<uint32_t> {
 protected:
  void SetUp() override { content_ = RandomBytes(kFileSize, 100 + GetParam()); }
  bool NeedLrzsz() { return testing::ProgramAvailable("sz") && testing::ProgramAvailable("rz"); }
  // Runs after each transfer: the file arrived whole, and the line did
  // damage it on the way (else the run proved nothing).
  void ExpectIntact(const PtyRelay& relay) {
    EXPECT_GT(relay.FaultsInjected(), 0);
    EXPECT_TRUE(Contents(receive_dir_ / "noisy.bin") == content_) << "the received file differs or is missing";
  }
  TempDir send_dir_;
  TempDir receive_dir_;
  std::string content_;
};

TEST_P(ZmodemNoisyLine, OurSenderToOurReceiver) {
  const auto source = send_dir_.Write("noisy.bin", content_);
  PtyRelay relay(NoisyLine(GetParam()));
  SerialPortHandle sender_port = OpenSerialLink(0, 115200, relay.EndA());
  SerialPortHandle receiver_port = OpenSerialLink(1, 115200, relay.EndB());
  int sent = 0;
  std::thread sender([&] { sent = ZmodemSend(*sender_port, {source.string()}, nullptr, nullptr, {1007, 27}); });
  const int received = ZmodemReceive(*receiver_port, receive_dir_.Path(), nullptr, nullptr, {1007, 27});
  sender.join();
  EXPECT_EQ(received, 1);
  EXPECT_EQ(sent, 1);
  ExpectIntact(relay);
}

TEST_P(ZmodemNoisyLine, SzToOurReceiver) {
  if (!NeedLrzsz()) GTEST_SKIP() << "lrzsz is not installed";
  send_dir_.Write("noisy.bin", content_);
  PtyRelay relay(NoisyLine(GetParam()));
  PeerProcess sz({"sz", "-b", "-q", "noisy.bin"}, relay.EndB(), send_dir_.Path());
  SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
  EXPECT_EQ(ZmodemReceive(*port, receive_dir_.Path(), nullptr, nullptr, {1007, 27}), 1);
  EXPECT_EQ(sz.Wait(kPeerCloseMs), 0);
  ExpectIntact(relay);
}

TEST_P(ZmodemNoisyLine, OurSenderToRz) {
  if (!NeedLrzsz()) GTEST_SKIP() << "lrzsz is not installed";
  const auto source = send_dir_.Write("noisy.bin", content_);
  PtyRelay relay(NoisyLine(GetParam()));
  PeerProcess rz({"rz", "-b", "-y", "-q"}, relay.EndB(), receive_dir_.Path());
  SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
  EXPECT_EQ(ZmodemSend(*port, {source.string()}, nullptr, nullptr, {1007, 27}), 1);
  EXPECT_EQ(rz.Wait(kPeerCloseMs), 0);
  ExpectIntact(relay);
}

INSTANTIATE_TEST_SUITE_P(Seeds, ZmodemNoisyLine, ::testing::Values(1u, 2u, 3u));

}  // namespace
}  // namespace pelikon
