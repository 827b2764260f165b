// The program itself over the docked-device link, without a display:
// `pelikon --no-gui /BATCH file /S` with the settings naming a device
// folder, as a scheduled job at the docking station would run it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "app/transfer_settings.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

class HeadlessDocked : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(device_);
    FileSettingsStore settings(config_);
    TransferSettings first = FirstRunSettings(PELIKON_BIN_DIR, (work_ / "pc").string());
    first.com = kActiveSyncLink;
    SaveTransferSettings(settings, first);
    settings.SetValue("asyncroot", device_.string());
    settings.SetValue("sound", "0");
  }
  int Run(const std::string& batch) {
    const fs::path file = work_.Write("jobs.txt", batch);
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY PELIKON_CONFIG_DIR='" + config_.string() +
                                "' PELIKON_TEMP_DIR='" + (work_ / "tmp").string() +
                                "' '" PELIKON_BIN_DIR "/pelikon' --no-gui /BATCH '" + file.string() + "' /S >'" +
                                (work_ / "stdout.txt").string() + "' 2>'" + (work_ / "stderr.txt").string() + "'";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Err() const { return testing::Contents(work_ / "stderr.txt"); }

  testing::TempDir work_;
  fs::path device_ = work_ / "device";
  fs::path config_ = work_ / "config";
};

TEST_F(HeadlessDocked, UploadDownloadAndListingExitZero) {
  work_.Write("pc/UP.CRD", "to the collector");
  work_.Write("device/Jobs/DOWN.RW5", "to the PC");
  const fs::path pc = work_ / "pc";
  const std::string batch = "local=" + (pc / "UP.CRD").string() + "\nremote=\\Jobs\\UP.CRD\n" +  //
                            "local=" + (pc / "DOWN.RW5").string() + "\nremote=\\Jobs\\DOWN.RW5\nupload=0\n" +
                            "local=" + (pc / "listing.txt").string() + "\nremotedir=1\n";
  EXPECT_EQ(Run(batch), 0) << Err();
  EXPECT_EQ(testing::Contents(device_ / "Jobs" / "UP.CRD"), "to the collector");
  EXPECT_EQ(testing::Contents(pc / "DOWN.RW5"), "to the PC");
  // The listing is of the folder the last entry left the device in.
  EXPECT_NE(testing::Contents(pc / "listing.txt").find("DOWN.RW5|9|"), std::string::npos);
  EXPECT_NE(testing::Contents(pc / "listing.txt").find("UP.CRD|16|"), std::string::npos);
  EXPECT_EQ(Err().find("not connected"), std::string::npos) << Err();
}

TEST_F(HeadlessDocked, AMissingDeviceFolderEndsWith255AfterTheChecklist) {
  fs::remove(device_);
  work_.Write("pc/UP.CRD", "x");
  EXPECT_EQ(Run("local=" + (work_ / "pc" / "UP.CRD").string() + "\nremote=UP.CRD\n"), 255);
  EXPECT_NE(Err().find("not connected or not active"), std::string::npos) << Err();
  EXPECT_NE(Err().find(device_.string()), std::string::npos) << "names the folder it looked at: " << Err();
}

}  // namespace
}  // namespace pelikon
