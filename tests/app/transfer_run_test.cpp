// Transfer runs against the collector simulator: companions by job name,
// the conflict answers and their carry-over, rename staging, and what the
// end of a run shows.
#include "app/transfer/transfer_run.h"

#include <gtest/gtest.h>

#include "link/convert/converter.h"
#include "session_rig.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using TransferRunTest = testing::SessionRig;

TEST_F(TransferRunTest, ACoordinateFileBringsItsJobCompanionsWhenAsked) {
  local_.Write("JOB1.CRD", "points");
  local_.Write("JOB1.RW5", "raw");
  local_.Write("JOB1.NOT", "notes");
  local_.Write("JOB2.RW5", "other job");
  Connect();
  Tag(PaneSide::kLocal, "JOB1.CRD");
  ui_.QueueAnswer(kAnswerYes);
  TransferRun run(*panes_, nullptr);
  run.Start();

  EXPECT_TRUE(ui_.Saw("Additional Files: Would you like to also include all files by the same job name(s)?"));
  EXPECT_EQ(run.Transferred(), 3);
  EXPECT_EQ(testing::Contents(store_ / "JOB1.RW5"), "raw");
  EXPECT_EQ(testing::Contents(store_ / "JOB1.NOT"), "notes");
  EXPECT_FALSE(std::filesystem::exists(store_ / "JOB2.RW5"));
  EXPECT_TRUE(ui_.Saw("message: File Transfer / Complete"));
  for (const DirEntry& entry : panes_->List(PaneSide::kLocal).entries) EXPECT_FALSE(entry.tagged);
}

TEST_F(TransferRunTest, NoCompanionQuestionUnderAnotherMask) {
  local_.Write("JOB1.CRD", "points");
  local_.Write("JOB1.RW5", "raw");
  Connect();
  settings_.mask = "*.CRD";
  Tag(PaneSide::kLocal, "JOB1.CRD");
  TransferRun(*panes_, nullptr).Start();
  EXPECT_FALSE(ui_.Saw("Additional Files"));
  EXPECT_TRUE(std::filesystem::exists(store_ / "JOB1.CRD"));
  EXPECT_FALSE(std::filesystem::exists(store_ / "JOB1.RW5"));
}

TEST_F(TransferRunTest, SkippingOneFileStillSendsTheNext) {
  store_.Write("A.TXT", "collector's own");
  local_.Write("A.TXT", "from the PC");
  local_.Write("B.TXT", "new");
  Connect();
  Tag(PaneSide::kLocal, "A.TXT");
  Tag(PaneSide::kLocal, "B.TXT");
  ui_.QueueAnswer(kAnswerNo);
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("conflict[1,0]: A.TXT"));
  EXPECT_EQ(testing::Contents(store_ / "A.TXT"), "collector's own");
  EXPECT_EQ(testing::Contents(store_ / "B.TXT"), "new");
  EXPECT_TRUE(ui_.Saw("message: File Transfer / Complete"));
}

TEST_F(TransferRunTest, OverwriteAllAnswersEveryLaterQuestionOfTheRun) {
  store_.Write("A.TXT", "new a");
  store_.Write("B.TXT", "new b");
  local_.Write("A.TXT", "old a");
  local_.Write("B.TXT", "old b");
  Connect();
  Tag(PaneSide::kRemote, "A.TXT");
  Tag(PaneSide::kRemote, "B.TXT");
  ui_.QueueAnswer(kAnswerYesAll);
  TransferRun(*panes_, nullptr).Start();
  EXPECT_EQ(testing::Contents(local_ / "A.TXT"), "new a");
  EXPECT_EQ(testing::Contents(local_ / "B.TXT"), "new b");
  int questions = 0;
  for (const std::string& line : ui_.Shown())
    if (line.rfind("conflict", 0) == 0 || line.find("OK to overwrite") != std::string::npos) ++questions;
  EXPECT_EQ(questions, 1);
}

TEST_F(TransferRunTest, ADownloadIsAskedTwiceAndTheSecondNoKeepsTheFile) {
  store_.Write("A.TXT", "collector");
  local_.Write("A.TXT", "mine");
  Connect();
  const int listings = Count("LS");
  Tag(PaneSide::kRemote, "A.TXT");
  ui_.QueueAnswer(kAnswerYes);  // Overwrite File
  ui_.QueueAnswer(kAnswerNo);   // OK to overwrite A.TXT ?
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("Overwrite File: OK to overwrite A.TXT ?"));
  EXPECT_EQ(testing::Contents(local_ / "A.TXT"), "mine");
  // The only file was skipped: no completion, no refreshed panes.
  EXPECT_FALSE(ui_.Saw("Complete"));
  EXPECT_EQ(Count("LS"), listings);
  EXPECT_EQ(Count("GET"), 0);
}

TEST_F(TransferRunTest, AnOverwriteCancelledHalfwayLeavesTheExistingFileAndIsNoFailure) {
  store_.Write("BIG.BIN", testing::RandomBytes(1 << 20, 7));
  local_.Write("BIG.BIN", "mine");
  Connect();
  Tag(PaneSide::kRemote, "BIG.BIN");
  ui_.QueueAnswer(kAnswerYes);  // Overwrite File
  ui_.QueueAnswer(kAnswerYes);  // OK to overwrite BIG.BIN ?
  ui_.CancelAtPump(200);        // well inside the megabyte
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("message: File Transfer / Transfer cancelled"));
  EXPECT_FALSE(ui_.Saw("failed")) << ::testing::PrintToString(ui_.Shown());
  EXPECT_FALSE(ui_.Saw("-605"));
  EXPECT_EQ(ui_.MainStatus(), "Status: Function cancelled at user request...");
  EXPECT_EQ(testing::Contents(local_ / "BIG.BIN"), "mine");
  EXPECT_FALSE(ui_.Saw("Complete"));
}

TEST_F(TransferRunTest, RenameSendsAStagedCopyUnderTheNewName) {
  store_.Write("JOB.CRD", "collector");
  local_.Write("JOB.CRD", "pc");
  Connect();
  Tag(PaneSide::kLocal, "JOB.CRD");
  ui_.QueueAnswer(kAnswerNo);  // no companions
  ui_.QueueAnswer(kAnswerRename);
  ui_.QueueText("JOB2.CRD");
  TransferRun(*panes_, nullptr).Start();
  EXPECT_EQ(testing::Contents(store_ / "JOB.CRD"), "collector");
  EXPECT_EQ(testing::Contents(store_ / "JOB2.CRD"), "pc");
  EXPECT_EQ(testing::Contents(local_ / "JOB.CRD"), "pc");
  EXPECT_FALSE(std::filesystem::exists(Temp() / "#Pelikon#" / "JOB2.CRD")) << "the staged copy goes with the run";
}

TEST_F(TransferRunTest, ARenamedDownloadLeavesTheExistingFileAlone) {
  store_.Write("JOB.RW5", "collector");
  local_.Write("JOB.RW5", "pc");
  Connect();
  Tag(PaneSide::kRemote, "JOB.RW5");
  ui_.QueueAnswer(kAnswerRename);
  ui_.QueueText("JOB-B.RW5");
  TransferRun(*panes_, nullptr).Start();
  EXPECT_EQ(testing::Contents(local_ / "JOB.RW5"), "pc");
  EXPECT_EQ(testing::Contents(local_ / "JOB-B.RW5"), "collector");
}

TEST_F(TransferRunTest, PcNamesCompareExactlyAndCollectorNamesWithoutCase) {
  store_.Write("A.TXT", "collector");
  store_.Write("JOB.TXT", "collector's job");
  local_.Write("a.txt", "mine");
  local_.Write("job.txt", "pc");
  Connect();
  // Downloading A.TXT replaces nothing beside a.txt, so nothing is asked.
  Tag(PaneSide::kRemote, "A.TXT");
  TransferRun download(*panes_, nullptr);
  download.Start();
  EXPECT_FALSE(ui_.Saw("conflict"));
  EXPECT_FALSE(ui_.Saw("OK to overwrite"));
  EXPECT_EQ(download.Transferred(), 1);
  EXPECT_EQ(testing::Contents(local_ / "A.TXT"), "collector");
  EXPECT_EQ(testing::Contents(local_ / "a.txt"), "mine");
  // The collector takes job.txt for JOB.TXT: the upload asks (answered
  // No), without answers for all since only one file moves.
  Tag(PaneSide::kLocal, "job.txt");
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("conflict[0,0]: job.txt"));
  EXPECT_EQ(Count("PUT"), 0);
}

TEST_F(TransferRunTest, ARenamedDownloadThatCannotBeStoredIsAFailure) {
  store_.Write("JOB.TXT", "collector");
  local_.Write("JOB.TXT", "pc");
  std::filesystem::create_directories(local_ / "JOB-B.TXT");  // a folder holds the new name
  Connect();
  Tag(PaneSide::kRemote, "JOB.TXT");
  ui_.QueueAnswer(kAnswerRename);
  ui_.QueueText("JOB-B.TXT");
  ui_.QueueAnswer(kAnswerYes);  // OK to overwrite JOB-B.TXT ?
  TransferRun run(*panes_, nullptr);
  run.Start();
  EXPECT_EQ(Count("GET"), 1);
  EXPECT_EQ(run.Transferred(), 0);
  EXPECT_FALSE(ui_.Saw("Complete"));
  EXPECT_TRUE(ui_.Saw("could not be stored as '" + (local_ / "JOB-B.TXT").string() + "'"));
  EXPECT_EQ(testing::Contents(local_ / "JOB.TXT"), "pc");
  EXPECT_EQ(testing::Contents(Temp() / "#Pelikon#" / "JOB.TXT"), "collector") << "what arrived is kept";
}

class ConvertingTransferTest : public TransferRunTest {
 protected:
  void SetUp() override { ASSERT_TRUE(converter_.Bind(PELIKON_TEST_LIB)) << "the test converter is missing"; }
  Converter converter_;
};

TEST_F(ConvertingTransferTest, APcDatabaseArrivesConvertedAndTheCopyIsGone) {
  local_.Write("SITE.MDB", "TYPE=900\nrow 1\n");
  local_.Write("SITE.TDB", "the user's own file");
  Connect();
  Tag(PaneSide::kLocal, "SITE.MDB");
  TransferRun(*panes_, &converter_).Start();
  EXPECT_EQ(testing::Contents(store_ / "SITE.TDB"), "DB 900\nrow 1\n");
  EXPECT_FALSE(std::filesystem::exists(store_ / "SITE.MDB"));
  // The converted copy was made aside and removed; the user's file beside the source is untouched.
  EXPECT_EQ(testing::Contents(local_ / "SITE.TDB"), "the user's own file");
  EXPECT_FALSE(std::filesystem::exists(Temp() / "#Pelikon#" / "SITE.TDB"));
}

TEST_F(ConvertingTransferTest, ACollectorDatabaseComesBackAsAPcDatabase) {
  store_.Write("ROAD.RDB", "DB 901\nstation 1\n");
  local_.Write("ROAD.RDB", "the user's own file");
  Connect();
  Tag(PaneSide::kRemote, "ROAD.RDB");
  TransferRun(*panes_, &converter_).Start();
  EXPECT_EQ(testing::Contents(local_ / "ROAD.mdb"), "TYPE=901\nstation 1\n");
  EXPECT_EQ(testing::Contents(local_ / "ROAD.RDB"), "the user's own file");
  EXPECT_FALSE(ui_.Saw("conflict"));
}

TEST_F(ConvertingTransferTest, AnAlignmentTravelsAsCentrelineFilesAndComesBack) {
  local_.Write("ROUTE.ALN", "C1:first\nC2:second\n");
  Connect();
  Tag(PaneSide::kLocal, "ROUTE.ALN");
  TransferRun upload(*panes_, &converter_);
  upload.Start();
  EXPECT_EQ(upload.Transferred(), 2);
  EXPECT_EQ(testing::Contents(store_ / "C1.cl"), "first\n");
  EXPECT_EQ(testing::Contents(store_ / "C2.cl"), "second\n");

  Tag(PaneSide::kRemote, "C1.cl");
  ui_.QueueAnswer(kAnswerYes);  // include every .CL file
  ui_.QueueText("BACK");
  TransferRun(*panes_, &converter_).Start();
  EXPECT_TRUE(ui_.Saw("text: Name ALN file to create: Enter name of ALN file to create"));
  EXPECT_EQ(testing::Contents(local_ / "BACK.aln"), "C1:first\nC2:second\n");
}

TEST_F(TransferRunTest, NotConnectedShowsTheHelpAndNoConnection) {
  local_.Write("A.TXT", "a");
  Connect();
  link_->Close();
  link_->SetConnected(false);
  Tag(PaneSide::kLocal, "A.TXT");
  TransferRun(*panes_, nullptr).Start();
  EXPECT_TRUE(ui_.Saw("error: No Connection"));
  EXPECT_TRUE(ui_.Saw("help: "));
}

}  // namespace
}  // namespace pelikon
