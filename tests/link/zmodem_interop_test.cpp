// Our Zmodem engine against lrzsz and against itself, over pseudo-terminal
// pairs joined by a relay that can damage the line.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <random>
#include <string>
#include <thread>

#include "link/zmodem/zmodem.h"
#include "platform/atomic_file.h"
#include "support/peer_process.h"
#include "support/pty_relay.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::Contents;
using testing::EveryByteValue;
using testing::LineModel;
using testing::PeerProcess;
using testing::PtyRelay;
using testing::RandomBytes;
using testing::TempDir;

// Only the files a user would see: no leftovers of an unfinished receive.
std::vector<std::string> VisibleFiles(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

class ZmodemInterop : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!testing::ProgramAvailable("sz") || !testing::ProgramAvailable("rz")) GTEST_SKIP() << "lrzsz is not installed";
  }
  TempDir send_dir_;
  TempDir receive_dir_;
  std::vector<std::string> log_;
  TransferMessageHook Hook() {
    return [this](const std::string& text) { log_.push_back(text); };
  }
  bool Logged(const std::string& text) const { return std::find(log_.begin(), log_.end(), text) != log_.end(); }
};

TEST_F(ZmodemInterop, OurSenderToRz) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.crd", ""},
      {"random.bin", RandomBytes(1 << 20, 7)},
      {"bytes.bin", EveryByteValue(64)},
      {"my job file.rw5", "line one\r\nline two\r\n"},
  };
  for (const auto& [name, content] : files) {
    SCOPED_TRACE(name);
    const auto source = send_dir_.Write(name, content);
    PtyRelay relay;
    PeerProcess rz({"rz", "-b", "-y", "-q"}, relay.EndB(), receive_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    ASSERT_EQ(port->Status(), 0);
    EXPECT_EQ(ZmodemSend(*port, {source.string()}, Hook(), nullptr, {1007, 27}), 1);
    EXPECT_EQ(rz.Wait(20000), 0);
    EXPECT_TRUE(Contents(receive_dir_ / name) == content) << "the received file differs";
  }
}

TEST_F(ZmodemInterop, SzToOurReceiver) {
  const std::vector<std::pair<std::string, std::string>> files = {
      {"empty.crd", ""},
      {"random.bin", RandomBytes(1 << 20, 8)},
      {"bytes.bin", EveryByteValue(64)},
      {"my job file.rw5", "line one\r\nline two\r\n"},
  };
  for (const auto& [name, content] : files) {
    SCOPED_TRACE(name);
    send_dir_.Write(name, content);
    PtyRelay relay;
    PeerProcess sz({"sz", "-b", "-q", name}, relay.EndB(), send_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    ASSERT_EQ(port->Status(), 0);
    EXPECT_EQ(ZmodemReceive(*port, receive_dir_.Path(), Hook(), nullptr, {1007, 27}), 1);
    EXPECT_EQ(sz.Wait(20000), 0);
    EXPECT_TRUE(Contents(receive_dir_ / name) == content) << "the received file differs";
  }
  EXPECT_EQ(VisibleFiles(receive_dir_.Path()),
            (std::vector<std::string>{"bytes.bin", "empty.crd", "my job file.rw5", "random.bin"}));
}

// Runs our sender on end A and our receiver on end B of `relay`.
struct PairResult {
  int sent = 0;
  int received = 0;
};

PairResult RunPair(PtyRelay& relay, const std::filesystem::path& source, const std::filesystem::path& folder,
                   TransferMessageHook receiver_log = nullptr, TransferStatusCallback receiver_status = nullptr) {
  SerialPortHandle sender_port = OpenSerialLink(0, 115200, relay.EndA());
  SerialPortHandle receiver_port = OpenSerialLink(1, 115200, relay.EndB());
  PairResult result;
  std::thread sender([&] { result.sent = ZmodemSend(*sender_port, {source.string()}, nullptr, nullptr, {}); });
  result.received = ZmodemReceive(*receiver_port, folder, std::move(receiver_log), std::move(receiver_status), {});
  sender.join();
  return result;
}

TEST_F(ZmodemInterop, ADamagedLineEndsWithAnIntactFileOrAClearError) {
  const std::string content = RandomBytes(96 * 1024, 11);
  const auto source = send_dir_.Write("job.crd", content);
  receive_dir_.Write("job.crd", "the user's old file");
  int intact = 0;
  // A light and a heavy dose: bit errors alone, then bit errors and drops.
  for (const uint32_t seed : {1u, 4u}) {
    SCOPED_TRACE(seed);
    LineModel line;
    line.seed = seed;
    line.bit_error_rate = seed == 1 ? 2e-5 : 1e-4;
    line.drop_rate = seed == 1 ? 0 : 2e-5;
    PtyRelay relay(line);
    const PairResult r = RunPair(relay, source, receive_dir_.Path());
    EXPECT_GT(relay.FaultsInjected(), 0);
    const std::string now = Contents(receive_dir_ / "job.crd");
    if (r.received == 1) {
      ++intact;
      EXPECT_TRUE(now == content) << "the received file differs";
      receive_dir_.Write("job.crd", "the user's old file");
    } else {
      EXPECT_LT(r.received, 0);
      EXPECT_EQ(now, "the user's old file") << "a failed receive leaves the old file alone";
    }
    EXPECT_EQ(VisibleFiles(receive_dir_.Path()), std::vector<std::string>{"job.crd"});
  }
  EXPECT_GE(intact, 1) << "recovery works at moderate error rates";
}

TEST_F(ZmodemInterop, ABadSubpacketIsAnsweredWithZrposAndResumed) {
  const std::string content = RandomBytes(64 * 1024, 12);
  const auto source = send_dir_.Write("data.bin", content);
  LineModel line;
  line.seed = 5;
  line.bit_error_rate = 1e-5;
  PtyRelay relay(line);
  const PairResult r = RunPair(relay, source, receive_dir_.Path(), Hook());
  EXPECT_EQ(r.received, 1);
  EXPECT_EQ(r.sent, 1);
  EXPECT_TRUE(Contents(receive_dir_ / "data.bin") == content) << "the received file differs";
  if (relay.FaultsInjected() > 0) {
    EXPECT_TRUE(Logged("Sending a new file offset!!!"));
  }
}

TEST_F(ZmodemInterop, AStalledLineRecovers) {
  const std::string content = RandomBytes(48 * 1024, 13);
  const auto source = send_dir_.Write("stall.bin", content);
  LineModel line;
  line.stall_after_bytes = 20000;
  line.stall_ms = 3500;
  PtyRelay relay(line);
  const PairResult r = RunPair(relay, source, receive_dir_.Path());
  EXPECT_EQ(r.received, 1);
  EXPECT_TRUE(Contents(receive_dir_ / "stall.bin") == content) << "the received file differs";
}

TEST_F(ZmodemInterop, CancellingEndsBothSidesAndKeepsNoPartialFile) {
  const auto source = send_dir_.Write("big.bin", RandomBytes(1 << 20, 14));
  // A line slow enough that both sides wait (and so check for a cancel)
  // while the data flows.
  LineModel line;
  line.bytes_per_second = 400000;
  // Our receiver cancelled while sz sends.
  {
    PtyRelay relay(line);
    PeerProcess sz({"sz", "-b", "-q", "big.bin"}, relay.EndB(), send_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    int calls = 0;
    const int result = ZmodemReceive(*port, receive_dir_.Path(), nullptr,
                                     [&](TransferState& t) {
                                       if (t.position > 0 && t.position < t.file_size && ++calls == 3)
                                         t.error = kXferUserAbort;
                                       return 0;
                                     },
                                     {1007, 27});
    EXPECT_EQ(result, kXferUserAbort);
    EXPECT_NE(sz.Wait(20000), 0) << "the cancel sequence stops the sender";
    EXPECT_TRUE(VisibleFiles(receive_dir_.Path()).empty());
  }
  // Our sender cancelled while rz receives.
  {
    PtyRelay relay(line);
    PeerProcess rz({"rz", "-b", "-y", "-q"}, relay.EndB(), receive_dir_.Path());
    SerialPortHandle port = OpenSerialLink(0, 115200, relay.EndA());
    int calls = 0;
    const int result = ZmodemSend(*port, {source.string()}, nullptr,
                                  [&](TransferState& t) {
                                    if (t.position > 0 && t.position < t.file_size && ++calls == 2)
                                      t.error = kXferUserAbort;
                                    return 0;
                                  },
                                  {1007, 27});
    EXPECT_EQ(result, kXferUserAbort);
    EXPECT_NE(rz.Wait(20000), 0) << "the cancel sequence stops the receiver";
  }
}

}  // namespace
}  // namespace pelikon
