// Batch runs against the collector simulator: uploads into folders that
// exist or are made, downloads, listings, the summary and the exit code.
#include "app/batch/batch_run.h"

#include <gtest/gtest.h>

#include "session_rig.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

class BatchRunTest : public testing::SessionRig {
 protected:
  // Runs `text` as a batch file; the exit code.
  int RunBatch(const std::string& text, bool silent = false) {
    const std::filesystem::path file = work_.Write("batch.txt", text);
    BatchRun batch(*panes_, exit_code_, silent);
    batch.Run(file);
    return exit_code_.Value();
  }
  ExitCode exit_code_;
};

TEST_F(BatchRunTest, OneUploadIntoTheStartFolderEndsWithZero) {
  local_.Write("JOB.CRD", "points");
  Connect();
  EXPECT_EQ(RunBatch("local=" + (local_ / "JOB.CRD").string() + "\nremote=JOB.CRD\n"), 0);
  EXPECT_EQ(testing::Contents(store_ / "JOB.CRD"), "points");
  EXPECT_TRUE(ui_.Saw("captioned: Transfer Completed: Transfered 1 of 1 files successfully."));
}

TEST_F(BatchRunTest, AMissingFolderIsMadeOnlyWhenTheUserAgrees) {
  local_.Write("JOB.CRD", "points");
  std::filesystem::create_directories(store_ / "DATA");
  Connect();
  const std::string batch = "local=" + (local_ / "JOB.CRD").string() + "\nremote=\\DATA\\NEW\\JOB.CRD\n";
  ui_.QueueAnswer(kAnswerNo);
  EXPECT_EQ(RunBatch(batch), 2);
  EXPECT_TRUE(ui_.Saw("Create folder?: Remote folder '\\DATA\\NEW' does not exist. Create now?"));
  EXPECT_TRUE(ui_.Saw("captioned: Error: Unable to set remote directory"));
  EXPECT_FALSE(std::filesystem::exists(store_ / "DATA" / "NEW"));

  ui_.QueueAnswer(kAnswerYes);
  exit_code_ = ExitCode();
  EXPECT_EQ(RunBatch(batch), 0);
  EXPECT_EQ(testing::Contents(store_ / "DATA" / "NEW" / "JOB.CRD"), "points");
  // Back where it started.
  EXPECT_EQ(collector_.Heard().back(), "\\");
}

TEST_F(BatchRunTest, ADownloadFromAMissingFolderFailsWithoutAsking) {
  Connect();
  EXPECT_EQ(RunBatch("local=" + (local_ / "JOB.CRD").string() + "\nremote=\\NOWHERE\\JOB.CRD\nupload=0\n"), 2);
  EXPECT_FALSE(ui_.Saw("Create now?"));
  EXPECT_FALSE(std::filesystem::exists(local_ / "JOB.CRD"));
}

TEST_F(BatchRunTest, DownloadsAndListingsLandWhereTheEntriesSay) {
  std::filesystem::create_directories(store_ / "Jobs");
  store_.Write("Jobs/RAW.RW5", "raw data");
  std::filesystem::create_directories(local_ / "in");
  Connect();
  const std::string batch = "local=" + (local_ / "in" / "RAW.RW5").string() + "\nremote=Jobs\\RAW.RW5\nupload=0\n" +
                            "local=" + (local_ / "listing.txt").string() + "\nremotedir=1\n";
  EXPECT_EQ(RunBatch(batch), 0);
  EXPECT_EQ(testing::Contents(local_ / "in" / "RAW.RW5"), "raw data");
  // The listing is of the folder the collector is in: the download's.
  EXPECT_NE(testing::Contents(local_ / "listing.txt").find("RAW.RW5|8|"), std::string::npos);
}

TEST_F(BatchRunTest, OneGoodAndOneMissingFileEndWithOneAndTheSummary) {
  local_.Write("A.TXT", "a");
  Connect();
  const std::string batch = "local=" + (local_ / "A.TXT").string() + "\nremote=A.TXT\n" +
                            "local=" + (local_ / "MISSING.TXT").string() + "\nremote=MISSING.TXT\n";
  EXPECT_EQ(RunBatch(batch), 1);
  EXPECT_TRUE(ui_.Saw("captioned: Error: Local file '" + (local_ / "MISSING.TXT").string() + "' is not found"));
  EXPECT_TRUE(ui_.Saw("Transfered 1 of 2 files successfully."));
}

TEST_F(BatchRunTest, SilentRunsShowNoSummaryButKeepTheExitCode) {
  local_.Write("A.TXT", "a");
  Connect();
  EXPECT_EQ(RunBatch("local=" + (local_ / "A.TXT").string() + "\nremote=A.TXT\n", true), 0);
  EXPECT_FALSE(ui_.Saw("Transfer Completed"));
}

TEST_F(BatchRunTest, AnUnreadableBatchFileRunsNoEntry) {
  Connect();
  BatchRun batch(*panes_, exit_code_, false);
  batch.Run(work_ / "missing.txt");
  EXPECT_EQ(exit_code_.Value(), -1);
  EXPECT_TRUE(ui_.Saw("captioned: Error: Unable to open batch file specified."));
  EXPECT_FALSE(ui_.Saw("Transfer Completed"));
}

TEST_F(BatchRunTest, AnUploadUnderAnotherNameArrivesUnderThatName) {
  local_.Write("JOB.CRD", "points");
  Connect();
  EXPECT_EQ(RunBatch("local=" + (local_ / "JOB.CRD").string() + "\nremote=FIELD.CRD\n"), 0);
  EXPECT_EQ(testing::Contents(store_ / "FIELD.CRD"), "points");
  EXPECT_FALSE(std::filesystem::exists(store_ / "JOB.CRD"));
}

}  // namespace
}  // namespace pelikon
