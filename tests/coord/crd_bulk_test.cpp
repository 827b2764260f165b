// Random points stored one by one and in batches, in both variants, checked
// against an in-memory model and against each other byte for byte.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "coord/crd/crd_file.h"
#include "crd_bytes.h"
#include "pointid/point_id.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::FileBytes;
using testing::FileSizeLimit;
using testing::TempDir;

struct IdOrder {
  bool operator()(const std::string& a, const std::string& b) const { return ComparePointIds(a, b) < 0; }
};

class PointMaker {
 public:
  explicit PointMaker(uint32_t seed) : random_(seed) {}

  std::string AlphaId() {
    static const char* kShapes[] = {"#", "L#", "#L", "LL#", "L#L#", "l#"};
    std::string id;
    for (const char* c = kShapes[Pick(6)]; *c; ++c) {
      if (*c == '#') id += std::to_string(Pick(300));
      if (*c == 'L') id += static_cast<char>('A' + Pick(26));
      if (*c == 'l') id += static_cast<char>('a' + Pick(26));
    }
    if (Pick(10) == 0) id = " " + id + "-" + std::to_string(Pick(9));  // trimmed, "-" stored as "_"
    return id;
  }
  std::string NumericId() { return std::to_string(1 + Pick(400)); }

  CrdPoint Point(const std::string& id) {
    std::string description;
    for (size_t n = Pick(32); n > 0; --n) description += static_cast<char>(' ' + Pick(95));
    if (Pick(15) == 0) return CrdPoint(id, 0, 0, 0, description);
    return CrdPoint(id, Coordinate(), Coordinate(), Coordinate(), description);
  }

  size_t Pick(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random_); }

 private:
  double Coordinate() { return std::uniform_real_distribution<double>(-1e6, 1e6)(random_); }
  std::mt19937 random_;
};

class BulkStore : public ::testing::Test {
 protected:
  std::unique_ptr<CrdFile> Create(const char* name, int format) {
    auto file = std::make_unique<CrdFile>(Environment());
    EXPECT_EQ(file->Open(dir_ / name, 1, format), 1);
    return file;
  }
  CrdEnvironment Environment() {
    CrdEnvironment env;
    env.clock = &clock_;
    env.today = [] { return CivilDate{2024, 2, 29}; };
    return env;
  }
  TempDir dir_;
  FakeClock clock_;
};

TEST_F(BulkStore, RandomPointsMatchTheModelAndBothPathsAgree) {
  for (int format : {kCrdAlphanumeric, kCrdNumeric}) {
    const bool numeric = format == kCrdNumeric;
    PointMaker maker(numeric ? 7 : 11);
    auto one_by_one = Create("single.crd", format);
    auto bulk = Create("bulk.crd", format);
    std::map<std::string, CrdPoint, IdOrder> model;
    for (int round = 0; round < 6; ++round) {
      std::vector<CrdPoint> batch;
      for (int i = 0; i < 250; ++i) batch.push_back(maker.Point(numeric ? maker.NumericId() : maker.AlphaId()));
      std::vector<int> single_errors;
      for (const CrdPoint& p : batch) {
        single_errors.push_back(one_by_one->StorePoint(p, true) ? kCrdOk : one_by_one->LastError());
        if (single_errors.back() != kCrdOk) continue;
        CrdPoint expected = p;
        expected.SetId(NormaliseId(p.Id(), numeric));
        model[expected.Id()] = expected;
      }
      std::vector<int> bulk_errors;
      bulk->StorePoints(batch, true, kNoHistoryCommand, {}, &bulk_errors);
      EXPECT_EQ(bulk_errors, single_errors);
      EXPECT_EQ(bulk->LastError(), one_by_one->LastError());
      ASSERT_TRUE(FileBytes(dir_ / "single.crd") == FileBytes(dir_ / "bulk.crd")) << "round " << round;
      EXPECT_EQ(bulk->Highest(), one_by_one->Highest());
      EXPECT_EQ(bulk->Lowest(), one_by_one->Lowest());
    }
    // Reopened, the file gives back exactly the model, in its order.
    bulk->Close();
    ASSERT_EQ(bulk->Open(dir_ / "bulk.crd"), 1);
    bulk->SetRange("ALL", true);
    auto expected = model.begin();
    CrdPoint p;
    size_t seen = 0;
    while (bulk->Next(p)) {
      ASSERT_NE(expected, model.end());
      EXPECT_EQ(p.Id(), expected->second.Id());
      EXPECT_EQ(p.northing, expected->second.northing);
      EXPECT_EQ(p.easting, expected->second.easting);
      EXPECT_EQ(p.elevation, expected->second.elevation);
      EXPECT_EQ(p.Description(), expected->second.Description());
      ++expected;
      ++seen;
    }
    EXPECT_EQ(seen, model.size());
    EXPECT_GT(seen, 200u);
    one_by_one->DeleteFile(false);
    bulk->DeleteFile(false);
  }
}

TEST_F(BulkStore, InsertingMovesATailOfManyBlocks) {
  auto file = Create("big.crd", kCrdAlphanumeric);
  std::vector<CrdPoint> points;
  for (int i = 1; i <= 40000; ++i) points.emplace_back(std::to_string(2 * i), i, i, i, "P" + std::to_string(i));
  ASSERT_EQ(file->StorePoints(points), 40000);
  ASSERT_EQ(file->StorePoint(CrdPoint("1", -1, -1, -1, "FRONT")), 1);
  const std::vector<std::string> ids = testing::AlphaIds(FileBytes(dir_ / "big.crd"));
  ASSERT_EQ(ids.size(), 40001u);
  EXPECT_EQ(ids.front(), "1");
  for (size_t i = 1; i < ids.size(); ++i) ASSERT_EQ(ids[i], std::to_string(2 * i));
  CrdPoint p;
  ASSERT_EQ(file->GetPoint("80000", p), 1);
  EXPECT_EQ(p.Description(), "P40000");
}

TEST_F(BulkStore, LaterPointsOfABatchWinAndNothingIsWrittenOnFailure) {
  auto file = Create("job.crd", kCrdAlphanumeric);
  std::vector<CrdPoint> batch = {CrdPoint("7", 1, 1, 1, "first"), CrdPoint("TOO-LONG-ID", 2, 2, 2),
                                 CrdPoint("7", 3, 3, 3, "second")};
  std::vector<int> errors;
  EXPECT_EQ(file->StorePoints(batch, true, kNoHistoryCommand, {}, &errors), 2);
  EXPECT_EQ(errors, (std::vector<int>{kCrdOk, kCrdIdTooLong, kCrdOk}));
  CrdPoint p;
  ASSERT_EQ(file->GetPoint("7", p), 1);
  EXPECT_EQ(p.Description(), "second");
  EXPECT_EQ(file->PointCount(), 1);

  // A twin that cannot be made leaves the file as it was.
  const std::string before = FileBytes(dir_ / "job.crd");
  std::filesystem::create_directory(dir_ / "job.crd.new");
  EXPECT_EQ(file->StorePoints(std::vector<CrdPoint>{CrdPoint("8", 1, 1, 1)}), 0);
  EXPECT_EQ(file->LastError(), kCrdInputOutput);
  EXPECT_TRUE(FileBytes(dir_ / "job.crd") == before);
}

TEST_F(BulkStore, AnInsertThatCannotGrowTheFileLosesNoRecord) {
  auto file = Create("big.crd", kCrdAlphanumeric);
  std::vector<CrdPoint> points;
  for (int i = 1; i <= 40000; ++i) points.emplace_back(std::to_string(2 * i), i, i, i);
  ASSERT_EQ(file->StorePoints(points), 40000);
  const std::string before = FileBytes(dir_ / "big.crd");
  {
    FileSizeLimit full(before.size());
    EXPECT_EQ(file->StorePoint(CrdPoint("3", 1, 1, 1)), 0);
    EXPECT_EQ(file->LastError(), kCrdInputOutput);
    EXPECT_EQ(file->StorePoints(std::vector<CrdPoint>{CrdPoint("5", 1, 1, 1)}), 0);
  }
  // The tail moves from the end, the old last record first: that one write
  // grows the file, so a disk that refuses it leaves every record in place.
  EXPECT_TRUE(FileBytes(dir_ / "big.crd") == before);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "big.crd.new"));
  ASSERT_EQ(file->StorePoint(CrdPoint("3", 1, 1, 1)), 1);
  EXPECT_EQ(file->PointCount(), 40001);

  auto numeric = Create("n.crd", kCrdNumeric);
  ASSERT_EQ(numeric->StorePoint(CrdPoint("2", 1, 1, 1)), 1);
  const std::string numeric_before = FileBytes(dir_ / "n.crd");
  {
    FileSizeLimit full(numeric_before.size());
    EXPECT_EQ(numeric->StorePoint(CrdPoint("50", 1, 1, 1)), 0);
  }
  // The header is written last, so it never claims slots the file lacks.
  EXPECT_EQ(testing::DoubleAt(FileBytes(dir_ / "n.crd"), 0), 2.0);
  EXPECT_EQ(numeric->Highest(), "2");
}

// Records what the file reports while its history is on.
class ListRecorder final : public CrdHistoryRecorder {
 public:
  explicit ListRecorder(std::vector<std::string>& log) : log_(log) {}
  void Record(CrdFile&, const CrdPoint* after, const CrdPoint* before, int command, std::string_view) override {
    log_.push_back(std::to_string(command) + ":" +
                   (before ? before->Id() + "@" + std::to_string(before->northing) : "-") + ">" +
                   (after ? after->Id() : "-"));
  }
  void Close() override { log_.push_back("close"); }

 private:
  std::vector<std::string>& log_;
};

TEST_F(BulkStore, HistoryReceivesOldAndNewPointsWhenEnabled) {
  std::vector<std::string> log;
  auto file = Create("job.crd", kCrdAlphanumeric);
  file->SetHistoryRecorder(std::make_unique<ListRecorder>(log));
  ASSERT_EQ(file->StorePoint(CrdPoint("1", 5, 5, 5), true, 1), 1);
  EXPECT_TRUE(log.empty());  // history starts off
  file->SetHistoryEnabled(true);
  ASSERT_EQ(file->StorePoint(CrdPoint("1", 6, 6, 6), true, 1), 1);
  ASSERT_EQ(file->StorePoint(CrdPoint("2", 7, 7, 7), true, kNoHistoryCommand), 1);
  const std::vector<CrdPoint> batch = {CrdPoint("3", 1, 1, 1)};
  ASSERT_EQ(file->StorePoints(batch, true, 16), 1);
  EXPECT_EQ(file->DeletePoints("2"), 1);
  EXPECT_TRUE(file->HistoryEnabled());  // restored after the bulk copy
  file->Close();
  EXPECT_EQ(log, (std::vector<std::string>{"1:1@5.000000>1", "16:->3", "0:2@7.000000>-", "close"}));
}

}  // namespace
}  // namespace pelikon
