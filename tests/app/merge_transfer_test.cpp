// "Merge Points" in Transfer runs against the collector simulator: a
// downloaded coordinate file merged into the PC's, and the PC's merged
// into the collector's copy before it is sent; the window is scripted.
#include <gtest/gtest.h>

#include "app/merge/merge_points.h"
#include "app/transfer/transfer_run.h"
#include "coord/crd/crd_file.h"
#include "session_rig.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

// The merge window as a user who overwrites every conflict and accepts.
class OverwritingWindow final : public MergeWindowPort {
 public:
  int Run(MergeSession& session, const fs::path&, const std::string& source_name,
          const std::string& target_name) override {
    seen.push_back(source_name + " into " + target_name);
    session.SetRangeAll();
    session.Overwrite();
    return accept ? 1 : 0;
  }
  std::vector<std::string> seen;
  bool accept = true;
};

void WriteCrd(const fs::path& path, std::initializer_list<CrdPoint> points) {
  CrdFile file;
  ASSERT_EQ(file.Open(path, 1, kCrdAlphanumeric), 1);
  for (const CrdPoint& point : points) ASSERT_EQ(file.StorePoint(point, true), 1);
}

// "id north description" of every point, in identifier order.
std::vector<std::string> Points(const fs::path& path) {
  CrdFile file;
  std::vector<std::string> lines;
  EXPECT_EQ(file.Open(path, 0, kNoFormat), 1) << path;
  for (const char* id : {"1", "2", "3", "4"}) {
    CrdPoint point;
    if (file.GetPoint(id, point, true) == 1)
      lines.push_back(point.Id() + " " + std::to_string(static_cast<int>(point.northing)) + " " + point.Description());
  }
  return lines;
}

class MergeTransferTest : public testing::SessionRig {
 protected:
  void SetUp() override {
    // The office file and the field file share point 2, moved in the field.
    WriteCrd(local_ / "JOB.CRD", {CrdPoint("1", 100, 100, 1, "OFFICE"), CrdPoint("2", 200, 200, 2, "OFFICE")});
    WriteCrd(store_ / "JOB.CRD", {CrdPoint("2", 250, 200, 2, "FIELD"), CrdPoint("3", 300, 300, 3, "FIELD")});
  }
  OverwritingWindow window_;
};

TEST_F(MergeTransferTest, ADownloadedFileIsMergedIntoThePcFile) {
  Connect();
  panes_->SetMergeWindow(&window_);
  Tag(PaneSide::kRemote, "JOB.CRD");
  ui_.QueueAnswer(kAnswerNo);  // no companions by job name
  ui_.QueueAnswer(kAnswerMerge);
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("conflict[0,1]: JOB.CRD")) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(window_.seen, std::vector<std::string>{"JOB.CRD into JOB.CRD"});
  EXPECT_EQ(Points(local_ / "JOB.CRD"), (std::vector<std::string>{"1 100 OFFICE", "2 250 FIELD", "3 300 FIELD"}));
  EXPECT_FALSE(ui_.Saw("Overwrite File: OK to overwrite")) << "a merge replaces nothing";
  EXPECT_EQ(Points(store_ / "JOB.CRD").size(), 2u) << "the collector's file is unchanged";
}

TEST_F(MergeTransferTest, AnUploadMergesIntoTheCollectorsCopyAndSendsTheResult) {
  Connect();
  panes_->SetMergeWindow(&window_);
  Tag(PaneSide::kLocal, "JOB.CRD");
  ui_.QueueAnswer(kAnswerNo);     // no companions by job name
  ui_.QueueAnswer(kAnswerMerge);  // the conflict
  TransferRun(*panes_, nullptr).Start();
  // The PC's points (the source) went into the collector's copy (the target).
  EXPECT_EQ(Points(store_ / "JOB.CRD"), (std::vector<std::string>{"1 100 OFFICE", "2 200 OFFICE", "3 300 FIELD"}));
  EXPECT_EQ(Points(local_ / "JOB.CRD"), (std::vector<std::string>{"1 100 OFFICE", "2 200 OFFICE"}))
      << "the PC's file is unchanged";
}

TEST_F(MergeTransferTest, ACancelledMergeChangesNothingAndWithoutAWindowNoMergeIsOffered) {
  Connect();
  panes_->SetMergeWindow(&window_);
  window_.accept = false;
  Tag(PaneSide::kRemote, "JOB.CRD");
  ui_.QueueAnswer(kAnswerNo);  // no companions by job name
  ui_.QueueAnswer(kAnswerMerge);
  TransferRun(*panes_, nullptr).Start();
  EXPECT_EQ(Points(local_ / "JOB.CRD"), (std::vector<std::string>{"1 100 OFFICE", "2 200 OFFICE"}));

  panes_->SetMergeWindow(nullptr);
  Tag(PaneSide::kRemote, "JOB.CRD");
  ui_.QueueAnswer(kAnswerNo);     // no companions by job name
  ui_.QueueAnswer(kAnswerMerge);  // not offered: taken as Skip
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("conflict[0,0]: JOB.CRD"));
  EXPECT_EQ(Points(local_ / "JOB.CRD"), (std::vector<std::string>{"1 100 OFFICE", "2 200 OFFICE"}));
}

}  // namespace
}  // namespace pelikon
