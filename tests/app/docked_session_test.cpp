// A whole session over the docked-device link: the program's own session
// with the real connector library (loaded by name beside the test), a
// device folder of the test's own, and a scripted user. Transfers both
// ways, delete, rename, make dir, the remembered device folder, and a batch
// run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "app/app_session.h"
#include "app/file_ops/file_operations.h"
#include "app/transfer/transfer_run.h"
#include "link/listing/dir_listing.h"
#include "platform/program_files.h"
#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

class DockedSession : public ::testing::Test {
 protected:
  DockedSession() : settings_(temp_ / "config") {
    fs::create_directories(device_);
    fs::create_directories(pc_);
    ::setenv("PELIKON_CONFIG_DIR", (temp_ / "config").c_str(), 1);
    TransferSettings first = FirstRunSettings(ProgramFolder().string(), pc_.string());
    first.com = kActiveSyncLink;
    first.last_folder = pc_.string();
    SaveTransferSettings(settings_, first);
    settings_.SetValue("asyncroot", device_.string());
    settings_.SetValue("sound", "0");
  }

  // A new session (as a new run of the program), started and connecting.
  void Open() {
    session_.reset();
    SessionSetup setup;
    setup.settings = &settings_;
    setup.program_folder = ProgramFolder();
    setup.temp_folder = temp_ / "work";
    setup.sound_output = &no_sound_;
    fs::create_directories(setup.temp_folder);
    session_ = std::make_unique<AppSession>(setup, ui_, view_);
    ASSERT_TRUE(session_->Libraries().DeviceConnectorAvailable());
    session_->Start(false);
    Panes().Connect();
  }
  void Start() {
    Open();
    ASSERT_TRUE(session_->Link().Connected()) << ::testing::PrintToString(ui_.Shown());
  }
  PanesController& Panes() { return session_->Panes(); }
  void Tag(PaneSide side, const std::string& name) {
    bool found = false;
    for (DirEntry& entry : Panes().Entries(side).entries)
      if (entry.name == name) found = entry.tagged = true;
    ASSERT_TRUE(found) << name;
  }
  const DirEntry* Remote(const std::string& name) {
    for (const DirEntry& entry : Panes().Entries(PaneSide::kRemote).entries)
      if (entry.name == name) return &entry;
    return nullptr;
  }

  testing::TempDir temp_;
  fs::path device_ = temp_ / "device";
  fs::path pc_ = temp_ / "pc";
  FileSettingsStore settings_;
  testing::ScriptedUi ui_;
  testing::NoSound no_sound_;
  NoPanesView view_;
  std::unique_ptr<AppSession> session_;
};

TEST_F(DockedSession, FilesMoveBothWaysAndTheDeviceIsManagedLikeTheCollector) {
  temp_.Write("device/Jobs/JOB1.RW5", "raw from the field");
  temp_.Write("device/Jobs/OLD.TXT", "old");
  temp_.Write("pc/JOB1.CRD", "office points");
  Start();
  std::string shared_text;
  FileOperations operations(Panes(), shared_text);

  ASSERT_NE(Remote("Jobs"), nullptr) << "the device's root is listed";
  ASSERT_EQ(session_->Link().ChangeDir("\\Jobs"), 1);
  Panes().FillRemote(false);
  ASSERT_NE(Remote("JOB1.RW5"), nullptr);
  EXPECT_EQ(Remote("JOB1.RW5")->attributes & 32, 32) << "new on the device";

  // Down: the copy arrives, the archive copy beside it, the device's mark is cleared.
  Tag(PaneSide::kRemote, "JOB1.RW5");
  TransferRun(Panes(), nullptr).Start();
  EXPECT_EQ(testing::Contents(pc_ / "JOB1.RW5"), "raw from the field");
  EXPECT_EQ(testing::Contents(pc_ / "JOB1.ov5"), "raw from the field");
  ASSERT_NE(Remote("JOB1.RW5"), nullptr);
  EXPECT_EQ(Remote("JOB1.RW5")->attributes & 32, 0) << "cleared after the download";

  // Up.
  Tag(PaneSide::kLocal, "JOB1.CRD");
  ui_.QueueAnswer(kAnswerNo);  // no companions by job name
  TransferRun(Panes(), nullptr).Start();
  EXPECT_EQ(testing::Contents(device_ / "Jobs/JOB1.CRD"), "office points");
  EXPECT_TRUE(ui_.Saw("message: File Transfer / Complete"));

  // Make dir, rename, delete on the device.
  ui_.QueueText("Archive", false);
  operations.MakeDir();
  EXPECT_TRUE(fs::is_directory(device_ / "Jobs/Archive"));
  Tag(PaneSide::kRemote, "OLD.TXT");
  ui_.QueueText("NOTES.TXT");
  operations.Rename();
  EXPECT_EQ(testing::Contents(device_ / "Jobs/NOTES.TXT"), "old");
  EXPECT_FALSE(fs::exists(device_ / "Jobs/OLD.TXT"));
  Tag(PaneSide::kRemote, "JOB1.RW5");
  ui_.QueueAnswer(kAnswerYes);
  operations.Delete();
  EXPECT_FALSE(fs::exists(device_ / "Jobs/JOB1.RW5"));
  EXPECT_EQ(Remote("JOB1.RW5"), nullptr);

  // The next run opens the device where this one left it.
  session_->Finish();
  EXPECT_EQ(settings_.GetValue("asyncdir"), "\\Jobs");
  Start();
  EXPECT_NE(Remote("NOTES.TXT"), nullptr);
}

TEST_F(DockedSession, ABatchRunsOverTheDockedLink) {
  temp_.Write("pc/UP.CRD", "to the collector");
  temp_.Write("device/Jobs/DOWN.RW5", "to the PC");
  Start();
  const fs::path batch =
      temp_.Write("jobs.txt", "local=" + (pc_ / "UP.CRD").string() + "\nremote=\\Data\\UP.CRD\n" +  //
                                  "local=" + (pc_ / "DOWN.RW5").string() + "\nremote=\\Jobs\\DOWN.RW5\nupload=0\n" +
                                  "local=" + (pc_ / "listing.txt").string() + "\nremotedir=1\n");
  ui_.QueueAnswer(kAnswerYes);  // create \Data
  CommandLineRequest request;
  request.job = CommandLineJob::kBatch;
  request.batch_file = batch.string();
  request.silent = true;
  ASSERT_TRUE(session_->RunCommandLine(request));
  EXPECT_EQ(session_->Exit().Value(), 0) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(testing::Contents(device_ / "Data/UP.CRD"), "to the collector");
  EXPECT_EQ(testing::Contents(pc_ / "DOWN.RW5"), "to the PC");
  // The listing is of the folder the last entry left the device in.
  EXPECT_NE(testing::Contents(pc_ / "listing.txt").find("DOWN.RW5|9|"), std::string::npos);
}

TEST_F(DockedSession, AMissingDeviceFolderShowsTheDockedChecklist) {
  settings_.SetValue("asyncroot", (temp_ / "unplugged").string());
  Open();
  EXPECT_FALSE(session_->Link().Connected());
  EXPECT_TRUE(ui_.Saw("unplugged")) << ::testing::PrintToString(ui_.Shown());
}

}  // namespace
}  // namespace pelikon
