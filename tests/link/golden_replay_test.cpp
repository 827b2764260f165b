// Our engines against recorded sessions with lrzsz, gkermit and C-Kermit
// (tests/data/golden): the peer's side is played back, every byte our side
// writes must be the byte it wrote in the recording, and the files must
// arrive whole. This checks the engines byte for byte on a machine without
// the peers; the interoperability tests with the live peers stay.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "link/kermit/kermit.h"
#include "link/zmodem/zmodem.h"
#include "support/golden_capture.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::Capture;
using testing::CaptureFile;
using testing::CaptureReplay;
using testing::Contents;
using testing::TempDir;

const std::filesystem::path kGolden = PELIKON_TEST_DATA "/golden";

std::vector<std::string> CaptureNames() {
  std::vector<std::string> names;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(kGolden, error))
    if (entry.path().extension() == ".cap") names.push_back(entry.path().stem().string());
  std::sort(names.begin(), names.end());
  return names;
}

Capture Load(const std::string& name) {
  Capture capture;
  std::string error;
  EXPECT_TRUE(ReadCapture(kGolden / (name + ".cap"), capture, error)) << error;
  return capture;
}

// The captures were recorded in universal time: dates on the wire depend
// on the time zone.
class UniversalTime {
 public:
  UniversalTime() {
    if (const char* zone = std::getenv("TZ")) saved_ = zone;
    ::setenv("TZ", "UTC", 1);
    ::tzset();
  }
  ~UniversalTime() {
    if (saved_.empty())
      ::unsetenv("TZ");
    else
      ::setenv("TZ", saved_.c_str(), 1);
    ::tzset();
  }

 private:
  std::string saved_;
};

// The originals under their names on the wire, with the recorded date. A
// name that holds "*" or "?" gets a neighbour it would match as a pattern:
// the chosen file must travel alone.
void PlaceOriginals(const Capture& capture, const TempDir& dir) {
  for (const CaptureFile& file : capture.files) {
    const auto path = dir.Write(file.wire_name, Contents(kGolden / "files" / file.stored));
    const struct timespec times[2] = {{capture.mtime, 0}, {capture.mtime, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    std::string neighbour = file.wire_name;
    std::replace_if(
        neighbour.begin(), neighbour.end(), [](char c) { return c == '*' || c == '?'; }, 'X');
    if (neighbour != file.wire_name) dir.Write(neighbour, "a neighbour that stays at home");
  }
}

int RunEngine(const Capture& capture, SerialPort& port, const TempDir& dir) {
  const bool kermit = capture.protocol == "kermit";
  if (capture.direction == "receive")
    return kermit ? KermitReceive(port, dir.Path(), nullptr, nullptr, capture.options)
                  : ZmodemReceive(port, dir.Path(), nullptr, nullptr, capture.options);
  std::vector<std::string> specs;
  for (const CaptureFile& file : capture.files) specs.push_back((dir / file.wire_name).string());
  return kermit ? KermitSend(port, specs, nullptr, nullptr, capture.options)
                : ZmodemSend(port, specs, nullptr, nullptr, capture.options);
}

class GoldenReplay : public ::testing::TestWithParam<std::string> {
 protected:
  UniversalTime utc_;
};

TEST_P(GoldenReplay, OurSideSaysWhatItSaidAndTheFilesArriveWhole) {
  const Capture capture = Load(GetParam());
  ASSERT_FALSE(capture.files.empty());
  TempDir dir;
  const bool sending = capture.direction == "send";
  if (sending) PlaceOriginals(capture, dir);
  FakeClock clock;
  CaptureReplay replay(capture, clock);
  const int result = RunEngine(capture, replay.Port(), dir);
  EXPECT_EQ(replay.Mismatch(), "") << "our side no longer says what it said to " << capture.peer;
  EXPECT_TRUE(replay.Complete()) << "our side wrote " << replay.Written() << " of " << replay.Expected() << " bytes";
  EXPECT_EQ(result, static_cast<int>(capture.files.size()));
  if (sending) return;
  for (const CaptureFile& file : capture.files) {
    SCOPED_TRACE(file.wire_name);
    EXPECT_TRUE(Contents(dir / file.wire_name) == Contents(kGolden / "files" / file.stored))
        << "the received file differs";
    struct stat info {};
    ASSERT_EQ(::stat((dir / file.wire_name).c_str(), &info), 0);
    if (capture.peer_sends_dates) {
      EXPECT_EQ(info.st_mtime, capture.mtime) << "the sent date is the file's date";
    }
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}),
            static_cast<std::ptrdiff_t>(capture.files.size()))
      << "nothing else lands";
}

INSTANTIATE_TEST_SUITE_P(Captures, GoldenReplay, ::testing::ValuesIn(CaptureNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           std::replace(name.begin(), name.end(), '-', '_');
                           return name;
                         });

TEST(GoldenCaptures, CoverEachPeerInEachDirection) {
  std::set<std::string> seen;
  for (const std::string& name : CaptureNames()) {
    const Capture capture = Load(name);
    seen.insert(capture.protocol + " " + capture.direction + " " + capture.peer.substr(0, capture.peer.find(' ')));
  }
  EXPECT_EQ(seen, (std::set<std::string>{"zmodem send rz", "zmodem receive sz", "kermit send gkermit",
                                         "kermit receive gkermit", "kermit send kermit", "kermit receive kermit"}));
}

// The replay itself: a byte our side writes differently is reported with
// its offset and both bytes, and the run ends instead of waiting.
TEST(GoldenCaptures, ADifferenceIsReportedWithItsOffsetAndBothBytes) {
  UniversalTime utc;
  for (const char* name : {"kermit-send-gkermit", "zmodem-receive-sz"}) {
    SCOPED_TRACE(name);
    Capture capture = Load(name);
    // Our 40th byte, as the capture would have it, changed.
    const size_t offset = 40;
    size_t before = 0;
    char original = 0, changed = 0;
    for (Capture::Piece& piece : capture.pieces) {
      if (!piece.ours) continue;
      if (offset < before + piece.bytes.size()) {
        original = piece.bytes[offset - before];
        changed = static_cast<char>(original ^ 0x20);
        piece.bytes[offset - before] = changed;
        break;
      }
      before += piece.bytes.size();
    }
    TempDir dir;
    if (capture.direction == "send") PlaceOriginals(capture, dir);
    FakeClock clock;
    CaptureReplay replay(capture, clock);
    EXPECT_LT(RunEngine(capture, replay.Port(), dir), 0);
    char expected[80];
    std::snprintf(expected, sizeof expected, "offset 40: our side wrote 0x%02X, the capture has 0x%02X",
                  static_cast<unsigned char>(original), static_cast<unsigned char>(changed));
    EXPECT_EQ(replay.Mismatch(), expected);
    EXPECT_FALSE(replay.Complete());
  }
}

}  // namespace
}  // namespace pelikon
