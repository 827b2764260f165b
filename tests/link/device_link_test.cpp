// The link over the docked-device carrier, against a fake connector.
#include <gtest/gtest.h>

#include <map>

#include "link/remote/remote_link.h"
#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

using testing::NoSound;

// A device with a few files and folders, answering as configured.
class FakeConnector final : public DeviceConnector {
 public:
  int connect_result = 1;
  int connected = 1;
  int attributes_result = 1;
  std::string folder = "\\";
  std::map<std::string, std::string> files;  // full device path -> content
  std::vector<std::string> calls;

  int Connect() override { return Call("connect"), connect_result; }
  void Disconnect() override { Call("disconnect"); }
  int IsConnected() override { return connected; }
  int GetCurrentFolder(std::string& out) override {
    out = folder.back() == '\\' ? folder : folder + "\\";
    return 1;
  }
  int SetCurrentFolder(const std::string& f) override {
    Call("cd " + f);
    folder = f;
    return 1;
  }
  int GetHomeFolder(std::string& out) override {
    out = "\\";
    return 1;
  }
  int SetMask(const std::string& mask) override { return Call("mask " + mask), 1; }
  int FreeSpace(std::string& bytes) override {
    bytes = "1048576";
    return 1;
  }
  int WriteListing(const std::string& f, bool hidden, const std::string& target) override {
    Call("list " + f + (hidden ? " hidden" : ""));
    testing::TempDir::WriteFile(std::filesystem::path(target) / "dir_zzz.txt", "A.CRD|1|01/05/03|14:07|32|A.CRD\r\n");
    return 1;
  }
  std::string ErrorText(int code) override { return "Error = " + std::to_string(code) + " 0 (0)"; }
  int GetFile(const std::string& remote, const std::string& local) override {
    Call("get " + remote);
    const auto found = files.find(remote);
    if (found == files.end()) return kDeviceRemoteRead;
    testing::TempDir::WriteFile(local, found->second);
    return 1;
  }
  int PutFile(const std::string& local, const std::string& remote) override {
    Call("put " + remote);
    files[remote] = testing::Contents(local);
    return 1;
  }
  int DeleteFile(const std::string& name) override { return Call("del " + name), files.erase(name) ? 1 : 0; }
  int RemoveFolder(const std::string& name) override { return Call("rmdir " + name), 1; }
  int MakeFolder(const std::string& name) override { return Call("mkdir " + name), 1; }
  int Rename(const std::string& from, const std::string& to, bool fail_if_exists) override {
    Call("rename " + from + " " + to + (fail_if_exists ? " fail" : " replace"));
    if (fail_if_exists && files.count(DevicePathOf(to))) return kDeviceTargetExists;
    return 1;
  }
  int SetAttributes(const std::string& path, int bits) override {
    Call("attributes " + path + " " + std::to_string(bits));
    return attributes_result;
  }

 private:
  void Call(const std::string& text) { calls.push_back(text); }
  std::string DevicePathOf(const std::string& name) const { return name[0] == '\\' ? name : folder + "\\" + name; }
};

class DeviceLink : public ::testing::Test {
 protected:
  DeviceLink() {
    LinkSettings settings;
    settings.use_activesync = true;
    settings.activesync_folder = "\\Data";
    settings.temp_folder = work_.Path();
    settings.local_folder = local_.Path();
    link_ = std::make_unique<RemoteLink>(ui_, progress_, settings, [](int, int) { return SerialPortHandle(); });
    link_->SetDeviceConnector(&device_);
  }
  TempDir work_, local_;
  ScriptedUi ui_;
  NoSound no_sound_;
  SoundCues sound_{no_sound_};
  TransferProgress progress_{ui_, sound_};
  FakeConnector device_;
  std::unique_ptr<RemoteLink> link_;
};

TEST_F(DeviceLink, ConnectOpensTheRememberedFolderAndTheMask) {
  ASSERT_EQ(link_->Connect(), 1);
  EXPECT_EQ(device_.calls, (std::vector<std::string>{"connect", "cd \\Data", "mask *.*"}));
  EXPECT_EQ(link_->RemoteFolder(), "\\Data\\");
  device_.connect_result = kDeviceNotFound;
  EXPECT_EQ(link_->Connect(), 0);
  EXPECT_TRUE(ui_.Saw("message: ActiveSync failed / Error = -507 0 (0)")) << "codes without a text ask the connector";
}

TEST_F(DeviceLink, ChangeDirGoesUpAsTheDeviceExpects) {
  ASSERT_EQ(link_->Connect(), 1);
  EXPECT_EQ(link_->ChangeDir("\\Data\\Jobs\\.."), 1);
  EXPECT_EQ(link_->RemoteFolder(), "\\Data");
  EXPECT_EQ(link_->ChangeDir("\\Data\\.."), 1);
  EXPECT_EQ(link_->RemoteFolder(), "\\");
}

TEST_F(DeviceLink, FilesMoveAndAttributesAreCleared) {
  ASSERT_EQ(link_->Connect(), 1);
  device_.files["\\Data\\JOB.rw5"] = "raw";
  ASSERT_EQ(link_->GetFile("JOB.rw5"), 1);
  EXPECT_EQ(testing::Contents(local_ / "JOB.rw5"), "raw");
  EXPECT_EQ(testing::Contents(local_ / "JOB.ov5"), "raw");
  EXPECT_EQ(device_.calls.back(), "attributes \\Data\\JOB.rw5 128");

  device_.attributes_result = 0;
  device_.files["\\Data\\B.CRD"] = "b";
  EXPECT_EQ(link_->GetFile("B.CRD"), 0);
  EXPECT_EQ(testing::Contents(local_ / "B.CRD"), "b") << "the copy that arrived whole stays";
  EXPECT_TRUE(ui_.Saw("Error in file transfer -504: Unable to Clear Attributes"));

  local_.Write("UP.CRD", "up");
  ASSERT_EQ(link_->PutFile("UP.CRD"), 1);
  EXPECT_EQ(device_.files["\\Data\\UP.CRD"], "up");
  EXPECT_EQ(link_->DeleteFile("\\Data\\UP.CRD"), 1);
  EXPECT_EQ(link_->MakeDir("NEW"), 1);
  EXPECT_EQ(device_.calls.back(), "mkdir \\Data\\NEW");
  double free_bytes = 0;
  EXPECT_EQ(link_->FreeSpace(free_bytes), 1);
  EXPECT_EQ(free_bytes, 1048576.0);
  ASSERT_EQ(link_->ListRemote(), 1);
  EXPECT_EQ(testing::Contents(work_ / "dir_zzz.txt"), "A.CRD|1|01/05/03|14:07|32|A.CRD\r\n");
}

TEST_F(DeviceLink, RenameOverAnExistingFileAsks) {
  ASSERT_EQ(link_->Connect(), 1);
  device_.files["\\Data\\B.CRD"] = "b";
  ui_.QueueAnswer(kAnswerNo);
  EXPECT_EQ(link_->Rename("A.CRD", "B.CRD"), 1) << "No keeps both and counts as done";
  EXPECT_TRUE(ui_.Saw("Overwrite File: OK to overwrite B.CRD ?"));
  ui_.QueueAnswer(kAnswerYes);
  EXPECT_EQ(link_->Rename("A.CRD", "B.CRD"), 1);
  EXPECT_EQ(device_.calls.back(), "rename A.CRD B.CRD replace");
}

TEST_F(DeviceLink, NotConnectedChecklistNamesTheFolderLookedAt) {
  const std::string docked_items =
      "help: Remote data collector not connected or not active!\n\n\nCheck each of the following items:\n"
      "1. Is the data collector docked and switched on?\n"
      "2. Is it mounted as a folder (media device or USB drive)?\n";
  LinkSettings settings = link_->Settings();
  settings.device_folder = "/media/surveyor/COLLECTOR";
  link_->SetSettings(settings);
  link_->ShowNotConnectedHelp();
  EXPECT_EQ(ui_.Shown().back(), docked_items + "3. Device folder: /media/surveyor/COLLECTOR\n");

  settings.device_folder.clear();
  link_->SetSettings(settings);
  link_->ShowNotConnectedHelp();
  EXPECT_EQ(ui_.Shown().back(), docked_items + "3. Device folder: the media device under $XDG_RUNTIME_DIR/gvfs\n");

  // Back on the cable, or with no connector to reach a device through, the
  // cable's checklist applies.
  settings.use_activesync = false;
  link_->SetSettings(settings);
  link_->ShowNotConnectedHelp();
  EXPECT_EQ(ui_.Shown().back(), "help: " + RemoteLink::NotConnectedHelp());
  settings.use_activesync = true;
  link_->SetSettings(settings);
  link_->SetDeviceConnector(nullptr);
  link_->ShowNotConnectedHelp();
  EXPECT_EQ(ui_.Shown().back(), "help: " + RemoteLink::NotConnectedHelp());
}

}  // namespace
}  // namespace pelikon
