// The panes and the Connect command against a scripted collector, with a
// view that records what the window would show.
#include "app/panes/panes_controller.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "panes_fixture.h"

namespace pelikon {
namespace {

class PanesControllerTest : public testing::PanesFixture {};

TEST_F(PanesControllerTest, ConnectFillsTheRemotePaneItsLinesAndTheStatus) {
  collector_.files["ZETA.TXT"] = std::string(100000, 'z');
  collector_.files["JOB1.CRD"] = std::string(1024, 'c');
  panes_->Connect();

  EXPECT_TRUE(link_->Connected());
  EXPECT_FALSE(ui_.ProgressOpen());
  EXPECT_EQ(ui_.MainStatus(), "Status: Connected to remote machine");
  EXPECT_EQ(Names(PaneSide::kRemote), (std::vector<std::string>{"JOB1.CRD", "ZETA.TXT"}));
  EXPECT_TRUE(view_.remote_list_shown);
  EXPECT_TRUE(view_.remote_enabled);
  EXPECT_EQ(view_.labels[PaneLabel::kRemotePath], "Remote Path: \\Ostrel\\Jobs");
  EXPECT_EQ(view_.labels[PaneLabel::kRemoteTotalFiles], "Total Files: 2");
  EXPECT_EQ(view_.labels[PaneLabel::kRemoteBytes], "Bytes: 101024");
  EXPECT_EQ(view_.labels[PaneLabel::kRemoteFree], "Bytes Free: 51200K");
  EXPECT_TRUE(panes_->RemoteLongNames());
  // The listing file does not outlive the fill.
  EXPECT_FALSE(std::filesystem::exists(work_.Path() / "dir_zzz.txt"));
}

TEST_F(PanesControllerTest, AFailedConnectShowsTheErrorAndTheHelp) {
  collector_.silent = true;
  panes_->Connect();
  EXPECT_FALSE(link_->Connected());
  EXPECT_TRUE(ui_.Saw("error: Communications Failure"));
  EXPECT_TRUE(ui_.Saw("help: "));
  EXPECT_EQ(ui_.MainStatus(), "Status: Not connected");
  EXPECT_FALSE(ui_.ProgressOpen());
}

TEST_F(PanesControllerTest, AListingThatCannotBeFetchedLeavesAnEmptyUnconnectedPane) {
  collector_.files["A.CRD"] = "x";
  panes_->Connect();
  ASSERT_TRUE(link_->Connected());
  collector_.silent = true;
  EXPECT_EQ(panes_->FillRemote(true), 0);
  EXPECT_FALSE(link_->Connected());
  EXPECT_EQ(panes_->List(PaneSide::kRemote).path, "????");
  EXPECT_TRUE(panes_->List(PaneSide::kRemote).entries.empty());
  EXPECT_FALSE(view_.remote_enabled);
}

TEST_F(PanesControllerTest, LocalFoldersOpenAndTheParentLeadsBack) {
  local_.Write("b.txt", "12345");
  local_.Write("A.CRD", std::string(2048, 'a'));
  std::filesystem::create_directory(local_.Path() / "Jobs");
  local_.Write("Jobs/inner.rw5", "raw");
  settings_.mask = "*.*";
  ASSERT_EQ(panes_->FillLocal(), 1);

  const std::vector<std::string> names = Names(PaneSide::kLocal);
  ASSERT_GE(names.size(), 4u);
  // Folders first (the parent among them), then the files by name without regard to case.
  EXPECT_EQ(std::vector<std::string>(names.end() - 2, names.end()), (std::vector<std::string>{"A.CRD", "b.txt"}));
  EXPECT_EQ(view_.labels[PaneLabel::kLocalTotalFiles], "Total Files: 2");
  EXPECT_EQ(view_.labels[PaneLabel::kLocalBytes], "Bytes: 2053");
  EXPECT_FALSE(std::filesystem::exists(work_.Path() / "dir_yyy.txt"));

  const auto row_of = [&](const std::string& name) {
    const std::vector<std::string> now = Names(PaneSide::kLocal);
    return static_cast<size_t>(std::find(now.begin(), now.end(), name) - now.begin());
  };
  EXPECT_EQ(panes_->OpenEntry(PaneSide::kLocal, row_of("Jobs")), OpenResult::kOpened);
  EXPECT_EQ(panes_->LocalFolder(), local_.Path() / "Jobs");
  EXPECT_EQ(link_->Settings().local_folder, local_.Path() / "Jobs");  // received files land here now
  EXPECT_EQ(Names(PaneSide::kLocal), (std::vector<std::string>{"..", "inner.rw5"}));
  EXPECT_EQ(panes_->OpenEntry(PaneSide::kLocal, row_of("..")), OpenResult::kOpened);
  EXPECT_EQ(panes_->LocalFolder(), local_.Path());
  EXPECT_EQ(panes_->OpenEntry(PaneSide::kLocal, row_of("b.txt")), OpenResult::kTransferFiles);
}

TEST_F(PanesControllerTest, TagsFollowTheSelectionAndTheFocusedPane) {
  local_.Write("one.txt", std::string(600000, '1'));
  local_.Write("two.txt", std::string(500000, '2'));
  std::filesystem::create_directory(local_.Path() / "Folder");
  collector_.files["R.CRD"] = "r";
  panes_->Connect();
  panes_->FillLocal();

  std::vector<size_t> all(panes_->List(PaneSide::kLocal).entries.size());
  for (size_t i = 0; i < all.size(); ++i) all[i] = i;
  view_.selected[0] = all;  // "..", Folder, one.txt, two.txt
  panes_->SelectionChanged();
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged LOCAL Files: " + std::to_string(all.size()));
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedBytes], "Bytes: 1074K");

  view_.selected[1] = {0};
  panes_->FocusChanged(PaneSide::kRemote);
  EXPECT_EQ(view_.deselected[0], 1);
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged REMOTE Files: 1");
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedBytes], "Bytes: 1");
  for (const DirEntry& entry : panes_->List(PaneSide::kLocal).entries) EXPECT_FALSE(entry.tagged) << entry.name;
}

TEST_F(PanesControllerTest, TagsAreTheFocusedPanesSelectionWhateverOrderTheReportsCameIn) {
  local_.Write("one.txt", "1");
  collector_.files["R.CRD"] = "rr";
  collector_.files["S.CRD"] = "sss";
  panes_->Connect();
  panes_->FillLocal();
  view_.selected[0] = {1};
  panes_->SelectionChanged();
  ASSERT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged LOCAL Files: 1");

  // A click into the remote pane: its row is selected, it takes the focus
  // (which deselects the local rows), and the local pane's report of its
  // emptied selection arrives last. It must not undo the remote tags.
  view_.selected[1] = {0, 1};
  panes_->FocusChanged(PaneSide::kRemote);
  panes_->SelectionChanged();
  EXPECT_TRUE(view_.selected[0].empty());
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged REMOTE Files: 2");
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedBytes], "Bytes: 5");

  // Rows left selected in the pane without the focus are not tags, so
  // they are not left looking like tags either.
  view_.selected[0] = {1};
  panes_->SelectionChanged();
  EXPECT_TRUE(view_.selected[0].empty());
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged REMOTE Files: 2");
  for (const DirEntry& entry : panes_->List(PaneSide::kLocal).entries) EXPECT_FALSE(entry.tagged) << entry.name;
}

TEST_F(PanesControllerTest, AFilledPaneStartsWithNothingSelectedOrTagged) {
  collector_.files["R.CRD"] = "rr";
  collector_.files["S.CRD"] = "sss";
  panes_->Connect();
  panes_->FocusChanged(PaneSide::kRemote);
  view_.selected[1] = {0, 1};
  panes_->SelectionChanged();
  ASSERT_EQ(panes_->Counters().total_tagged, 2);

  collector_.files["T.CRD"] = "t";
  ASSERT_EQ(panes_->FillRemote(true), 1);
  EXPECT_TRUE(view_.selected[1].empty());
  for (const DirEntry& entry : panes_->List(PaneSide::kRemote).entries) EXPECT_FALSE(entry.tagged) << entry.name;
  EXPECT_EQ(panes_->Counters().total_tagged, 0);
  EXPECT_EQ(panes_->Counters().total_bytes, 0);
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged REMOTE Files: 0");
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedBytes], "Bytes: 0");

  // The same for the local pane, and for a remote listing that fails.
  panes_->FocusChanged(PaneSide::kLocal);
  local_.Write("one.txt", "1");
  panes_->FillLocal();
  view_.selected[0] = {1};
  panes_->SelectionChanged();
  ASSERT_EQ(panes_->Counters().local_tagged, 1);
  panes_->FillLocal();
  EXPECT_EQ(panes_->Counters().total_tagged, 0);
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged LOCAL Files: 0");

  panes_->FocusChanged(PaneSide::kRemote);
  view_.selected[1] = {0};
  panes_->SelectionChanged();
  ASSERT_EQ(panes_->Counters().remote_tagged, 1);
  collector_.silent = true;
  EXPECT_EQ(panes_->FillRemote(true), 0);
  EXPECT_EQ(panes_->Counters().total_tagged, 0);
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged REMOTE Files: 0");
}

TEST_F(PanesControllerTest, ARemoteFolderIsOpenedByItsFullCollectorPath) {
  collector_.files["A.CRD"] = "a";
  collector_.folders = {"Survey"};
  panes_->Connect();
  ASSERT_TRUE(link_->Connected());
  ASSERT_EQ(Names(PaneSide::kRemote).front(), "Survey");
  EXPECT_EQ(panes_->OpenEntry(PaneSide::kRemote, 0), OpenResult::kOpened);
  const auto& heard = collector_.Heard();
  const auto cd = std::find(heard.begin(), heard.end(), "CD");
  ASSERT_NE(cd, heard.end());
  EXPECT_EQ(*(cd + 1), "\\Ostrel\\Jobs\\Survey");
}

TEST_F(PanesControllerTest, TheParentOpensLikeItsRowAndARootHasNone) {
  std::filesystem::create_directory(local_.Path() / "Jobs");
  ASSERT_TRUE(panes_->SetLocalFolder(local_.Path() / "Jobs"));
  ASSERT_EQ(panes_->FillLocal(), 1);
  EXPECT_EQ(panes_->OpenParent(PaneSide::kLocal), OpenResult::kOpened);
  EXPECT_EQ(panes_->LocalFolder(), local_.Path());

  // The collector's folder lists no parent: nothing is sent.
  collector_.files["A.CRD"] = "a";
  panes_->Connect();
  ASSERT_TRUE(link_->Connected());
  const size_t heard = collector_.Heard().size();
  EXPECT_EQ(panes_->OpenParent(PaneSide::kRemote), OpenResult::kNothing);
  EXPECT_EQ(collector_.Heard().size(), heard);
}

TEST_F(PanesControllerTest, RefreshListsBothPanesAgainAndSkipsASilentCollector) {
  collector_.files["A.CRD"] = "a";
  panes_->Connect();
  panes_->FillLocal();
  local_.Write("new.txt", "n");
  collector_.files["B.CRD"] = "b";
  panes_->Refresh();
  EXPECT_EQ(Names(PaneSide::kRemote), (std::vector<std::string>{"A.CRD", "B.CRD"}));
  const std::vector<std::string> local = Names(PaneSide::kLocal);
  EXPECT_NE(std::find(local.begin(), local.end(), "new.txt"), local.end());
  EXPECT_FALSE(ui_.ProgressOpen());

  collector_.silent = true;
  local_.Write("newer.txt", "n");
  panes_->Refresh();
  const std::vector<std::string> again = Names(PaneSide::kLocal);
  EXPECT_NE(std::find(again.begin(), again.end(), "newer.txt"), again.end());
  EXPECT_FALSE(link_->Connected());
  EXPECT_EQ(ui_.MainStatus(), "Status: Not connected");
}

TEST_F(PanesControllerTest, ANewSortOrderSortsBothPanesAtOnceAndClearsTheTags) {
  local_.Write("big.txt", std::string(300, 'b'));
  local_.Write("small.txt", "s");
  collector_.files["A.CRD"] = std::string(50, 'a');
  collector_.files["Z.CRD"] = "z";
  panes_->Connect();
  panes_->FillLocal();
  view_.selected[0] = {0};
  panes_->SelectionChanged();
  ASSERT_EQ(panes_->Counters().total_tagged, 1);

  panes_->SetSortOrder(kSortBySize);
  EXPECT_EQ(settings_.sort, kSortBySize);
  EXPECT_EQ(Names(PaneSide::kRemote), (std::vector<std::string>{"Z.CRD", "A.CRD"}));
  const std::vector<std::string> local = Names(PaneSide::kLocal);
  EXPECT_LT(std::find(local.begin(), local.end(), "small.txt"), std::find(local.begin(), local.end(), "big.txt"));
  EXPECT_EQ(panes_->Counters().total_tagged, 0);
  for (const DirEntry& entry : panes_->List(PaneSide::kLocal).entries) EXPECT_FALSE(entry.tagged) << entry.name;
  EXPECT_EQ(view_.labels[PaneLabel::kTaggedCount], "Tagged LOCAL Files: 0");
}

}  // namespace
}  // namespace pelikon
