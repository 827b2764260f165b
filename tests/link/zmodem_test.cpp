// The Zmodem engine against a scripted peer on an in-memory port.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "link/progress/transfer_progress.h"
#include "link/zmodem/zmodem.h"
#include "link/zmodem/zmodem_wire.h"
#include "platform/atomic_file.h"
#include "platform/trace.h"
#include "support/memory_port.h"
#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using namespace zmodem;
using testing::MemorySerialPort;
using testing::TempDir;

std::string Bytes(const std::vector<uint8_t>& v) {
  return std::string(v.begin(), v.end());
}

std::string HexHeader(int type, const HeaderData& data) {
  std::vector<uint8_t> out;
  AppendHexHeader(out, type, data);
  return Bytes(out);
}

// A wire reading from an in-memory port that a test feeds.
struct WireRig {
  explicit WireRig(const std::string& bytes = {}, int retry_limit = 10) {
    transfer.port = &port;
    transfer.retry_limit = retry_limit;
    port.Feed(bytes);
  }
  FakeClock clock;
  MemorySerialPort port{clock};
  TransferState transfer;
  Wire wire{transfer};
};

// Decodes what an engine wrote, with our own reader on a second port.
std::vector<Header> HeadersIn(const std::string& written) {
  WireRig rig(written, 1000);
  Wire& wire = rig.wire;
  std::vector<Header> headers;
  for (;;) {
    Header h;
    const int type = wire.ReadHeader(h);
    if (type < 0) break;
    headers.push_back(h);
    if (type == kZfile || type == kZdata || type == kZsinit) {
      std::vector<uint8_t> data;
      for (int end = 0; end != kZcrce && end != kZcrcw && end >= 0;) end = wire.ReadSubpacket(data, h.format == 'C');
    }
  }
  return headers;
}

TEST(ZmodemWire, EscapesExactlyTheListedBytes) {
  std::vector<uint8_t> out;
  for (int b = 0; b < 256; ++b) AppendEscaped(out, static_cast<uint8_t>(b));
  EXPECT_EQ(out.size(), 256u + 9u);
  out.clear();
  AppendEscaped(out, 0x0D);
  AppendEscaped(out, 0x8D);
  AppendEscaped(out, 0x18);
  AppendEscaped(out, 0x41);
  EXPECT_EQ(out, (std::vector<uint8_t>{kZdle, 'M', kZdle, 0xCD, kZdle, 0x58, 0x41}));
}

TEST(ZmodemWire, HexHeadersCarryXonExceptAckAndFin) {
  const std::string rinit = HexHeader(kZrinit, {0, 0, 0, 0x27});
  EXPECT_EQ(rinit.substr(0, 4), std::string("**\x18"
                                            "B",
                                            4));
  EXPECT_EQ(rinit.substr(4, 10), "0100000027");
  EXPECT_EQ(rinit.substr(rinit.size() - 3), "\r\n\x11");
  EXPECT_EQ(HexHeader(kZack, {1, 2, 3, 4}).back(), '\n');
  EXPECT_EQ(HexHeader(kZfin, {0, 0, 0, 0}).back(), '\n');
}

TEST(ZmodemWire, HeadersAndSubpacketsRoundTrip) {
  for (const bool crc32 : {false, true}) {
    std::vector<uint8_t> out;
    AppendBinaryHeader(out, kZdata, PositionData(0x12345678), crc32);
    std::string payload;
    for (int b = 0; b < 256; ++b) payload += static_cast<char>(b);
    AppendSubpacket(out, reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), kZcrcq, crc32);
    AppendHexHeader(out, kZeof, PositionData(256));

    WireRig rig(Bytes(out));
    Wire& wire = rig.wire;
    Header h;
    ASSERT_EQ(wire.ReadHeader(h), kZdata);
    EXPECT_EQ(h.format, crc32 ? 'C' : 'A');
    EXPECT_EQ(DataPosition(h.data), 0x12345678);
    std::vector<uint8_t> data;
    EXPECT_EQ(wire.ReadSubpacket(data, crc32), kZcrcq);
    EXPECT_EQ(Bytes(data), payload);
    ASSERT_EQ(wire.ReadHeader(h), kZeof);
    EXPECT_TRUE(h.ended_with_lf);
    EXPECT_EQ(DataPosition(h.data), 256);
  }
}

TEST(ZmodemWire, DamagedSubpacketsAndHeadersAreRefused) {
  std::vector<uint8_t> out;
  const std::string payload = "coordinates";
  AppendSubpacket(out, reinterpret_cast<const uint8_t*>(payload.data()), payload.size(), kZcrcg, true);
  out[3] ^= 0x01;
  WireRig rig(Bytes(out));
  Wire& wire = rig.wire;
  MemorySerialPort& port = rig.port;
  std::vector<uint8_t> data;
  EXPECT_EQ(wire.ReadSubpacket(data, true), kWireBadCrc);

  std::string bad = HexHeader(kZrpos, {1, 0, 0, 0});
  bad[6] = '7';
  port.Feed(bad);
  Header h;
  EXPECT_EQ(wire.ReadHeader(h), kWireNoHeader);
  EXPECT_EQ(rig.transfer.retries, 1);

  std::vector<uint8_t> too_long;
  const std::string big(1025, 'x');
  AppendSubpacket(too_long, reinterpret_cast<const uint8_t*>(big.data()), big.size(), kZcrcg, false);
  port.Feed(Bytes(too_long));
  EXPECT_EQ(wire.ReadSubpacket(data, false), kWireTooLong);
}

TEST(ZmodemWire, FiveCansEndTheRun) {
  WireRig rig("garbage\x18\x18\x18\x18\x18");
  Header h;
  EXPECT_EQ(rig.wire.ReadHeader(h), kXferRemoteAbort);
  EXPECT_EQ(rig.transfer.error, kXferRemoteAbort);
}

TEST(ZmodemWire, SilenceEndsTheHuntAfterTenSeconds) {
  WireRig rig;
  std::vector<std::string> log;
  rig.transfer.message_hook = [&](const std::string& s) { log.push_back(s); };
  Header h;
  const uint64_t start = rig.clock.NowMs();
  EXPECT_EQ(rig.wire.ReadHeader(h), kWireNoHeader);
  EXPECT_GE(rig.clock.NowMs() - start, 10000u);
  EXPECT_LT(rig.clock.NowMs() - start, 10100u);
  ASSERT_GE(log.size(), 2u);
  EXPECT_EQ(log[0], "GetPad: timeout on ZPAD");
}

// The program's own hooks around a run: an engine message that speaks of a
// time-out ends the run as Cancel would.
struct ProgramHooks {
  testing::ScriptedUi ui;
  testing::NoSound output;
  SoundCues sound{output};
  TransferProgress progress{ui, sound};
};

// On the in-memory port data never keeps a run waiting, so a cancel that a
// time-out message asked for may still be pending when the run ends.
void ExpectNoTimeOut(const ProgramHooks& hooks) {
  EXPECT_FALSE(hooks.progress.CancelRequested())
      << "the run waited out a time-out, which the program takes for a cancel";
}

// A receiver that answers the sender as ours does, decoding what the
// sender writes as it is written. Tests can make it deaf to a header or
// lose one of its answers on the way back.
class ScriptedReceiver {
 public:
  ScriptedReceiver(MemorySerialPort& port, int flags) : port_(port), flags_(flags) {
    heard_.port = &heard_port_;
    heard_.retry_limit = 1 << 30;
    port_.OnWrite([this](std::string_view written) {
      heard_port_.Feed(written);
      Decode();
    });
  }
  // Each gets the header's type and position; true drops it.
  std::function<bool(int type, int64_t position)> deaf_to;
  std::function<bool(int type, int64_t position)> loses_answer;
  // True for a subpacket (by its position) that arrives damaged: the
  // receiver asks for the data again from there.
  std::function<bool(int64_t position)> damages;

  std::vector<Header> Sent() { return HeadersIn(port_.Output()); }
  int64_t Received() const { return received_; }
  bool Ended() const { return ended_; }
  // Whether the sender sent an empty subpacket in a frame beyond the
  // receiver's position: a receiver may keep such a subpacket for later,
  // and some stall on an empty one once they reach it.
  bool SawEmptySubpacketAhead() const { return empty_ahead_; }

 private:
  void Answer(int type, int64_t position, const std::string& extra = {}) {
    if (loses_answer && loses_answer(type, position)) return;
    port_.Feed(
        HexHeader(type, type == kZrinit ? HeaderData{0, 0, 0, static_cast<uint8_t>(flags_)} : PositionData(position)) +
        extra);
  }
  void Decode() {
    while (!ended_ && heard_port_.RxCount() > 0) {
      if (reading_ahead_) {
        std::vector<uint8_t> data;
        reading_ahead_ = false;
        empty_ahead_ |= heard_wire_.ReadSubpacket(data, crc32_) >= 0 && data.empty();
        continue;
      }
      if (in_frame_) {
        std::vector<uint8_t> data;
        const int end = heard_wire_.ReadSubpacket(data, crc32_);
        ASSERT_GE(end, 0) << "our sender's subpacket does not decode";
        if (damages && damages(received_)) {
          in_frame_ = false;
          Answer(kZrpos, received_);
          continue;
        }
        received_ += static_cast<int64_t>(data.size());
        if (end == kZcrcq || end == kZcrcw) Answer(kZack, received_);
        in_frame_ = end == kZcrcg || end == kZcrcq;
        continue;
      }
      Header h;
      if (heard_wire_.ReadHeader(h) < 0) {
        if (heard_.error != 0) return;  // the sender cancelled
        continue;
      }
      const int64_t at = DataPosition(h.data);
      if (deaf_to && deaf_to(h.type, at)) continue;
      crc32_ = h.format == 'C';
      switch (h.type) {
        case kZrqinit:
          Answer(kZrinit, 0);
          break;
        case kZfile:
          heard_wire_.ReadSubpacket(file_info_, crc32_);
          in_file_ = true;
          Answer(kZrpos, received_);
          break;
        case kZdata:
          in_frame_ = at == received_;
          reading_ahead_ = at > received_;
          if (!in_frame_) Answer(kZrpos, received_);
          break;
        case kZeof:
          if (in_file_ && at != received_) break;
          in_file_ = false;
          Answer(kZrinit, 0);
          break;
        case kZfin:
          // Before the file's end the data phase ignores it.
          if (in_file_) break;
          Answer(kZfin, 0, "OO");
          ended_ = true;
          break;
        default:
          break;
      }
    }
  }
  MemorySerialPort& port_;
  int flags_;
  FakeClock heard_clock_;
  MemorySerialPort heard_port_{heard_clock_};
  TransferState heard_;
  Wire heard_wire_{heard_};
  std::vector<uint8_t> file_info_;
  bool in_frame_ = false;
  bool reading_ahead_ = false;
  bool empty_ahead_ = false;
  bool crc32_ = false;
  bool in_file_ = false;
  bool ended_ = false;
  int64_t received_ = 0;
};

TEST(ZmodemSend, AnEmptyFileIsZfileZrposZeofAndTheHeaderFormatFollowsTheReceiver) {
  TempDir dir;
  const auto file = dir.Write("empty.crd", "");
  for (const int flags : {0x03, 0x27}) {
    FakeClock clock;
    MemorySerialPort port(clock);
    ScriptedReceiver peer(port, flags);
    EXPECT_EQ(ZmodemSend(port, {file.string()}, nullptr, nullptr, {1007, 27}), 1);
    std::vector<int> types;
    for (const Header& h : peer.Sent()) types.push_back(h.type);
    EXPECT_EQ(types, (std::vector<int>{kZrqinit, kZfile, kZeof, kZfin})) << "no ZDATA for an empty file";
    const std::vector<Header> sent = peer.Sent();
    EXPECT_EQ(sent[1].format, flags & kCanCrc32 ? 'C' : 'A');
    EXPECT_EQ(DataPosition(sent[2].data), 0);
    EXPECT_EQ(port.Output().substr(port.Output().size() - 2), "OO");
  }
}

TEST(ZmodemSend, NothingToSendIsMinus619AndBadOptionsMinus7) {
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedReceiver peer(port, 0x27);
  EXPECT_EQ(ZmodemSend(port, {(dir / "*.crd").string()}, nullptr, nullptr, {}), kXferNoFiles);
  EXPECT_EQ(ZmodemSend(port, {}, nullptr, nullptr, {1003}), kSerialBadArgument);
  EXPECT_EQ(ZmodemReceive(port, dir.Path(), nullptr, nullptr, {1017}), kSerialBadArgument);
}

TEST(ZmodemSend, AMissingFileIsMinus602AndTheRunIsCancelled) {
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedReceiver peer(port, 0x27);
  EXPECT_EQ(ZmodemSend(port, {(dir / "gone.crd").string()}, nullptr, nullptr, {}), kXferOpenFile);
  EXPECT_NE(port.Output().find(std::string(10, '\x18') + std::string(10, '\b')), std::string::npos);
}

class ZmodemSendRecovery : public ::testing::Test {
 protected:
  int Send(const std::string& content) {
    const auto file = dir_.Write("job.bin", content);
    const int result =
        ZmodemSend(port_, {file.string()}, hooks_.progress.MessageHook(), hooks_.progress.StatusCallback(), {});
    ExpectNoTimeOut(hooks_);
    return result;
  }
  TempDir dir_;
  FakeClock clock_;
  MemorySerialPort port_{clock_};
  ScriptedReceiver peer_{port_, 0x27};
  ProgramHooks hooks_;
};

// Each of these answers once the first time it is due, as a bit error
// would.
std::function<bool(int, int64_t)> Once(int type, int64_t position) {
  return [type, position, done = false](int t, int64_t p) mutable {
    if (done || t != type || p != position) return false;
    return done = true;
  };
}

TEST_F(ZmodemSendRecovery, ALostAcknowledgementIsAskedForAgainBeforeTheRunTimesOut) {
  // The answer to the file's last subpacket never arrives; waiting for the
  // protocol's time-out would end the run as if the user had cancelled.
  peer_.loses_answer = Once(kZack, 3000);
  EXPECT_EQ(Send(testing::RandomBytes(3000, 31)), 1);
  EXPECT_EQ(peer_.Received(), 3000);
  EXPECT_TRUE(peer_.Ended());
}

TEST_F(ZmodemSendRecovery, ALostZfileIsSentAgainBeforeTheRunTimesOut) {
  peer_.deaf_to = Once(kZfile, 0);
  EXPECT_EQ(Send(testing::RandomBytes(3000, 34)), 1);
  EXPECT_EQ(peer_.Received(), 3000);
}

TEST_F(ZmodemSendRecovery, ALostRequestForDataIsFoundOutAtTheLastAcknowledgedPosition) {
  // The subpacket at 2048 arrives damaged and the receiver's ZRPOS is lost:
  // the sender fills its window and hears nothing more.
  peer_.damages = [done = false](int64_t position) mutable { return position == 2048 && !done && (done = true); };
  peer_.loses_answer = Once(kZrpos, 2048);
  const std::string content = testing::RandomBytes(12000, 35);
  EXPECT_EQ(Send(content), 1);
  EXPECT_EQ(peer_.Received(), 12000);
  EXPECT_FALSE(peer_.SawEmptySubpacketAhead());
}

TEST_F(ZmodemSendRecovery, ALostZeofIsSentAgain) {
  peer_.deaf_to = Once(kZeof, 3000);
  EXPECT_EQ(Send(testing::RandomBytes(3000, 32)), 1);
  EXPECT_TRUE(peer_.Ended()) << "the receiver saw the file's end and the session's";
}

TEST_F(ZmodemSendRecovery, ALostAnswerToZfinStillEndsASessionWhoseFilesArrived) {
  // The receiver answers ZFIN and is gone; its answer never arrives.
  peer_.loses_answer = Once(kZfin, 0);
  EXPECT_EQ(Send(testing::RandomBytes(3000, 33)), 1);
  EXPECT_EQ(peer_.Received(), 3000);
}

// PELIKON_TRACE for one test, then as it was.
class TraceLevelFor {
 public:
  explicit TraceLevelFor(const char* value) {
    if (const char* old = std::getenv("PELIKON_TRACE")) saved_ = old;
    ::setenv("PELIKON_TRACE", value, 1);
    ReloadTraceLevel();
  }
  ~TraceLevelFor() {
    if (saved_)
      ::setenv("PELIKON_TRACE", saved_->c_str(), 1);
    else
      ::unsetenv("PELIKON_TRACE");
    ReloadTraceLevel();
  }

 private:
  std::optional<std::string> saved_;
};

// What a 64 KiB upload tells the log: a handful of events, and a line per
// subpacket only when packet tracing is asked for.
std::vector<std::string> MessagesOfAnUpload(const char* level) {
  const TraceLevelFor trace(level);
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  ScriptedReceiver peer(port, 0x27);
  std::vector<std::string> messages;
  const auto file = dir.Write("job.bin", testing::RandomBytes(64 << 10, 5));
  EXPECT_EQ(ZmodemSend(port, {file.string()}, [&](const std::string& text) { messages.push_back(text); }, nullptr, {}),
            1);
  return messages;
}

TEST(ZmodemSend, PacketLinesOnlyWhenPacketTracingIsOn) {
  auto per_packet = [](const std::vector<std::string>& messages) {
    return std::count_if(messages.begin(), messages.end(),
                         [](const std::string& text) { return text.find("sending @") != std::string::npos; });
  };
  const std::vector<std::string> events = MessagesOfAnUpload("1");
  EXPECT_EQ(per_packet(events), 0);
  EXPECT_LT(events.size(), 10u) << "no line grows with the file's size";
  EXPECT_NE(std::find(events.begin(), events.end(), "SendFile: sending filename & size"), events.end());

  const std::vector<std::string> packets = MessagesOfAnUpload("2");
  EXPECT_GE(per_packet(packets), 64) << "one per subpacket of at most 1 KiB";
  EXPECT_GT(packets.size(), events.size() + 64);
}

TEST(ZmodemReceive, RefusesUnsafeNamesAndCancels) {
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  std::vector<uint8_t> frame;
  AppendBinaryHeader(frame, kZfile, {0, 0, 0, 0}, true);
  const std::string info(
      "..\0"
      "5 0 0\0",
      8);
  AppendSubpacket(frame, reinterpret_cast<const uint8_t*>(info.data()), info.size(), kZcrcw, true);
  port.Feed(Bytes(frame));
  std::vector<std::string> log;
  EXPECT_EQ(ZmodemReceive(port, dir.Path(), [&](const std::string& s) { log.push_back(s); }, nullptr, {}),
            kXferOpenFile);
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));
  EXPECT_NE(std::find(log.begin(), log.end(), "Refused unsafe file name \"..\""), log.end());
}

TEST(ZmodemReceive, ASenderThatVanishesFailsWithoutTouchingTheOldFile) {
  TempDir dir;
  dir.Write("job.crd", "precious");
  FakeClock clock;
  MemorySerialPort port(clock);
  std::vector<uint8_t> frame;
  AppendBinaryHeader(frame, kZfile, {0, 0, 0, 0}, true);
  const std::string info(
      "job.crd\0"
      "100 0 0\0",
      17);
  AppendSubpacket(frame, reinterpret_cast<const uint8_t*>(info.data()), info.size(), kZcrcw, true);
  AppendBinaryHeader(frame, kZdata, PositionData(0), true);
  AppendSubpacket(frame, reinterpret_cast<const uint8_t*>("partial"), 7, kZcrcg, true);
  port.Feed(Bytes(frame));
  EXPECT_EQ(ZmodemReceive(port, dir.Path(), nullptr, nullptr, {}), kXferErrorLimit);
  std::string now;
  ASSERT_TRUE(std::filesystem::exists(dir / "job.crd"));
  EXPECT_EQ(std::filesystem::file_size(dir / "job.crd"), 8u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// What a sender puts on the line, frame by frame (CRC-32 throughout).
class SenderStream {
 public:
  SenderStream& File(const std::string& name, size_t size) {
    AppendBinaryHeader(out_, kZfile, {0, 0, 0, 0}, true);
    std::string info = name;
    info += '\0';
    info += std::to_string(size) + " 0 0";
    info += '\0';
    return Subpacket(info, kZcrcw);
  }
  SenderStream& Header(int type, int64_t position) {
    AppendBinaryHeader(out_, type, PositionData(position), true);
    return *this;
  }
  SenderStream& Subpacket(std::string_view data, int end) {
    AppendSubpacket(out_, reinterpret_cast<const uint8_t*>(data.data()), data.size(), end, true);
    return *this;
  }
  // A subpacket that arrives with one bit flipped in the middle.
  SenderStream& DamagedSubpacket(std::string_view data, int end) {
    const size_t start = out_.size();
    Subpacket(data, end);
    out_[start + (out_.size() - start) / 2] ^= 0x04;
    return *this;
  }
  SenderStream& Raw(std::string_view bytes) {
    out_.insert(out_.end(), bytes.begin(), bytes.end());
    return *this;
  }
  std::string Take() {
    std::string bytes = Bytes(out_);
    out_.clear();
    return bytes;
  }

 private:
  std::vector<uint8_t> out_;
};

// A receiver run against a sender that answers each ZRPOS from a script;
// the answer is fed after the receiver flushed its input, like data that
// was still on its way when the ZRPOS went out.
class RecoveryRig {
 public:
  RecoveryRig() {
    port_.OnWrite([this](std::string_view written) {
      for (const zmodem::Header& h : HeadersIn(std::string(written))) {
        if (h.type == kZrpos) {
          asked_.push_back(DataPosition(h.data));
          if (asked_.size() <= answers_.size()) port_.Feed(answers_[asked_.size() - 1]);
        } else if (h.type == kZnak) {
          port_.Feed(std::exchange(znak_answer_, {}));
        } else if (h.type == kZrinit && !asked_.empty()) {
          port_.Feed(HexHeader(kZfin, {0, 0, 0, 0}) + "OO");
        }
      }
    });
  }
  // What the sender sends after the n-th ZRPOS (the first opens the file).
  void AnswerZrpos(std::string bytes) { answers_.push_back(std::move(bytes)); }
  // What it sends after a ZNAK.
  void AnswerZnak(std::string bytes) { znak_answer_ = std::move(bytes); }
  int Receive(const std::string& opening) {
    port_.Feed(opening);
    const int result =
        ZmodemReceive(port_, dir_.Path(), hooks_.progress.MessageHook(), hooks_.progress.StatusCallback(), {});
    ExpectNoTimeOut(hooks_);
    return result;
  }
  std::string Received(const std::string& name) {
    std::string content;
    ReadWholeFile(dir_ / name, content);
    return content;
  }
  const std::vector<int64_t>& Asked() const { return asked_; }
  FakeClock& Clock() { return clock_; }
  MemorySerialPort& Port() { return port_; }

 private:
  TempDir dir_;
  FakeClock clock_;
  MemorySerialPort port_{clock_};
  ProgramHooks hooks_;
  std::vector<std::string> answers_;
  std::string znak_answer_;
  std::vector<int64_t> asked_;
};

// Leftovers of the abandoned stream: the rest of the old frame, a
// subpacket full of ZPAD bytes (each one a header hunt that finds
// nothing), a damaged header, a ZDATA and a ZEOF at other positions.
std::string StaleStream(const std::string& content) {
  std::string pads;
  for (int i = 0; i < 512; ++i) pads += "*x";
  std::string bad_header = HexHeader(kZack, PositionData(7));
  bad_header[8] ^= 0x01;
  return SenderStream()
      .Subpacket(std::string_view(content).substr(2048, 1024), kZcrcq)
      .Subpacket(pads, kZcrcg)
      .Raw(bad_header)
      .Header(kZdata, 3072)
      .Subpacket(std::string_view(content).substr(3072, 1024), kZcrcw)
      .Header(kZeof, 4096)
      .Take();
}

std::string ResentFrom1024(const std::string& content) {
  return SenderStream()
      .Header(kZdata, 1024)
      .Subpacket(std::string_view(content).substr(1024, 1024), kZcrcg)
      .Subpacket(std::string_view(content).substr(2048, 1024), kZcrcq)
      .Subpacket(std::string_view(content).substr(3072, 1024), kZcrcw)
      .Header(kZeof, 4096)
      .Take();
}

std::string FirstFrameDamagedAt1024(const std::string& content) {
  return SenderStream()
      .Header(kZdata, 0)
      .Subpacket(std::string_view(content).substr(0, 1024), kZcrcg)
      .DamagedSubpacket(std::string_view(content).substr(1024, 1024), kZcrcg)
      .Take();
}

TEST(ZmodemReceiveRecovery, PassesOverTheOldStreamUntilTheDataItAskedFor) {
  const std::string content = testing::RandomBytes(4096, 21);
  RecoveryRig rig;
  rig.AnswerZrpos(FirstFrameDamagedAt1024(content));
  rig.AnswerZrpos(StaleStream(content) + ResentFrom1024(content));
  EXPECT_EQ(rig.Receive(SenderStream().File("job.bin", content.size()).Take()), 1);
  EXPECT_TRUE(rig.Received("job.bin") == content);
  EXPECT_EQ(rig.Asked(), (std::vector<int64_t>{0, 1024})) << "one ZRPOS per damaged subpacket";
}

TEST(ZmodemReceiveRecovery, AnswersADamagedZfileWithZnak) {
  // A ZRINIT would look to the sender like a late answer to its ZRQINIT.
  const std::string content = testing::RandomBytes(2048, 26);
  std::string damaged = SenderStream().File("job.bin", content.size()).Take();
  damaged[damaged.size() - 6] ^= 0x01;
  RecoveryRig rig;
  rig.AnswerZnak(SenderStream().File("job.bin", content.size()).Take());
  rig.AnswerZrpos(SenderStream()
                      .Header(kZdata, 0)
                      .Subpacket(std::string_view(content).substr(0, 1024), kZcrcg)
                      .Subpacket(std::string_view(content).substr(1024), kZcrce)
                      .Header(kZeof, 2048)
                      .Take());
  EXPECT_EQ(rig.Receive(damaged), 1);
  EXPECT_TRUE(rig.Received("job.bin") == content);
  EXPECT_EQ(rig.Asked(), std::vector<int64_t>{0});
}

TEST(ZmodemReceiveRecovery, AsksAgainWhenTheFirstZrposIsLost) {
  const std::string content = testing::RandomBytes(4096, 25);
  RecoveryRig rig;
  rig.AnswerZrpos("");
  rig.AnswerZrpos(SenderStream().Header(kZdata, 0).Subpacket(std::string_view(content).substr(0, 1024), kZcrce).Take() +
                  ResentFrom1024(content));
  EXPECT_EQ(rig.Receive(SenderStream().File("job.bin", content.size()).Take()), 1);
  EXPECT_TRUE(rig.Received("job.bin") == content);
  EXPECT_EQ(rig.Asked(), (std::vector<int64_t>{0, 0}));
}

TEST(ZmodemReceiveRecovery, AsksAgainWhenTheSenderFallsSilent) {
  const std::string content = testing::RandomBytes(4096, 22);
  RecoveryRig rig;
  rig.AnswerZrpos(FirstFrameDamagedAt1024(content));
  rig.AnswerZrpos(StaleStream(content));  // the sender did not hear this ZRPOS
  rig.AnswerZrpos(ResentFrom1024(content));
  EXPECT_EQ(rig.Receive(SenderStream().File("job.bin", content.size()).Take()), 1);
  EXPECT_TRUE(rig.Received("job.bin") == content);
  EXPECT_EQ(rig.Asked(), (std::vector<int64_t>{0, 1024, 1024}));
}

TEST(ZmodemReceiveRecovery, AsksAgainWhenTheOldStreamNeverComesBack) {
  // A sender that did not hear the ZRPOS and streams on: the receiver
  // must not wait for the end of a long file.
  const std::string content = testing::RandomBytes(4096, 23);
  RecoveryRig rig;
  rig.AnswerZrpos(FirstFrameDamagedAt1024(content));
  rig.AnswerZrpos("");
  rig.AnswerZrpos(ResentFrom1024(content));
  const std::string endless = testing::RandomBytes(1024, 24);
  rig.Clock().OnAdvance([&](uint64_t) {
    if (rig.Asked().size() == 2) rig.Port().Feed(SenderStream().Subpacket(endless, kZcrcg).Take());
  });
  EXPECT_EQ(rig.Receive(SenderStream().File("job.bin", content.size()).Take()), 1);
  EXPECT_TRUE(rig.Received("job.bin") == content);
  EXPECT_EQ(rig.Asked(), (std::vector<int64_t>{0, 1024, 1024}));
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

// A session written by an independent encoder (tests/fuzz/corpus/make_zmodem_seed.py,
// with the system's zlib for CRC-32) is received whole.
TEST(ZmodemReceive, TakesASessionFromAnIndependentEncoder) {
  std::string session;
  ASSERT_TRUE(ReadWholeFile(PELIKON_TEST_DATA "/../fuzz/corpus/zmodem_receive_fuzz/one_file.bin", session));
  TempDir dir;
  FakeClock clock;
  MemorySerialPort port(clock);
  port.Feed(session);
  EXPECT_EQ(ZmodemReceive(port, dir.Path(), nullptr, nullptr, {1007, 27}), 1);
  std::string received;
  ASSERT_TRUE(ReadWholeFile(dir / "JOB1.CRD", received));
  ASSERT_EQ(received.size(), 768u);
  for (size_t i = 0; i < received.size(); ++i) ASSERT_EQ(static_cast<uint8_t>(received[i]), i % 256) << i;
  const std::vector<Header> answers = HeadersIn(port.Output());
  ASSERT_GE(answers.size(), 4u);
  EXPECT_EQ(answers[0].type, kZrinit);
  EXPECT_EQ(answers[0].data[3], 0x27);
  EXPECT_EQ(answers[1].type, kZrpos);
}

}  // namespace
}  // namespace pelikon
