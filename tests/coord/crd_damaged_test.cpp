// Files are untrusted: damage must give clear errors or be read within
// bounds, never an overrun, a huge allocation or an endless walk.
#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(DamagedCrd, NumericHeaderClaimingFarTooManyPoints) {
  const auto path =
      dir_.Write("claims.crd", NumericFileBytes(1e12, {{"", 1, 1, 1, "a"}, {"", 0, 0, 0, " "}, {"", 3, 3, 3, "c"}}));
  CrdFile file(Environment());
  ASSERT_EQ(file.Open(path), 1);
  EXPECT_EQ(file.Highest(), "3");  // taken at the file's word
  EXPECT_EQ(WalkAll(file), (std::vector<std::string>{"1", "3"}));
  file.SetRange("1000000000000-1");
  std::vector<std::string> down;
  for (CrdPoint p; file.Next(p);) down.push_back(p.Id());
  EXPECT_EQ(down, (std::vector<std::string>{"3", "1"}));
  CrdPoint p;
  EXPECT_EQ(file.GetPoint("500", p, true), 0);
  EXPECT_EQ(file.GetPoint("-99999999999999999999999", p, true), 0);
  // The next store puts the header right.
  ASSERT_EQ(file.StorePoint(CrdPoint("2", 2, 2, 2)), 1);
  EXPECT_EQ(DoubleAt(FileBytes(path), 0), 3.0);

  const auto nan_path =
      dir_.Write("nan.crd", NumericFileBytes(std::numeric_limits<double>::quiet_NaN(), {{"", 1, 1, 1, ""}}));
  CrdFile nan_file(Environment());
  ASSERT_EQ(nan_file.Open(nan_path), 1);
  EXPECT_EQ(nan_file.Highest(), "0");
  ASSERT_EQ(nan_file.StorePoint(CrdPoint("2", 2, 2, 2)), 1);
  EXPECT_EQ(DoubleAt(FileBytes(nan_path), 0), 2.0);
}

TEST_F(DamagedCrd, FileShorterThanAHeaderIsRefused) {
  const auto path = dir_.Write("short.crd", std::string(20, '\x01'));
  TraceCapture trace;
  CrdFile file(Environment());
  EXPECT_EQ(file.Open(path), 0);
  EXPECT_EQ(file.LastError(), kCrdInputOutput);
  EXPECT_EQ(trace.Text(), "\nError 23: Could not open file: " + path.string() +
                              "\nIt might be read-only or in use by another application or be invalid.");
  EXPECT_EQ(FileBytes(path), std::string(20, '\x01'));  // left as it was
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
