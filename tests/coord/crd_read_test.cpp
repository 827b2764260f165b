// Reading a whole file in blocks (ForEachPoint) against stepping through it
// record by record: both variants, files of many blocks, damaged records,
// a record cut short, and a file that shrinks while it is read.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

#include "coord/crd/crd_file.h"
#include "crd_bytes.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::AlphaFileBytes;
using testing::NumericFileBytes;
using testing::RawPoint;
using testing::TempDir;

struct Read {
  std::vector<CrdPoint> points;
  int result = 0;
  int error = 0;
};

// Bit for bit, so that NaN read from damaged bytes counts as equal.
bool SameBits(double a, double b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

void ExpectSamePoints(const std::vector<CrdPoint>& a, const std::vector<CrdPoint>& b) {
  ASSERT_EQ(a.size(), b.size());
  for (size_t i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(a[i].Id(), b[i].Id());
    EXPECT_EQ(a[i].Description(), b[i].Description());
    EXPECT_TRUE(SameBits(a[i].northing, b[i].northing));
    EXPECT_TRUE(SameBits(a[i].easting, b[i].easting));
    EXPECT_TRUE(SameBits(a[i].elevation, b[i].elevation));
  }
}

class WholeFileRead : public ::testing::Test {
 protected:
  Read Stepping(const std::filesystem::path& path) {
    CrdFile file;
    Read read;
    EXPECT_EQ(file.Open(path), 1);
    file.SetRange("ALL", true);
    for (CrdPoint point; file.Next(point);) read.points.push_back(point);
    read.result = 1;
    read.error = file.LastError();
    return read;
  }
  Read InBlocks(const std::filesystem::path& path) {
    CrdFile file;
    Read read;
    EXPECT_EQ(file.Open(path), 1);
    read.result = file.ForEachPoint([&](const CrdPoint& point) { read.points.push_back(point); });
    read.error = file.LastError();
    return read;
  }
  void ExpectBothAgree(const std::filesystem::path& path, size_t expected_points) {
    const Read stepped = Stepping(path);
    const Read blocks = InBlocks(path);
    EXPECT_EQ(blocks.result, 1);
    EXPECT_EQ(blocks.error, stepped.error);
    EXPECT_EQ(blocks.points.size(), expected_points);
    ExpectSamePoints(blocks.points, stepped.points);
  }

  TempDir dir_;
};

// More records than one block holds, so that the walk crosses blocks.
constexpr int kManyPoints = 9000;

TEST_F(WholeFileRead, AlphanumericFilesOfManyBlocksReadAsSteppingDoes) {
  std::vector<RawPoint> points;
  for (int i = 0; i < kManyPoints; ++i)
    points.push_back({std::to_string(100000 + i), 1000.5 + i, -2000.25 * i, i * 0.001, "P" + std::to_string(i)});
  points[7].description = std::string(32, 'x');  // no terminator: ends at its last byte
  points[8].id = "ABCDEFGHIJ";                   // likewise, and out of order
  points[9] = {"0", 0, 0, 0, ""};                // all zero: a point in this variant
  ExpectBothAgree(dir_.Write("many.crd", AlphaFileBytes(points)), kManyPoints);
  const Read read = InBlocks(dir_ / "many.crd");
  ASSERT_EQ(read.points.size(), static_cast<size_t>(kManyPoints));
  EXPECT_EQ(read.points[7].Description(), std::string(31, 'x'));
  EXPECT_EQ(read.points[8].Id(), "ABCDEFGHI");
  EXPECT_EQ(read.points.back().Id(), std::to_string(100000 + kManyPoints - 1));
}

TEST_F(WholeFileRead, NumericFilesLeaveEmptySlotsOutAndKeepTheirNumbers) {
  std::vector<RawPoint> slots(kManyPoints, RawPoint{"", 0, 0, 0, ""});
  size_t stored = 0;
  for (int i = 0; i < kManyPoints; i += 3, ++stored) slots[i] = {"", 10.0 + i, 20.0 + i, 0.5, "S" + std::to_string(i)};
  slots[1] = {"", 0, 0, 0.000001, "zero"};  // a real point at 0,0,0 as stored
  ++stored;
  ExpectBothAgree(dir_.Write("slots.crd", NumericFileBytes(kManyPoints, slots)), stored);
  const Read read = InBlocks(dir_ / "slots.crd");
  ASSERT_GE(read.points.size(), 3u);
  EXPECT_EQ(read.points[0].Id(), "1");
  EXPECT_EQ(read.points[1].Id(), "2");
  EXPECT_EQ(read.points[1].elevation, 0.0);
  EXPECT_EQ(read.points[2].Id(), "4");
}

TEST_F(WholeFileRead, DamagedAndCutShortLastRecordsReadAsSteppingDoes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  std::vector<RawPoint> points = {{"1", 1, 1, 1, "a"}, {"2", 2, 2, 2, "b"}};
  // The last record damaged: values that are no coordinates, no terminators.
  std::string alpha = AlphaFileBytes(points);
  alpha += AlphaFileBytes({{"ZZZZZZZZZZ", nan, inf, -inf, std::string(32, '\x7f')}}).substr(104);
  ExpectBothAgree(dir_.Write("damaged.crd", alpha), 3);
  // A record cut short after whole ones is left out by both.
  ExpectBothAgree(dir_.Write("cut.crd", alpha.substr(0, alpha.size() - 20)), 2);
  std::string numeric = NumericFileBytes(3, {{"", 1, 1, 1, "a"}, {"", 0, 0, 0, ""}, {"", nan, 0, 0, ""}});
  std::memset(&numeric[56 * 3 + 24], 'q', 32);
  ExpectBothAgree(dir_.Write("damaged_n.crd", numeric), 2);
}

TEST_F(WholeFileRead, AFileThatShrinksWhileReadIsAFailureNotTheEnd) {
  std::vector<RawPoint> points;
  for (int i = 0; i < kManyPoints; ++i) points.push_back({std::to_string(i + 1), 1, 2, 3, ""});
  const auto path = dir_.Write("shrinks.crd", AlphaFileBytes(points));
  CrdFile file;
  ASSERT_EQ(file.Open(path), 1);
  size_t seen = 0;
  const int result = file.ForEachPoint([&](const CrdPoint&) {
    if (seen++ == 0) std::filesystem::resize_file(path, 104 + 66 * 10);
  });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(file.LastError(), kCrdInputOutput);
  EXPECT_LT(seen, static_cast<size_t>(kManyPoints));
}

}  // namespace
}  // namespace pelikon
