// Batch runs against the collector simulator: uploads into folders that
// exist or are made, downloads, listings, the summary and the exit code,
// entries that switch between the root and a folder, and remote names that
// are refused.
#include "app/batch/batch_run.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "session_rig.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

class BatchRunTest : public testing::SessionRig {
 protected:
  // A line "local=<path>".
  static std::string Local(const std::filesystem::path& path) { return "local=" + path.string() + "\n"; }
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

TEST_F(BatchRunTest, RemoteNamesThatAreNotBareAreRefusedBeforeAnythingIsWritten) {
  local_.Write("A.TXT", "payload");
  std::filesystem::create_directories(store_ / "Jobs");
  // Where "../../../victim.txt" lands when joined to the staging folder.
  const std::filesystem::path victim = work_.Write("victim.txt", "precious");
  ASSERT_EQ((Temp() / "#Pelikon#" / "../../../victim.txt").lexically_normal(), victim);
  Connect();
  const std::string up = Local(local_ / "A.TXT");
  const std::string batch = up + "remote=../../../victim.txt\n" +     //
                            up + "remote=\\Jobs\\..\n" +              //
                            up + "remote=\\Jobs\\NEW\\sub/A.TXT\n" +  //
                            up + "remote=A\x1b[2J.TXT\n" +            //
                            up + "remote=\\Jo\rbs\\A.TXT\n" +         //
                            up + "remote=\\Jobs\\\n" +                //
                            Local(local_ / "victim.txt") + "remote=../../../victim.txt\nupload=0\n";
  EXPECT_EQ(RunBatch(batch), 2);
  EXPECT_EQ(testing::Contents(victim), "precious");
  EXPECT_FALSE(std::filesystem::exists(local_ / "victim.txt"));
  EXPECT_TRUE(std::filesystem::is_empty(store_ / "Jobs"));
  EXPECT_FALSE(std::filesystem::exists(store_ / "NEW"));
  EXPECT_TRUE(!std::filesystem::exists(Temp() / "#Pelikon#") || std::filesystem::is_empty(Temp() / "#Pelikon#"));
  EXPECT_EQ(Count("PUT") + Count("GET") + Count("MKDIR"), 0);
  EXPECT_FALSE(ui_.Saw("Create now?"));
  EXPECT_TRUE(ui_.Saw("captioned: Error: Remote file '../../../victim.txt' is not a plain file name"));
  EXPECT_TRUE(ui_.Saw("captioned: Error: Remote file 'A?[2J.TXT' is not a plain file name"))
      << "control characters are not printed";
  EXPECT_TRUE(ui_.Saw("Transfered 0 of 7 files successfully."));
}

// Entries alternate between a folder and the root, in both directions; the
// collector runs Pelikon's own engines, or lrzsz.
class BatchRootTest : public BatchRunTest, public ::testing::WithParamInterface<bool> {};

TEST_P(BatchRootTest, RootEntriesAfterAFolderEntryGoToTheRoot) {
  const bool lrzsz = GetParam();
  std::filesystem::create_directories(store_ / "Jobs");
  store_.Write("ROOT.TXT", "in the root");
  store_.Write("Jobs/SUB.TXT", "in Jobs");
  local_.Write("A.TXT", "a");
  local_.Write("B.TXT", "b");
  std::filesystem::create_directories(local_ / "in");
  Connect(lrzsz ? std::vector<std::string>{"--third-party"} : std::vector<std::string>{}, !lrzsz);
  const std::string batch = Local(local_ / "A.TXT") + "remote=\\Jobs\\A.TXT\n" + Local(local_ / "B.TXT") +
                            "remote=\\B.TXT\n" + Local(local_ / "in" / "SUB.TXT") +
                            "remote=\\Jobs\\SUB.TXT\nupload=0\n" + Local(local_ / "in" / "ROOT.TXT") +
                            "remote=\\ROOT.TXT\nupload=0\n" + Local(local_ / "B.TXT") + "remote=\\Jobs\\B2.TXT\n" +
                            Local(local_ / "A.TXT") + "remote=\\A2.TXT\n";
  EXPECT_EQ(RunBatch(batch), 0) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(testing::Contents(store_ / "Jobs" / "A.TXT"), "a");
  EXPECT_EQ(testing::Contents(store_ / "B.TXT"), "b");
  EXPECT_FALSE(std::filesystem::exists(store_ / "Jobs" / "B.TXT"));
  EXPECT_EQ(testing::Contents(local_ / "in" / "SUB.TXT"), "in Jobs");
  EXPECT_EQ(testing::Contents(local_ / "in" / "ROOT.TXT"), "in the root");
  EXPECT_EQ(testing::Contents(store_ / "Jobs" / "B2.TXT"), "b");
  EXPECT_EQ(testing::Contents(store_ / "A2.TXT"), "a");
  EXPECT_TRUE(ui_.Saw("Transfered 6 of 6 files successfully."));
}

INSTANTIATE_TEST_SUITE_P(Collector, BatchRootTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "Lrzsz" : "OwnEngines";
                         });

// A folder of the test's own on another file system than the temporary
// folder (a memory file system), when the machine has one.
class ForeignFolder {
 public:
  explicit ForeignFolder(const std::filesystem::path& near) {
    struct stat here {};
    if (::stat(near.c_str(), &here) != 0) return;
    for (const char* base : {"/dev/shm", "/run/shm"}) {
      struct stat there {};
      if (::stat(base, &there) != 0 || there.st_dev == here.st_dev) continue;
      std::string pattern = std::string(base) + "/pelikon-test-XXXXXX";
      if (::mkdtemp(pattern.data())) {
        path_ = pattern;
        return;
      }
    }
  }
  ~ForeignFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
};

TEST_F(BatchRunTest, ARenamedDownloadOntoAnotherFileSystemLeavesNoStagedCopy) {
  ForeignFolder pc(work_.Path());
  if (pc.Path().empty()) GTEST_SKIP() << "no second file system to move across";
  store_.Write("JOB.TXT", "collector");
  testing::TempDir::WriteFile(pc.Path() / "JOB.TXT", "pc");
  Connect();
  ui_.QueueAnswer(kAnswerRename);
  ui_.QueueText("JOB-B.TXT");
  EXPECT_EQ(RunBatch(Local(pc.Path() / "JOB.TXT") + "remote=JOB.TXT\nupload=0\n"), 0);
  EXPECT_EQ(testing::Contents(pc.Path() / "JOB.TXT"), "pc");
  EXPECT_EQ(testing::Contents(pc.Path() / "JOB-B.TXT"), "collector");
  EXPECT_FALSE(std::filesystem::exists(Temp() / "#Pelikon#" / "JOB.TXT")) << "the received copy was moved, not copied";
  for (const auto& item : std::filesystem::directory_iterator(pc.Path()))
    EXPECT_EQ(item.path().filename().string().rfind(".pelikon-", 0), std::string::npos) << "no twin left behind";
}

TEST_F(BatchRunTest, ABatchFileWithoutEntriesOrWithNothingToDoSaysSo) {
  Connect();
  EXPECT_EQ(RunBatch("remote=A.TXT\n# no local line\n"), -1);
  EXPECT_TRUE(ui_.Saw("holds no entry: each entry starts with a line local=<file>."));

  exit_code_ = ExitCode();
  EXPECT_EQ(RunBatch(Local(local_ / "A.TXT") + "upload=1\n"), 2);
  EXPECT_TRUE(ui_.Saw("captioned: Error: Nothing to do for '" + (local_ / "A.TXT").string() +
                      "': the entry needs a line remote=<file> or remotedir=1"));
}

}  // namespace
}  // namespace pelikon
