// The program itself, without a display: `pelikon --no-gui /BATCH file /S`
// against the collector simulator, as a scheduled job would run it.
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
  // Runs the program on `batch`; its exit status.
  int Run(const std::string& batch) {
    const std::filesystem::path file = work_.Write("jobs.txt", batch);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY PELIKON_CONFIG_DIR='" + config_.Path().string() +
                                "' PELIKON_TEMP_DIR='" + (work_ / "tmp").string() + "' '" + PELIKON_BIN_DIR +
                                "/pelikon' --no-gui /BATCH " + file.string() + " /S 2>'" +
                                (work_ / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

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

}  // namespace
}  // namespace pelikon
