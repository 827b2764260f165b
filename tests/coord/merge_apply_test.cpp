// Merging into real files: points stored under their new identifiers, notes
// moving with them, and a failure midway leaving the target untouched.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "coord/crd/crd_file.h"
#include "coord/crd/crd_format.h"
#include "coord/history/crd_history.h"
#include "coord/merge/merge_apply.h"
#include "coord/merge/merge_columns.h"
#include "coord/merge/point_notes.h"
#include "crd_bytes.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::FileBytes;
using testing::TempDir;

TEST(PointNotes, ReadsMergesRepeatsAndDropsRanges) {
  const PointNotes notes = PointNotes::Parse(
      "stray line before any entry\n"
      "PT_ID:7  GIS_FILE:a.shp\r\n"
      "pole\r\n"
      "leaning\r\n"
      "PT_ID:range-1\n"
      "dropped\n"
      "PT_ID:p9 trailing words\n"
      "first\n"
      "PT_ID:P9\n"
      "second\n"
      "PT_ID:12\n");
  ASSERT_EQ(notes.Entries().size(), 3u);
  // Newest first.
  EXPECT_EQ(notes.Entries().front().id, "12");
  const PointNote* seven = notes.Find("7");
  ASSERT_TRUE(seven);
  EXPECT_EQ(seven->gis_file, "a.shp");
  EXPECT_EQ(seven->lines, (std::vector<std::string>{"pole", "leaning"}));
  const PointNote* nine = notes.Find("p9");
  ASSERT_TRUE(nine);
  EXPECT_EQ(nine->lines, std::vector<std::string>{"second"});
  EXPECT_EQ(notes.Find("RANGE-1"), nullptr);
  // 12 has no lines and is not written; CR LF line ends.
  EXPECT_EQ(notes.Format(), "PT_ID:P9\r\nsecond\r\nPT_ID:7  GIS_FILE:a.shp\r\npole\r\nleaning\r\n");
  EXPECT_EQ(PointNotes::Parse(notes.Format()).Format().size(), notes.Format().size());
  EXPECT_EQ(PointNotes::PathFor("/x/job.crd"), fs::path("/x/job.not"));
}

class MergeApply : public ::testing::Test {
 protected:
  fs::path Make(const char* name, int format, const std::vector<CrdPoint>& points) {
    const fs::path path = dir_ / name;
    CrdFile file;
    EXPECT_EQ(file.Open(path, 1, format), 1);
    for (const CrdPoint& point : points) EXPECT_EQ(file.StorePoint(point, true), 1);
    return path;
  }
  std::map<std::string, std::string> Points(const fs::path& path) {
    CrdFile file;
    std::string error;
    EXPECT_TRUE(OpenExistingCrd(file, path, error)) << error;
    std::map<std::string, std::string> points;
    for (const CrdPoint& point : ReadAllPoints(file))
      points[point.Id()] = std::to_string(point.northing) + " " + point.Description();
    return points;
  }
  MergeSession Session(const fs::path& source, const fs::path& target) {
    CrdFile s;
    CrdFile t;
    std::string error;
    EXPECT_TRUE(OpenExistingCrd(s, source, error));
    EXPECT_TRUE(OpenExistingCrd(t, target, error));
    return MergeSession(ReadAllPoints(s), ReadAllPoints(t), t.Format() == kCrdNumeric, true);
  }

  TempDir dir_;
};

TEST_F(MergeApply, StoresRenumberedPointsAndMovesTheirNotes) {
  for (const int format : {kCrdNumeric, kCrdAlphanumeric}) {
    SCOPED_TRACE(format);
    const fs::path source = Make("in.crd", format, {{"7", 1, 1, 1, "new7"}, {"8", 2, 2, 2, "eight"}});
    const fs::path target = Make("job.crd", format, {{"7", 9, 9, 9, "old7"}, {"12", 5, 5, 5, "twelve"}});
    dir_.Write("in.not", "PT_ID:7  GIS_FILE:a.shp\r\nnote of 7\r\nPT_ID:RANGE-1\r\nrange note\r\n");
    dir_.Write("job.not", "PT_ID:12  GIS_FILE:b.shp\r\nold note of 12\r\n");
    MergeSession session = Session(source, target);
    // 12 is taken in the target, so 7 goes to 13; from 12 upward as asked.
    session.SetRange("7");
    ASSERT_EQ(session.Renumber(RenumberFrom::kStartingAt, "12"), 1);
    const MergeApplyResult result = ApplyMerge(session, source, target);
    ASSERT_TRUE(result.ok) << result.error;
    EXPECT_EQ(result.stored, 2);
    EXPECT_EQ(result.notes_moved, 1);
    EXPECT_EQ(
        Points(target),
        (std::map<std::string, std::string>{
            {"7", "9.000000 old7"}, {"8", "2.000000 eight"}, {"12", "5.000000 twelve"}, {"13", "1.000000 new7"}}));
    EXPECT_EQ(FileBytes(dir_ / "job.not"),
              "PT_ID:13  GIS_FILE:a.shp\r\nnote of 7\r\nPT_ID:12  GIS_FILE:b.shp\r\nold note of 12\r\n");
    EXPECT_FALSE(fs::exists(MergeTwinPath(target)));
    EXPECT_FALSE(fs::exists(TwinPath(dir_ / "job.not")));
    fs::remove_all(dir_.Path());
    fs::create_directories(dir_.Path());
  }
}

TEST_F(MergeApply, OverwriteReplacesAndUndecidedConflictsStayOut) {
  const fs::path source = Make("in.crd", kCrdAlphanumeric, {{"A1", 1, 1, 1, "x"}, {"A2", 2, 2, 2, "y"}});
  const fs::path target = Make("job.crd", kCrdAlphanumeric, {{"A1", 5, 5, 5}, {"A2", 6, 6, 6}});
  MergeSession session = Session(source, target);
  session.SetRange("A1");
  session.Overwrite();
  ASSERT_TRUE(ApplyMerge(session, source, target).ok);
  EXPECT_EQ(Points(target), (std::map<std::string, std::string>{{"A1", "1.000000 x"}, {"A2", "6.000000 "}}));
  // No notes anywhere: none are written.
  EXPECT_FALSE(fs::exists(dir_ / "job.not"));

  // Nothing to store: the target is not even copied (a twin could not be made).
  session.Reset();
  fs::create_directory(MergeTwinPath(target));
  const MergeApplyResult nothing = ApplyMerge(session, source, target);
  EXPECT_TRUE(nothing.ok) << nothing.error;
  EXPECT_EQ(nothing.stored, 0);
  session.Overwrite();
  EXPECT_FALSE(ApplyMerge(session, source, target).ok);
  EXPECT_EQ(Points(target).at("A2"), "6.000000 ");
}

TEST_F(MergeApply, AFailureMidwayLeavesTargetAndNotesAsTheyWere) {
  // The first point overwrites in place; the second must grow the file and
  // cannot, as on a full disk.
  const fs::path source = Make("in.crd", kCrdAlphanumeric, {{"1", 7, 7, 7, "changed"}, {"5", 1, 1, 1}});
  const fs::path target = Make("job.crd", kCrdAlphanumeric, {{"1", 2, 2, 2}, {"2", 3, 3, 3}});
  dir_.Write("in.not", "PT_ID:5\r\nnote of 5\r\n");
  dir_.Write("job.not", "PT_ID:2\r\nnote of 2\r\n");
  const std::string crd_before = FileBytes(target);
  const std::string notes_before = FileBytes(dir_ / "job.not");
  MergeSession session = Session(source, target);
  session.Overwrite();
  MergeApplyResult result;
  {
    testing::FileSizeLimit full(crd_before.size());
    result = ApplyMerge(session, source, target);
  }
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("cannot be stored"), std::string::npos) << result.error;
  EXPECT_TRUE(FileBytes(target) == crd_before);
  EXPECT_EQ(FileBytes(dir_ / "job.not"), notes_before);
  EXPECT_FALSE(fs::exists(MergeTwinPath(target)));
  EXPECT_FALSE(fs::exists(TwinPath(dir_ / "job.not")));

  // A point the target refuses (an identifier a numeric file cannot hold)
  // fails the same way.
  const fs::path numeric = Make("n.crd", kCrdNumeric, {{"1", 2, 2, 2}});
  const std::string numeric_before = FileBytes(numeric);
  MergeSession refused({CrdPoint("1", 7, 7, 7)}, {CrdPoint("1", 2, 2, 2)}, false, true);
  refused.Renumber(RenumberFrom::kStartingAt, "X1");
  const fs::path alpha_source = Make("a.crd", kCrdAlphanumeric, {{"1", 7, 7, 7}});
  EXPECT_FALSE(ApplyMerge(refused, alpha_source, numeric).ok);
  EXPECT_TRUE(FileBytes(numeric) == numeric_before);
}

TEST_F(MergeApply, HistoryIsRecordedIntoTheTargetsHistoryAndSparedOnFailure) {
  const fs::path source = Make("in.crd", kCrdAlphanumeric, {{"1", 7, 7, 7, "new"}, {"5", 1, 1, 1}});
  const fs::path target = Make("job.crd", kCrdAlphanumeric, {{"2", 3, 3, 3}});
  {
    CrdFile file;
    ASSERT_EQ(file.Open(target), 1);
    EnableHistory(file, std::make_unique<CrdHistoryWriter>("office", [] { return int64_t{1000}; }));
    ASSERT_EQ(file.StorePoint(CrdPoint("1", 2, 2, 2, "old"), true, 2), 1);
  }
  const fs::path history = CompanionPath(target, "his");
  const std::string history_before = FileBytes(history);
  auto record = [](CrdFile& twin) {
    EnableHistory(twin, std::make_unique<CrdHistoryWriter>("merger", [] { return int64_t{2000}; }));
  };
  MergeSession session = Session(source, target);
  session.Overwrite();

  const std::string crd_before = FileBytes(target);
  {
    testing::FileSizeLimit full(crd_before.size());
    const MergeApplyResult result = ApplyMerge(session, source, target, record);
    EXPECT_NE(result.error.find("cannot be stored"), std::string::npos) << result.error;
  }
  EXPECT_TRUE(FileBytes(history) == history_before);
  EXPECT_FALSE(fs::exists(CompanionPath(MergeTwinPath(target), "his")));

  ASSERT_TRUE(ApplyMerge(session, source, target, record).ok);
  EXPECT_FALSE(fs::exists(CompanionPath(MergeTwinPath(target), "his")));
  CrdFile file;
  ASSERT_EQ(file.Open(target), 1);
  std::vector<std::string> changes;
  for (const HistoryEntry& entry : ReadHistory(file))
    changes.push_back(entry.id + " " + std::to_string(entry.command) + " " + entry.user);
  EXPECT_EQ(changes, (std::vector<std::string>{"5 1 merger", "1 1 merger", "1 2 office"}));
  file.Close();

  // A history twin left behind by an interrupted run never replaces the
  // history of a merge that records none.
  const fs::path stale = dir_.Write(CompanionPath(MergeTwinPath(target), "his").filename().string(), "stale");
  const std::string history_now = FileBytes(history);
  const fs::path more = Make("more.crd", kCrdAlphanumeric, {{"9", 1, 1, 1}});
  const MergeApplyResult unrecorded = ApplyMerge(Session(more, target), more, target);
  ASSERT_TRUE(unrecorded.ok) << unrecorded.error;
  EXPECT_EQ(unrecorded.stored, 1);
  EXPECT_TRUE(FileBytes(history) == history_now);
  EXPECT_FALSE(fs::exists(stale));
}

TEST(MergeColumns, WidthsComeBackAndDamagedValuesFallBack) {
  TempDir dir;
  EXPECT_EQ(ReadMergeColumnWidths(dir.Path()), DefaultMergeColumnWidths());
  MergeColumnWidths widths = DefaultMergeColumnWidths();
  widths[0] = 7;
  widths[11] = 30;
  ASSERT_EQ(WriteMergeColumnWidths(dir.Path(), widths), 1);
  EXPECT_EQ(ReadMergeColumnWidths(dir.Path()), widths);
  // A hand-edited file: a negative and a huge width.
  std::string text = FileBytes(dir / kMergeColumnsFile);
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"\"7\"", "\"-7\""}, {"\"30\"", "\"300000\""}}) {
    const size_t at = text.find("value=" + from);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at + 6, from.size(), to);
  }
  dir.Write(kMergeColumnsFile, text);
  EXPECT_EQ(ReadMergeColumnWidths(dir.Path()), DefaultMergeColumnWidths());
  EXPECT_STREQ(MergeColumnCaption(kMergeActionColumn), "Action");
  EXPECT_STREQ(MergeColumnCaption(13), "");
}

}  // namespace
}  // namespace pelikon
