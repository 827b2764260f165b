// The program itself, without a display: `pelikon --no-gui /BATCH file /S`
// against the collector simulator, as a scheduled job would run it; the
// answers its switches allow; what it says about its arguments.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "app/transfer_settings.h"
#include "support/simulated_collector.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

class HeadlessBatch : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(collector_.Start(store_.Path()));
    FileSettingsStore settings(config_.Path());
    TransferSettings first = FirstRunSettings(PELIKON_BIN_DIR, local_.Path().string());
    first.baud = 115200;
    SaveTransferSettings(settings, first);
    settings.SetValue("port1", collector_.Line().string());
    settings.SetValue("sound", "0");
  }
  // Runs `program` (the program by default) with `arguments` and no
  // display; its exit status. What it printed is in Said() and Err().
  int RunProgram(const std::string& arguments, const std::string& program = PELIKON_BIN_DIR "/pelikon") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY PELIKON_CONFIG_DIR='" + config_.Path().string() +
                                "' PELIKON_TEMP_DIR='" + (work_ / "tmp").string() + "' '" + program + "' " + arguments +
                                " >'" + (work_ / "stdout.txt").string() + "' 2>'" + (work_ / "stderr.txt").string() +
                                "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // Runs the program on `batch` without windows, silent, with `options`.
  int Run(const std::string& batch, const std::string& options = "") {
    const std::filesystem::path file = work_.Write("jobs.txt", batch);
    return RunProgram("--no-gui " + options + " /BATCH '" + file.string() + "' /S");
  }
  std::string Said() const { return testing::Contents(work_ / "stdout.txt"); }
  std::string Err() const { return testing::Contents(work_ / "stderr.txt"); }

  testing::TempDir work_, store_, local_, config_;
  testing::SimulatedCollector collector_;
};

TEST_F(HeadlessBatch, AThreeEntryBatchMovesEverythingAndExitsZero) {
  local_.Write("UP.CRD", "to the collector");
  store_.Write("DOWN.RW5", "to the PC");
  const std::string batch = "local=" + (local_ / "UP.CRD").string() + "\nremote=UP.CRD\n" +  //
                            "local=" + (local_ / "DOWN.RW5").string() + "\nremote=DOWN.RW5\nupload=0\n" +
                            "local=" + (local_ / "listing.txt").string() + "\nremotedir=1\n";
  EXPECT_EQ(Run(batch), 0) << testing::Contents(work_ / "stderr.txt");
  EXPECT_EQ(testing::Contents(store_ / "UP.CRD"), "to the collector");
  EXPECT_EQ(testing::Contents(local_ / "DOWN.RW5"), "to the PC");
  EXPECT_NE(testing::Contents(local_ / "listing.txt").find("DOWN.RW5|"), std::string::npos);
  const std::string said = testing::Contents(work_ / "stderr.txt");
  EXPECT_EQ(said.find("Transfered"), std::string::npos) << "silent: no summary";
  EXPECT_EQ(said.find("not connected"), std::string::npos) << "a connected run prints no checklist: " << said;
}

TEST_F(HeadlessBatch, AnEntryWithAMissingLocalFileMakesItOne) {
  local_.Write("UP.CRD", "x");
  const std::string batch = "local=" + (local_ / "UP.CRD").string() + "\nremote=UP.CRD\n" +  //
                            "local=" + (local_ / "GONE.CRD").string() + "\nremote=GONE.CRD\n";
  EXPECT_EQ(Run(batch), 1);
  EXPECT_NE(testing::Contents(work_ / "stderr.txt").find("GONE.CRD' is not found"), std::string::npos);
}

TEST_F(HeadlessBatch, AnUnreadableBatchFileLeavesMinusOne) {
  const std::string command = "env -u DISPLAY PELIKON_CONFIG_DIR='" + config_.Path().string() + "' PELIKON_TEMP_DIR='" +
                              (work_ / "tmp").string() + "' '" + PELIKON_BIN_DIR + "/pelikon' /BATCH '" +
                              (work_ / "missing.txt").string() + "' 2>/dev/null";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 255) << "-1: no entry ran";
}

TEST_F(HeadlessBatch, ARunWithoutSwitchesNeitherMakesFoldersNorReplacesFiles) {
  store_.Write("A.TXT", "the collector's");
  local_.Write("A.TXT", "the PC's");
  local_.Write("B.TXT", "b");
  const std::string batch = "local=" + (local_ / "A.TXT").string() + "\nremote=A.TXT\n" +  //
                            "local=" + (local_ / "B.TXT").string() + "\nremote=\\NEW\\B.TXT\n";
  EXPECT_EQ(Run(batch), 2) << Err();
  EXPECT_EQ(testing::Contents(store_ / "A.TXT"), "the collector's");
  EXPECT_FALSE(std::filesystem::exists(store_ / "NEW"));
  EXPECT_NE(Err().find("WARNING! Target file 'A.TXT' exists. -> Skip File"), std::string::npos) << Err();
  EXPECT_NE(Err().find("Create now? -> No"), std::string::npos) << Err();

  EXPECT_EQ(Run(batch, "--create-folders --overwrite"), 0) << Err();
  EXPECT_EQ(testing::Contents(store_ / "A.TXT"), "the PC's");
  EXPECT_EQ(testing::Contents(store_ / "NEW" / "B.TXT"), "b");
  EXPECT_NE(Err().find("WARNING! Target file 'A.TXT' exists. -> Overwrite All Existing"), std::string::npos) << Err();
  EXPECT_NE(Err().find("Create now? -> Yes"), std::string::npos) << Err();
}

TEST_F(HeadlessBatch, ALinkUnderAnotherNameRunsTheSameBatch) {
  local_.Write("UP.CRD", "through the link");
  const std::filesystem::path link = work_ / "field-transfer";
  std::filesystem::create_symlink(PELIKON_BIN_DIR "/pelikon", link);
  const std::filesystem::path file =
      work_.Write("jobs.txt", "local=" + (local_ / "UP.CRD").string() + "\nremote=UP.CRD\n");
  EXPECT_EQ(RunProgram("--no-gui /batch '" + file.string() + "' /s", link.string()), 0) << Err();
  EXPECT_EQ(testing::Contents(store_ / "UP.CRD"), "through the link");
}

TEST_F(HeadlessBatch, HelpVersionAndWrongArgumentsEndAtOnce) {
  EXPECT_EQ(RunProgram("--help"), 0);
  EXPECT_NE(Said().find("/BATCH FILE [/S]"), std::string::npos) << Said();
  EXPECT_NE(Said().find("--create-folders"), std::string::npos);
  EXPECT_EQ(RunProgram("--version"), 0);
  EXPECT_EQ(Said(), "Veldra Software Pelikon v1.52\n");
  EXPECT_EQ(RunProgram("--frobnicate"), 2);
  EXPECT_EQ(Err(), "pelikon: unknown option '--frobnicate' (see pelikon --help)\n");
  EXPECT_EQ(RunProgram("--overwrite /BATCH jobs.txt"), 2);
  EXPECT_NE(Err().find("--overwrite works only with --no-gui"), std::string::npos) << Err();
  EXPECT_TRUE(testing::Contents(collector_.Log()).find("HELLO") == std::string::npos) << "no connection was tried";
}

// /F2F connects, runs the code table command and ends (with the status of
// a run without batch entries); without windows its file picker cannot be
// answered, so nothing is sent.
TEST_F(HeadlessBatch, TheCodeTableJobRunsAndEnds) {
  EXPECT_EQ(RunProgram("--no-gui /F2F"), 255) << Err();
  EXPECT_NE(Err().find("Select Existing Field Code Table -> cancelled"), std::string::npos) << Err();
  EXPECT_NE(testing::Contents(collector_.Log()).find("HELLO"), std::string::npos) << "it connected first";
}

}  // namespace
}  // namespace pelikon
