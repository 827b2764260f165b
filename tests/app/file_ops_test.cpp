// Delete, Rename, Make dir and Set Path against a scripted collector and a
// local folder of the test's own.
#include "app/file_ops/file_operations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "panes_fixture.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

class FileOperationsTest : public testing::PanesFixture {
 protected:
  void SetUp() override {
    PanesFixture::SetUp();
    operations_ = std::make_unique<FileOperations>(*panes_, shared_text_);
  }
  void ConnectWith(std::initializer_list<std::string> remote_files) {
    for (const std::string& name : remote_files) collector_.files[name] = "data of " + name;
    panes_->Connect();
    ASSERT_TRUE(link_->Connected());
  }
  // The argument lines the collector heard after each `command` line.
  std::vector<std::string> HeardArguments(const std::string& command) const {
    const std::vector<std::string>& heard = collector_.Heard();
    std::vector<std::string> arguments;
    const size_t lines = command == "RENAME" ? 2 : 1;  // old and new name
    for (size_t i = 0; i + lines < heard.size(); ++i)
      if (heard[i] == command) arguments.push_back(lines == 2 ? heard[i + 1] + ">" + heard[i + 2] : heard[i + 1]);
    return arguments;
  }
  long Count(const std::string& line) const {
    return std::count(collector_.Heard().begin(), collector_.Heard().end(), line);
  }
  // The questions asked, one line each.
  std::vector<std::string> Questions() const {
    std::vector<std::string> asked;
    for (const std::string& line : ui_.Shown())
      if (line.rfind("ask[", 0) == 0) asked.push_back(line);
    return asked;
  }
  bool Played(int cue) const {
    return std::find(sound_output_.cues.begin(), sound_output_.cues.end(), cue) != sound_output_.cues.end();
  }
  bool AnyTagged() const {
    for (PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
      for (const DirEntry& entry : panes_->List(side).entries)
        if (entry.tagged) return true;
    return false;
  }

  std::string shared_text_ = "*.*";
  std::unique_ptr<FileOperations> operations_;
};

// ---- Delete ---------------------------------------------------------------

TEST_F(FileOperationsTest, YesAllToTheFirstQuestionDeletesEverythingTaggedInBothPanes) {
  settings_.protect_remote = false;
  local_.Write("a.txt", "a");
  local_.Write("b.txt", "b");
  fs::create_directory(local_ / "Empty");
  ConnectWith({"A.CRD", "B.CRD"});
  panes_->FillLocal();
  collector_.folders = {"OLD"};
  panes_->FillRemote(true);
  // The parent row is a way up, never a folder to remove.
  Tag(PaneSide::kLocal, {"..", "Empty", "a.txt", "b.txt"});
  Tag(PaneSide::kRemote, {"OLD", "A.CRD", "B.CRD"});
  const long listings_before = Count("LS");
  ui_.QueueAnswer(kAnswerYesAll);

  operations_->Delete();

  ASSERT_EQ(Questions(), (std::vector<std::string>{"ask[0x26]: Delete Folder: OK to remove LOCAL Empty folder?"}));
  EXPECT_FALSE(fs::exists(local_ / "a.txt"));
  EXPECT_FALSE(fs::exists(local_ / "b.txt"));
  EXPECT_FALSE(fs::exists(local_ / "Empty"));
  EXPECT_EQ(HeardArguments("RMDIR"), (std::vector<std::string>{"OLD"}));
  EXPECT_EQ(HeardArguments("DEL"), (std::vector<std::string>{"A.CRD", "B.CRD"}));
  EXPECT_EQ(Count("LS"), listings_before + 1) << "the remote pane is listed again";
  EXPECT_EQ(Names(PaneSide::kLocal), (std::vector<std::string>{".."}));
  EXPECT_FALSE(AnyTagged());
  EXPECT_EQ(panes_->Counters().total_tagged, 0);
}

TEST_F(FileOperationsTest, NoAllToTheFirstQuestionKeepsEverything) {
  local_.Write("a.txt", "a");
  local_.Write("b.txt", "b");
  ConnectWith({"A.CRD"});
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"a.txt", "b.txt"});
  Tag(PaneSide::kRemote, {"A.CRD"});
  ui_.QueueAnswer(kAnswerNoAll);
  ui_.QueueAnswer(kAnswerYes);  // for the protect question of A.CRD, which has its own answer

  operations_->Delete();

  EXPECT_EQ(Questions(), (std::vector<std::string>{
                             "ask[0x26]: Delete File: OK to delete LOCAL file a.txt ?",
                             "ask[0x26]: Delete File: This file has not been downloaded since it was last modified. "
                             "OK to delete A.CRD ?",
                         }));
  EXPECT_TRUE(fs::exists(local_ / "a.txt"));
  EXPECT_TRUE(fs::exists(local_ / "b.txt"));
  EXPECT_TRUE(HeardArguments("DEL").empty());
  EXPECT_FALSE(AnyTagged());
}

TEST_F(FileOperationsTest, OnlyAYesDeletes) {
  local_.Write("a.txt", "a");
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"..", "a.txt"});
  ui_.QueueAnswer(kAnswerRename);  // not offered: a window closed some other way
  operations_->Delete();
  EXPECT_TRUE(fs::exists(local_ / "a.txt"));
  EXPECT_EQ(Questions(), (std::vector<std::string>{"ask[0x20]: Delete File: OK to delete LOCAL file a.txt ?"}))
      << "one entry to delete: no answers for all";
}

TEST_F(FileOperationsTest, AChangedRemoteFileIsProtectedBeforeItIsConfirmed) {
  ConnectWith({"A.CRD", "B.CRD"});
  Tag(PaneSide::kRemote, {"A.CRD", "B.CRD"});
  ui_.QueueAnswer(kAnswerYes);  // protect A.CRD
  ui_.QueueAnswer(kAnswerYes);  // confirm A.CRD
  ui_.QueueAnswer(kAnswerNo);   // protect B.CRD: kept without the second question

  operations_->Delete();

  EXPECT_EQ(Questions(), (std::vector<std::string>{
                             "ask[0x26]: Delete File: This file has not been downloaded since it was last modified. "
                             "OK to delete A.CRD ?",
                             "ask[0x26]: Delete File: OK to delete REMOTE file A.CRD ?",
                             "ask[0x26]: Delete File: This file has not been downloaded since it was last modified. "
                             "OK to delete B.CRD ?",
                         }));
  EXPECT_EQ(HeardArguments("DEL"), (std::vector<std::string>{"A.CRD"}));
}

TEST_F(FileOperationsTest, FilesWithoutListedAttributesAreNeverProtected) {
  collector_.legacy_listing = true;
  ConnectWith({"A.CRD", "B.CRD"});
  settings_.confirm_delete = false;
  // A listing may also give -1 where a file's attributes should be.
  for (DirEntry& entry : panes_->Entries(PaneSide::kRemote).entries)
    if (entry.name == "B.CRD") entry.attributes = -1;
  Tag(PaneSide::kRemote, {"A.CRD", "B.CRD"});

  operations_->Delete();

  EXPECT_TRUE(Questions().empty());
  EXPECT_EQ(HeardArguments("DEL"), (std::vector<std::string>{"A.CRD", "B.CRD"}));
}

TEST_F(FileOperationsTest, AFolderThatIsNotEmptyStopsTheRunBeforeTheRemoteSide) {
  local_.Write("Full/inside.txt", "keep");
  local_.Write("z.txt", "z");
  ConnectWith({"A.CRD"});
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"Full", "z.txt"});
  Tag(PaneSide::kRemote, {"A.CRD"});
  const long listings_before = Count("LS");
  ui_.QueueAnswer(kAnswerYesAll);

  operations_->Delete();

  EXPECT_TRUE(ui_.Saw("captioned: Error: Couldn't remove folder. Only empty folders can be removed"));
  EXPECT_TRUE(fs::exists(local_ / "Full" / "inside.txt"));
  EXPECT_TRUE(fs::exists(local_ / "z.txt")) << "entries after the folder are not visited";
  EXPECT_TRUE(HeardArguments("DEL").empty());
  EXPECT_EQ(Count("LS"), listings_before);
  EXPECT_FALSE(AnyTagged());
}

TEST_F(FileOperationsTest, AFailedRemoteDeletionEndsTheRemoteWalkWithTheFailureCue) {
  settings_.protect_remote = false;
  ConnectWith({"A.CRD", "B.CRD"});
  Tag(PaneSide::kRemote, {"A.CRD", "B.CRD"});
  collector_.replies["DEL"] = "ERROR";
  ui_.QueueAnswer(kAnswerYesAll);

  operations_->Delete();

  const std::vector<std::string> deleted = HeardArguments("DEL");
  EXPECT_FALSE(deleted.empty());
  EXPECT_EQ(std::count(deleted.begin(), deleted.end(), "B.CRD"), 0);
  EXPECT_TRUE(Played(0));
  EXPECT_FALSE(ui_.Saw("captioned:")) << "the serial link's failure has no message of its own";
  EXPECT_EQ(ui_.MainStatus(), "Status: Delete failed: \"A.CRD\" could not be deleted");
}

TEST_F(FileOperationsTest, AFolderTheCollectorKeepsIsReportedInTheStatusLine) {
  collector_.folders = {"FULL"};
  ConnectWith({"A.CRD"});
  Tag(PaneSide::kRemote, {"FULL"});
  collector_.replies["RMDIR"] = "ERROR";
  sound_output_.cues.clear();
  ui_.QueueAnswer(kAnswerYes);

  operations_->Delete();

  ASSERT_FALSE(HeardArguments("RMDIR").empty());
  EXPECT_EQ(HeardArguments("RMDIR").front(), "FULL");
  EXPECT_EQ(ui_.MainStatus(),
            "Status: Delete failed: folder \"FULL\" was not removed (only empty folders can be removed)")
      << "after the refill, which shows the connection";
  EXPECT_EQ(sound_output_.cues.front(), 0) << "the failure cue stays";
}

// ---- Rename ---------------------------------------------------------------

TEST_F(FileOperationsTest, CancellingTheFirstNameRenamesNothing) {
  local_.Write("a.txt", "a");
  local_.Write("b.txt", "b");
  ConnectWith({"A.CRD"});
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"a.txt", "b.txt"});
  Tag(PaneSide::kRemote, {"A.CRD"});

  operations_->Rename();  // no reply queued: the first dialog is cancelled

  EXPECT_TRUE(fs::exists(local_ / "a.txt"));
  EXPECT_TRUE(fs::exists(local_ / "b.txt"));
  EXPECT_EQ(std::count_if(ui_.Shown().begin(), ui_.Shown().end(),
                          [](const std::string& line) { return line.rfind("name: ", 0) == 0; }),
            1);
  EXPECT_TRUE(HeardArguments("RENAME").empty());
  EXPECT_EQ(sound_output_.cues.back(), 0);
  EXPECT_FALSE(AnyTagged());
}

TEST_F(FileOperationsTest, TheNameDialogOpensWithTheSharedTextAndKeepsTheNameGiven) {
  local_.Write("a.txt", "a");
  local_.Write("b.txt", "b");
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"a.txt", "b.txt"});
  shared_text_ = "*.rw5";
  ui_.QueueText("first.txt");
  ui_.QueueText("second.txt");

  operations_->Rename();

  EXPECT_TRUE(ui_.Saw("name: *.rw5"));
  EXPECT_TRUE(ui_.Saw("name: first.txt"));
  EXPECT_EQ(shared_text_, "second.txt");
  EXPECT_EQ(Names(PaneSide::kLocal), (std::vector<std::string>{"..", "first.txt", "second.txt"}));
}

TEST_F(FileOperationsTest, ALocalRenameNeverReplacesAnotherFile) {
  local_.Write("a.txt", "a");
  local_.Write("b.txt", "precious");
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"a.txt"});
  ui_.QueueText("b.txt");

  operations_->Rename();

  EXPECT_TRUE(fs::exists(local_ / "a.txt"));
  EXPECT_EQ(Names(PaneSide::kLocal), (std::vector<std::string>{"..", "a.txt", "b.txt"}));
  EXPECT_EQ(fs::file_size(local_ / "b.txt"), 8u);
  EXPECT_EQ(ui_.MainStatus(), "Status: Rename failed: \"b.txt\" already exists");
}

TEST_F(FileOperationsTest, RemoteFilesAreRenamedUntilOneFails) {
  ConnectWith({"A.CRD", "B.CRD"});
  Tag(PaneSide::kRemote, {"A.CRD", "B.CRD"});
  ui_.QueueText("X.CRD");
  ui_.QueueText("Y.CRD");
  const long listings_before = Count("LS");
  operations_->Rename();
  EXPECT_EQ(HeardArguments("RENAME"), (std::vector<std::string>{"A.CRD>X.CRD", "B.CRD>Y.CRD"}));
  EXPECT_EQ(Count("LS"), listings_before + 1);

  Tag(PaneSide::kRemote, {"A.CRD", "B.CRD"});
  collector_.rename_reply = "ERROR";
  sound_output_.cues.clear();
  ui_.QueueText("P.CRD");
  ui_.QueueText("Q.CRD");
  operations_->Rename();
  EXPECT_EQ(HeardArguments("RENAME").back(), "A.CRD>P.CRD");
  EXPECT_FALSE(ui_.Saw("name: P.CRD")) << "no dialog after the failed rename";
  EXPECT_EQ(sound_output_.cues.front(), 0);
  EXPECT_EQ(ui_.MainStatus(), "Status: Rename failed: \"A.CRD\" could not be renamed");
}

TEST_F(FileOperationsTest, ARemoteRenameOntoAListedNameSaysItExists) {
  ConnectWith({"A.CRD", "B.CRD"});
  Tag(PaneSide::kRemote, {"B.CRD"});
  collector_.rename_reply = "ERROR";
  ui_.QueueText("a.crd");
  operations_->Rename();
  EXPECT_EQ(HeardArguments("RENAME"), (std::vector<std::string>{"B.CRD>a.crd"}));
  EXPECT_EQ(ui_.MainStatus(), "Status: Rename failed: \"a.crd\" already exists");
}

// ---- Typed local names ----------------------------------------------------

TEST_F(FileOperationsTest, TypedNamesThatLeaveTheFolderOrHoldWildcardsAreRefused) {
  local_.Write("Jobs/a.txt", "a");
  ASSERT_TRUE(panes_->SetLocalFolder(local_ / "Jobs"));
  panes_->FillLocal();
  Tag(PaneSide::kLocal, {"a.txt"});
  ui_.QueueText("../escaped.txt");
  operations_->Rename();
  EXPECT_TRUE(ui_.Saw("box: \"../escaped.txt\" is not a plain name"));
  EXPECT_FALSE(fs::exists(local_ / "escaped.txt"));
  EXPECT_TRUE(fs::exists(local_ / "Jobs" / "a.txt"));

  // OK on the name dialog still showing the mask.
  shared_text_ = "*.txt";
  Tag(PaneSide::kLocal, {"a.txt"});
  ui_.QueueText("");
  operations_->Rename();
  EXPECT_TRUE(ui_.Saw("box: \"*.txt\" is not a plain name"));
  EXPECT_TRUE(fs::exists(local_ / "Jobs" / "a.txt"));

  for (const char* name : {"../Outside", "..", "Deep/er"}) {
    ui_.QueueText(name);
    operations_->MakeDir();
    EXPECT_TRUE(ui_.Saw(std::string("box: \"") + name + "\" is not a plain name")) << name;
  }
  EXPECT_FALSE(fs::exists(local_ / "Outside"));
  EXPECT_FALSE(fs::exists(local_ / "Jobs" / "Deep"));
}

// ---- Make dir -------------------------------------------------------------

TEST_F(FileOperationsTest, MakeDirWithoutTheCollectorOffersOnlyTheLocalSide) {
  ui_.QueueText("New Job", /*local=*/false);
  operations_->MakeDir();
  EXPECT_TRUE(ui_.Saw("folder[0]: Enter directory to create"));
  EXPECT_TRUE(fs::is_directory(local_ / "New Job"));
  EXPECT_TRUE(HeardArguments("MKDIR").empty());
  const std::vector<std::string> names = Names(PaneSide::kLocal);
  EXPECT_NE(std::find(names.begin(), names.end(), "New Job"), names.end()) << "the local pane is filled again";
}

TEST_F(FileOperationsTest, MakeDirOnTheCollector) {
  ConnectWith({"A.CRD"});
  const long listings_before = Count("LS");
  ui_.QueueText("Survey", /*local=*/false);
  operations_->MakeDir();
  EXPECT_TRUE(ui_.Saw("folder[1]: Enter directory to create"));
  EXPECT_EQ(HeardArguments("MKDIR"), (std::vector<std::string>{"Survey"}));
  EXPECT_EQ(Count("LS"), listings_before + 1);
  EXPECT_FALSE(fs::exists(local_ / "Survey"));

  collector_.replies["MKDIR"] = "ERROR";
  ui_.QueueText("Other", /*local=*/false);
  sound_output_.cues.clear();
  operations_->MakeDir();
  EXPECT_EQ(sound_output_.cues.front(), 0);
  EXPECT_EQ(ui_.MainStatus(), "Status: Make dir failed: \"Other\" could not be created");

  collector_.folders = {"SURVEY"};
  panes_->FillRemote(true);
  ui_.QueueText("Survey", /*local=*/false);
  operations_->MakeDir();
  EXPECT_EQ(ui_.MainStatus(), "Status: Make dir failed: \"Survey\" already exists");
}

TEST_F(FileOperationsTest, MakeDirOntoALocalNameThatExistsSaysSo) {
  local_.Write("Jobs/a.txt", "a");
  local_.Write("notes", "a file");
  panes_->FillLocal();
  for (const char* name : {"Jobs", "notes"}) {
    ui_.QueueText(name);
    operations_->MakeDir();
    EXPECT_EQ(ui_.MainStatus(), std::string("Status: Make dir failed: \"") + name + "\" already exists");
  }
  EXPECT_TRUE(fs::is_regular_file(local_ / "notes"));
  ui_.QueueText("Fresh");
  operations_->MakeDir();
  EXPECT_TRUE(fs::is_directory(local_ / "Fresh"));
  EXPECT_EQ(ui_.MainStatus(), "Status: Not connected") << "a success leaves no old reason behind";
}

// ---- Set Path -------------------------------------------------------------

TEST_F(FileOperationsTest, SetPathLocallyByRelativeAndAbsolutePaths) {
  local_.Write("Jobs/Site/s.txt", "s");
  testing::TempDir elsewhere;
  elsewhere.Write("e.txt", "e");
  panes_->FillLocal();

  ui_.QueueText("Jobs/Site");
  operations_->SetPath();
  EXPECT_TRUE(ui_.Saw("path[0]: Enter path: " + local_.Path().string()));
  EXPECT_EQ(panes_->LocalFolder(), local_ / "Jobs" / "Site");
  EXPECT_EQ(Names(PaneSide::kLocal), (std::vector<std::string>{"..", "s.txt"}));

  ui_.QueueText(elsewhere.Path().string());
  operations_->SetPath();
  EXPECT_EQ(panes_->LocalFolder(), elsewhere.Path());

  ui_.QueueText("no such folder");
  operations_->SetPath();
  EXPECT_EQ(panes_->LocalFolder(), elsewhere.Path());
  EXPECT_EQ(ui_.MainStatus(), "Status: Set Path failed: folder \"no such folder\" not found");
}

TEST_F(FileOperationsTest, SetPathOnTheCollectorStartsFromItsCurrentFolder) {
  ConnectWith({"A.CRD"});
  panes_->FocusChanged(PaneSide::kRemote);
  const long listings_before = Count("LS");
  ui_.QueueText("\\Ostrel\\Data", /*local=*/false);
  operations_->SetPath();
  EXPECT_TRUE(ui_.Saw("path[1]: Enter path: \\Ostrel\\Jobs"));
  EXPECT_EQ(HeardArguments("CD").back(), "\\Ostrel\\Data");
  EXPECT_EQ(Count("LS"), listings_before + 1);

  collector_.replies["CD"] = "ERROR";
  sound_output_.cues.clear();
  ui_.QueueText("\\Nowhere", /*local=*/false);
  operations_->SetPath();
  EXPECT_EQ(Count("LS"), listings_before + 1) << "a refused folder is not listed";
  EXPECT_EQ(sound_output_.cues, (std::vector<int>{0}));
  EXPECT_EQ(ui_.MainStatus(), "Status: Set Path failed: folder \"\\Nowhere\" not found");
}

}  // namespace
}  // namespace pelikon
