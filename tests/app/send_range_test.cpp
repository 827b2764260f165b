// Send Pnts against the collector simulator: the cut-out goes up under the
// remote name, a conflict may merge it into the collector's copy, and the
// cut-out never stays behind. The dialog is scripted.
#include "app/send_range/send_range.h"

#include <gtest/gtest.h>

#include <fstream>

#include "app/merge/merge_points.h"
#include "coord/crd/crd_file.h"
#include "session_rig.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

// The dialog as a user who types `reply` and presses OK (or Cancel).
class ScriptedSendRangeDialog final : public SendRangeDialogPort {
 public:
  bool Ask(SendRangeFields& fields) override {
    shown.push_back(fields);
    if (!ok) return false;
    fields = reply;
    return true;
  }
  SendRangeFields reply;
  bool ok = true;
  std::vector<SendRangeFields> shown;
};

class AcceptingWindow final : public MergeWindowPort {
 public:
  int Run(MergeSession& session, const fs::path&, const std::string&, const std::string&) override {
    session.SetRangeAll();
    session.Overwrite();
    return 1;
  }
};

void WriteCrd(const fs::path& path, int format, const std::vector<CrdPoint>& points) {
  CrdFile file;
  ASSERT_EQ(file.Open(path, 1, format), 1);
  ASSERT_EQ(file.StorePoints(points), static_cast<int64_t>(points.size()));
}

// "id north description" of every point of the file, in file order.
std::vector<std::string> Points(const fs::path& path) {
  CrdFile file;
  std::vector<std::string> lines;
  EXPECT_EQ(file.Open(path, 0, kNoFormat), 1) << path;
  file.SetRange("ALL", true);
  for (CrdPoint point; file.Next(point);)
    lines.push_back(point.Id() + " " + std::to_string(static_cast<int>(point.northing)) + " " + point.Description());
  return lines;
}

class SendRangeTest : public testing::SessionRig {
 protected:
  void SetUp() override {
    std::vector<CrdPoint> points;
    for (int id = 1; id <= 25; ++id) points.emplace_back(std::to_string(id), id * 10, 0, 0, "OFFICE");
    WriteCrd(local_ / "JOB.CRD", kCrdAlphanumeric, points);
    dialog_.reply = {local_ / "JOB.CRD", "PART.CRD", "1-3,15,20-18"};
  }
  void Send() { RunSendRange(*panes_, dialog_, fields_); }

  ScriptedSendRangeDialog dialog_;
  SendRangeFields fields_;
};

TEST_F(SendRangeTest, TheCutOutGoesUpAndTheFieldsSurviveForTheNextUse) {
  Connect();
  Send();
  EXPECT_EQ(Points(store_ / "PART.CRD"),
            (std::vector<std::string>{"1 10 OFFICE", "2 20 OFFICE", "3 30 OFFICE", "15 150 OFFICE", "18 180 OFFICE",
                                      "19 190 OFFICE", "20 200 OFFICE"}));
  EXPECT_FALSE(fs::exists(Temp() / "PART.CRD")) << "the cut-out is removed";
  bool listed = false;
  for (const DirEntry& entry : panes_->List(PaneSide::kRemote).entries) listed |= entry.name == "PART.CRD";
  EXPECT_TRUE(listed) << "the remote pane is listed again";

  dialog_.ok = false;
  Send();
  ASSERT_EQ(dialog_.shown.size(), 2u);
  EXPECT_EQ(dialog_.shown[1].remote_name, "PART.CRD");
  EXPECT_EQ(dialog_.shown[1].range, "1-3,15,20-18");
  EXPECT_EQ(dialog_.shown[1].local_file, local_ / "JOB.CRD");
}

TEST_F(SendRangeTest, MergingIntoTheCollectorsCopySendsTheMergedFile) {
  WriteCrd(store_ / "PART.CRD", kCrdAlphanumeric,
           {CrdPoint("2", 999, 0, 0, "FIELD"), CrdPoint("40", 400, 0, 0, "FIELD")});
  Connect();
  AcceptingWindow window;
  panes_->SetMergeWindow(&window);
  ui_.QueueAnswer(kAnswerMerge);
  Send();
  EXPECT_TRUE(ui_.Saw("conflict[0,1]: PART.CRD")) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(Points(store_ / "PART.CRD"),
            (std::vector<std::string>{"1 10 OFFICE", "2 20 OFFICE", "3 30 OFFICE", "15 150 OFFICE", "18 180 OFFICE",
                                      "19 190 OFFICE", "20 200 OFFICE", "40 400 FIELD"}));
  EXPECT_FALSE(fs::exists(Temp() / "PART.CRD"));
}

TEST_F(SendRangeTest, SkippingOrRefusingLeavesTheCollectorAndTheWorkingFolderAsTheyWere) {
  WriteCrd(store_ / "PART.CRD", kCrdAlphanumeric, {CrdPoint("40", 400, 0, 0, "FIELD")});
  Connect();
  ui_.QueueAnswer(kAnswerNo);  // the conflict: skip
  Send();
  EXPECT_EQ(Points(store_ / "PART.CRD"), std::vector<std::string>{"40 400 FIELD"});
  EXPECT_FALSE(fs::exists(Temp() / "PART.CRD"));

  // An old cut-out: the question comes before the local file is read, so
  // a local file that is not there is never reported.
  std::ofstream(Temp() / "PART.CRD") << "old";
  dialog_.reply.local_file = local_ / "GONE.CRD";
  ui_.QueueAnswer(kAnswerNo);
  Send();
  EXPECT_TRUE(ui_.Saw("Overwrite File: Temporary file already exists. OK to overwrite PART.CRD ?"))
      << ::testing::PrintToString(ui_.Shown());
  EXPECT_FALSE(ui_.Saw("Failed to open specified coordinate file."));
  ui_.QueueAnswer(kAnswerYes);
  Send();
  EXPECT_TRUE(ui_.Saw("Error: Failed to open specified coordinate file."));
  EXPECT_FALSE(fs::exists(local_ / "GONE.CRD")) << "a missing local file is never created";
}

TEST(SendRangeFieldsTest, SelectOkAndTheShortenedPath) {
  testing::TempDir dir;
  testing::ScriptedUi ui;
  std::vector<CrdPoint> points{CrdPoint("1", 1, 1, 1), CrdPoint("250", 2, 2, 2)};
  WriteCrd(dir / "JOB.CRD", kCrdNumeric, points);
  SendRangeFields fields{{}, {}, "5-6"};
  EXPECT_EQ(MissingSendRangeField(fields), "Please specify local file to upload");
  ASSERT_TRUE(TakeLocalCoordinateFile(fields, dir / "JOB.CRD", ui));
  EXPECT_EQ(fields.remote_name, "JOB.CRD");
  EXPECT_EQ(fields.range, "1-250");
  fields.remote_name = "KEPT.CRD";
  std::ofstream(dir / "NOT.CRD") << "no coordinates here";
  EXPECT_FALSE(TakeLocalCoordinateFile(fields, dir / "NOT.CRD", ui));
  EXPECT_TRUE(ui.Saw("Error: Failed to open specified coordinate file."));
  EXPECT_EQ(fields.remote_name, "KEPT.CRD") << "a typed remote name stays";
  EXPECT_EQ(fields.range, "1-250");
  fields.range = " ";
  EXPECT_EQ(MissingSendRangeField(fields), "Please specify point range");
  fields.remote_name.clear();
  EXPECT_EQ(MissingSendRangeField(fields), "Please specify remote file name");

  EXPECT_EQ(ShortenedPath("/home/ann/JOB.CRD", 40), "/home/ann/JOB.CRD");
  const std::string deep = "/home/ann/projects/2026/north-road/field/JOB.CRD";
  EXPECT_EQ(ShortenedPath(deep, 40), "..." + deep.substr(deep.size() - 33));
  EXPECT_EQ(ShortenedPath("c:\\survey\\projects\\2026\\north-road\\field\\JOB.CRD", 40),
            "C:...cts\\2026\\north-road\\field\\JOB.CRD");
  EXPECT_EQ(ShortenedPath("\\\\office\\share\\projects\\2026\\north\\JOB.CRD", 40),
            "\\\\...share\\projects\\2026\\north\\JOB.CRD");
}

}  // namespace
}  // namespace pelikon
