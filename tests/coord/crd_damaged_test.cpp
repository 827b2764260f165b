// Files are untrusted: damage must give clear errors or be read within
// bounds, never an overrun, a huge allocation or an endless walk.
#include <gtest/gtest.h>

#include <cmath>
#include <iterator>
#include <limits>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_io_brannock.h"
#include "coord/crd/crd_stream.h"
#include "crd_bytes.h"
#include "platform/trace.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::AlphaFileBytes;
using testing::AlphaIds;
using testing::DoubleAt;
using testing::FileBytes;
using testing::NumericFileBytes;
using testing::TempDir;

class DamagedCrd : public ::testing::Test {
 protected:
  CrdEnvironment Environment() {
    CrdEnvironment env;
    env.clock = &clock_;
    env.ui = &ui_;
    return env;
  }
  std::vector<std::string> WalkAll(CrdFile& file) {
    file.SetRange("ALL", true);
    std::vector<std::string> ids;
    for (CrdPoint p; file.Next(p) && ids.size() < 1000;) ids.push_back(p.Id());
    return ids;
  }
  TempDir dir_;
  FakeClock clock_;
  testing::ScriptedUi ui_;
};

TEST_F(DamagedCrd, PartialRecordAtTheEndIsLeftOut) {
  std::string bytes = AlphaFileBytes({{"1", 1, 1, 1, ""}, {"5", 5, 5, 5, ""}});
  bytes += std::string(30, 'Z');  // a record cut short
  const auto path = dir_.Write("cut.crd", bytes);
  CrdFile file(Environment());
  ASSERT_EQ(file.Open(path), 1);
  EXPECT_EQ(file.PointCount(), 2);
  EXPECT_EQ(file.Highest(), "5");
  EXPECT_EQ(WalkAll(file), (std::vector<std::string>{"1", "5"}));
  ASSERT_EQ(file.StorePoint(CrdPoint("3", 3, 3, 3)), 1);
  EXPECT_EQ(AlphaIds(FileBytes(path)), (std::vector<std::string>{"1", "3", "5"}));
  EXPECT_EQ(FileBytes(path).size(), 104u + 3 * 66);
}

TEST_F(DamagedCrd, TextFieldsWithoutTerminatorEndAtTheirLastByte) {
  std::string bytes = AlphaFileBytes({{"ABCDEFGHIJ", 1, 1, 1, std::string(32, 'x')}});
  const auto path = dir_.Write("full.crd", bytes);
  CrdFile file(Environment());
  ASSERT_EQ(file.Open(path), 1);
  CrdPoint p;
  ASSERT_EQ(file.GetPoint("ABCDEFGHI", p), 1);
  EXPECT_EQ(p.Description(), std::string(31, 'x'));
}

// Files that fit neither variant: opening refuses them with the open
// error's text, and nothing — not a store, not a deletion — writes to them.
TEST_F(DamagedCrd, FilesThatAreNoCrdFileAreRefusedAndLeftAlone) {
  std::string text;
  for (int i = 0; text.size() < 4 * 56; ++i) text += "Point " + std::to_string(i) + ", 1000.0, 2000.0, stake\r\n";
  text.resize(4 * 56);  // a size a numeric file could have
  std::string random(4096, '\0');
  uint32_t state = 12345;
  for (char& c : random) c = static_cast<char>((state = state * 1103515245 + 12345) >> 24);
  const std::vector<testing::RawPoint> three = {{"", 1, 1, 1, "a"}, {"", 0, 0, 0, " "}, {"", 3, 3, 3, "c"}};
  std::string cut = NumericFileBytes(3, three);
  cut.pop_back();
  std::string infinite_date = NumericFileBytes(3, three);
  testing::PutDouble(infinite_date, 16, std::numeric_limits<double>::infinity());
  std::string alpha_nan = AlphaFileBytes({{"1", 1, 1, 1, ""}});
  testing::PutDouble(alpha_nan, 0, std::numeric_limits<double>::quiet_NaN());
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"text.crd", text},
      {"random.crd", random},
      {"short.crd", std::string(20, '\x01')},
      {"cut.crd", cut},
      {"claims_more.crd", NumericFileBytes(5, three)},
      {"claims_far_more.crd", NumericFileBytes(1e12, three)},
      {"negative.crd", NumericFileBytes(-1, three)},
      {"fraction.crd", NumericFileBytes(2.5, three)},
      {"nan.crd", NumericFileBytes(std::numeric_limits<double>::quiet_NaN(), three)},
      {"infinite_date.crd", infinite_date},
      {"alpha_nan.crd", alpha_nan},
  };
  for (const auto& [name, bytes] : cases) {
    SCOPED_TRACE(name);
    const auto path = dir_.Write(name, bytes);
    TraceCapture trace;
    CrdFile file(Environment());
    EXPECT_EQ(file.Open(path), 0);
    EXPECT_EQ(file.LastError(), kCrdUnknownFormat);
    EXPECT_EQ(trace.Text(), "\nError 50: Could not open file: " + path.string() +
                                "\nIt might be read-only or in use by another application or be invalid.");
    EXPECT_EQ(file.StorePoint(CrdPoint("2", 2, 2, 2)), 0);
    EXPECT_EQ(file.DeletePoints("1-100"), 0);
    EXPECT_EQ(FileBytes(path), bytes) << "left as it was";
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()), {}),
            static_cast<std::ptrdiff_t>(cases.size()))
      << "no working copy or twin was left beside them";
}

// Every file either variant is written as still opens: a numeric header
// may claim fewer points than there are slots, and an alphanumeric file
// may end in part of a record.
TEST_F(DamagedCrd, RealFilesOfBothVariantsStillOpen) {
  const auto numeric = dir_.Write("fewer.crd", NumericFileBytes(1, {{"", 1, 1, 1, "a"}, {"", 0, 0, 0, " "}}));
  CrdFile file(Environment());
  ASSERT_EQ(file.Open(numeric), 1);
  EXPECT_EQ(file.Highest(), "1");
  file.Close();
  const auto empty = dir_.Write("empty.crd", NumericFileBytes(0, {}));
  ASSERT_EQ(file.Open(empty), 1);
  EXPECT_EQ(file.Format(), kCrdNumeric);
  EXPECT_EQ(WalkAll(file), std::vector<std::string>{});
  file.Close();
  ASSERT_EQ(file.Open(dir_.Write("alpha.crd", AlphaFileBytes({}))), 1);
  EXPECT_EQ(file.Format(), kCrdAlphanumeric);
  // A header number that reads as no number is stored as 0, so the file
  // keeps opening.
  ASSERT_EQ(file.SetHeaderNumber("1e999"), 1);
  file.Close();
  ASSERT_EQ(file.Open(dir_ / "alpha.crd"), 1);
  EXPECT_EQ(file.HeaderNumber(), "0.000");
}

TEST_F(DamagedCrd, HandlerRetriesThenShowsTheMessage) {
  const auto path = dir_.Write("held.crd", AlphaFileBytes({}));
  CrdStream holder;
  ASSERT_TRUE(holder.Open(path));
  CrdFile owner(Environment());
  CrdIOBrannock handler(owner);
  TraceCapture trace;
  EXPECT_EQ(handler.Open(path), 0);
  EXPECT_EQ(handler.LastError(), kCrdCannotOpen);
  EXPECT_EQ(clock_.SleptMs(), 3000u);
  ASSERT_EQ(ui_.Shown().size(), 1u);
  EXPECT_TRUE(ui_.Saw("Failed to open coordinate file:\n  " + path.string() + "\nFile may be read-only"));
  EXPECT_EQ(trace.Text().substr(0, 32), "\nFailed to open coordinate file:");
}

}  // namespace
}  // namespace pelikon
