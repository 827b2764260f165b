// Our Kermit engine against gkermit and C-Kermit, and against itself over a
// line that damages bytes.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <thread>

#include "link/kermit/kermit.h"
#include "link/kermit/kermit_packet.h"
#include "platform/atomic_file.h"
#include "support/peer_process.h"
#include "support/pty_pair.h"
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

// The files every peer must carry both ways.
std::vector<std::pair<std::string, std::string>> SampleFiles() {
  const std::string every = testing::EveryByteValue(16);
  std::string text;
  for (int i = 0; i < 2000; ++i) text += "1001,5000.123,3000.456,100.789,CP\r\n";
  std::string runs;
  for (int i = 0; i < 300; ++i)
    runs += std::string(static_cast<size_t>(1 + i % 120), static_cast<char>(i % 7 ? 'a' + i % 26 : 0));
  return {{"empty.crd", ""},
          {"random.bin", RandomBytes(256 * 1024, 21)},
          {"bytes.bin", every},
          {"job.txt", text},
          {"runs.bin", runs}};
}

const char* const kCKermitClassic =
    "set transfer mode manual, set file type binary, set block-check 1, set receive packet-length 94, "
    "set window 1, set streaming off, set file names literal";

enum class Peer { kGkermit, kCKermit };

std::vector<std::string> PeerSends(Peer peer, const std::string& file) {
  if (peer == Peer::kGkermit) return {"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-s", file};
  return {"kermit", "-Y", "-H", "-q", "-C", std::string(kCKermitClassic) + ", send " + file + ", exit"};
}

std::vector<std::string> PeerReceives(Peer peer) {
  if (peer == Peer::kGkermit) return {"gkermit", "-i", "-q", "-P", "-S", "-e", "94", "-w", "-r"};
  return {"kermit", "-Y", "-H",
          "-q",     "-C", std::string(kCKermitClassic) + ", set file collision overwrite, receive, exit"};
}

class KermitInterop : public ::testing::TestWithParam<Peer> {
 protected:
  void SetUp() override {
    const char* program = GetParam() == Peer::kGkermit ? "gkermit" : "kermit";
    if (!testing::ProgramAvailable(program)) GTEST_SKIP() << program << " is not installed";
  }
  TempDir send_dir_;
  TempDir receive_dir_;
};

TEST_P(KermitInterop, OurSenderToThem) {
  for (const auto& [name, content] : SampleFiles()) {
    SCOPED_TRACE(name);
    const auto source = send_dir_.Write(name, content);
    PtyRelay relay;
    PeerProcess peer(PeerReceives(GetParam()), relay.EndB(), receive_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    ASSERT_EQ(port->Status(), 0);
    EXPECT_EQ(KermitSend(*port, {source.string()}, nullptr, nullptr, {1007, 27}), 1);
    EXPECT_EQ(peer.Wait(20000), 0);
    EXPECT_TRUE(Contents(receive_dir_ / name) == content) << "the received file differs";
  }
}

TEST_P(KermitInterop, TheirSenderToUs) {
  for (const auto& [name, content] : SampleFiles()) {
    SCOPED_TRACE(name);
    send_dir_.Write(name, content);
    PtyRelay relay;
    PeerProcess peer(PeerSends(GetParam(), name), relay.EndB(), send_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    ASSERT_EQ(port->Status(), 0);
    EXPECT_EQ(KermitReceive(*port, receive_dir_.Path(), nullptr, nullptr, {1007, 27}), 1);
    EXPECT_EQ(peer.Wait(20000), 0);
    EXPECT_TRUE(Contents(receive_dir_ / name) == content) << "the received file differs";
  }
}

INSTANTIATE_TEST_SUITE_P(Peers, KermitInterop, ::testing::Values(Peer::kGkermit, Peer::kCKermit),
                         [](const ::testing::TestParamInfo<Peer>& info) {
                           return info.param == Peer::kGkermit ? "gkermit" : "CKermit";
                         });

TEST(KermitFaults, ADamagedLineEndsWithAnIntactFileOrAClearError) {
  TempDir send_dir, receive_dir;
  const std::string content = RandomBytes(32 * 1024, 22);
  const auto source = send_dir.Write("job.crd", content);
  receive_dir.Write("job.crd", "the user's old file");
  int intact = 0;
  for (const uint32_t seed : {3u, 7u}) {
    SCOPED_TRACE(seed);
    const auto started = std::chrono::steady_clock::now();
    LineModel line;
    line.seed = seed;
    // Bit errors only: a lost packet mark costs the negotiated 30 s time-out,
    // which a test cannot afford many times over.
    line.bit_error_rate = seed == 3 ? 2e-5 : 1e-4;
    PtyRelay relay(line);
    SerialPortHandle sender_port = OpenSerialLink(0, 115200, relay.EndA());
    SerialPortHandle receiver_port = OpenSerialLink(1, 115200, relay.EndB());
    int sent = 0;
    std::thread sender([&] { sent = KermitSend(*sender_port, {source.string()}, nullptr, nullptr, {}); });
    const int received = KermitReceive(*receiver_port, receive_dir.Path(), nullptr, nullptr, {});
    sender.join();
    EXPECT_GT(relay.FaultsInjected(), 0);
    if (received == 1) {
      ++intact;
      EXPECT_TRUE(Contents(receive_dir / "job.crd") == content) << "the received file differs";
      receive_dir.Write("job.crd", "the user's old file");
    } else {
      EXPECT_LT(received, 0);
      EXPECT_EQ(Contents(receive_dir / "job.crd"), "the user's old file");
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(receive_dir.Path()), {}), 1);
    std::fprintf(stderr, "seed %u: %d in %.1f s, %d faults\n", seed, received,
                 std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                 relay.FaultsInjected());
  }
  EXPECT_GE(intact, 1);
}

// The far end closes the terminal in the middle of a run: our side ends at
// once with the read error instead of taking the dead line for time-outs.
TEST(KermitFaults, AHungUpTerminalEndsEitherDirectionWithTheReadError) {
  using namespace kermit;
  for (const bool sending : {true, false}) {
    SCOPED_TRACE(sending ? "sending" : "receiving");
    TempDir dir;
    const auto source = dir.Write("job.crd", std::string(2000, 'x'));
    testing::PtyPair pty;
    SerialPortHandle port = OpenSerialLink(0, 115200, pty.SlavePath());
    ASSERT_EQ(port->Status(), 0);
    int result = 0;
    std::thread engine([&] {
      result = sending ? KermitSend(*port, {source.string()}, nullptr, nullptr, {})
                       : KermitReceive(*port, dir / "in", nullptr, nullptr, {});
    });
    if (sending) {
      const std::string init = pty.Receive(16, 5000);  // the send-init, 16 bytes
      ASSERT_EQ(init.size(), 16u);
      pty.Send(BuildPacket('Y', 0, "~> @-#Y1~(", '\r'));
      pty.Receive(1, 5000);  // the file header has started
    } else {
      pty.Send(BuildPacket('S', 0, "~> @-#N1 (", '\r'));
      pty.Receive(16, 5000);  // our answer
    }
    pty.HangUp();
    engine.join();
    EXPECT_EQ(result, kXferCharRead);
  }
}

TEST(KermitFaults, CKermitOverADamagedLine) {
  if (!testing::ProgramAvailable("kermit")) GTEST_SKIP() << "C-Kermit is not installed";
  TempDir send_dir, receive_dir;
  const std::string content = RandomBytes(32 * 1024, 23);
  send_dir.Write("data.bin", content);
  LineModel line;
  line.seed = 11;
  line.bit_error_rate = 2e-5;
  PtyRelay relay(line);
  PeerProcess peer(PeerSends(Peer::kCKermit, "data.bin"), relay.EndB(), send_dir.Path());
  SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
  const int received = KermitReceive(*port, receive_dir.Path(), nullptr, nullptr, {});
  peer.Wait(30000);
  if (received == 1) {
    EXPECT_TRUE(Contents(receive_dir / "data.bin") == content) << "the received file differs";
  } else {
    EXPECT_LT(received, 0);
    EXPECT_FALSE(std::filesystem::exists(receive_dir / "data.bin"));
  }
}

}  // namespace
}  // namespace pelikon
