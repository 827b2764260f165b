#include "app/transfer_settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/scripted_ui.h"

namespace pelikon {
namespace {

using testing::ScriptedUi;

// A store that remembers the order of writes and reads nothing back.
class RecordingStore final : public SettingsStore {
 public:
  bool CreateKey() override { return true; }
  std::vector<std::string> written;

 protected:
  bool ReadRaw(std::string_view, std::string&) const override { return false; }
  bool WriteRaw(std::string_view name, std::string_view value) override {
    written.push_back(std::string(name) + "=" + std::string(value));
    return true;
  }
};

class TransferSettingsTest : public ::testing::Test {
 protected:
  TransferSettings Load(bool activesync_available = false) {
    TransferSettings settings = FirstRunSettings("/opt/pelikon", "/home/surveyor");
    LoadTransferSettings(store_, settings, activesync_available, "/opt/pelikon", ui_);
    return settings;
  }
  MemorySettingsStore store_;
  ScriptedUi ui_;
};

TEST_F(TransferSettingsTest, FirstRunKeepsEveryDefault) {
  store_.SetValue("sort", "3");  // ignored: without "com" nothing is read
  const TransferSettings s = Load();
  EXPECT_EQ(s.com, 1);
  EXPECT_EQ(s.baud, 38400);
  EXPECT_EQ(s.mask, "*.*");
  EXPECT_EQ(s.sort, kSortByName);
  EXPECT_TRUE(s.confirm_delete);
  EXPECT_TRUE(s.protect_remote);
  EXPECT_TRUE(s.archive_rw5);
  EXPECT_TRUE(s.confirm_overwrite);
  EXPECT_FALSE(s.show_special);
  EXPECT_TRUE(s.use_kermit);
  EXPECT_EQ(s.geoid_folder, "/opt/pelikon");
  EXPECT_EQ(s.last_folder, "/home/surveyor");
  EXPECT_TRUE(s.sound_on);
  EXPECT_EQ(s.port_delay_ms, 500);
  EXPECT_FALSE(s.use_activesync);
  EXPECT_TRUE(ui_.Shown().empty());
}

TEST_F(TransferSettingsTest, LaterRunsReadMissingKeysAsOffNotAsDefaults) {
  store_.SetValue("com", "3");
  const TransferSettings s = Load();
  EXPECT_EQ(s.com, 3);
  EXPECT_EQ(s.sort, kSortOff);
  EXPECT_FALSE(s.confirm_delete);
  EXPECT_FALSE(s.protect_remote);
  EXPECT_FALSE(s.use_kermit) << "missing \"xfer\" means Zmodem";
  EXPECT_EQ(s.mask, "");
  EXPECT_EQ(s.last_folder, "");
  EXPECT_EQ(s.geoid_folder, "/opt/pelikon") << "an empty geoid folder becomes the program folder";
  EXPECT_EQ(s.baud, 4800);
  EXPECT_TRUE(s.sound_on);
}

TEST_F(TransferSettingsTest, OnOffValuesAreOnExactlyForTheNumberOne) {
  store_.SetValue("com", "1");
  store_.SetValue("del", "1");
  store_.SetValue("remote", "2");
  store_.SetValue("archive", "yes");
  store_.SetValue("spcl", "1");
  store_.SetValue("xfer", "0");
  const TransferSettings s = Load();
  EXPECT_TRUE(s.confirm_delete);
  EXPECT_FALSE(s.protect_remote);
  EXPECT_FALSE(s.archive_rw5);
  EXPECT_TRUE(s.show_special);
  EXPECT_FALSE(s.use_kermit);
}

TEST_F(TransferSettingsTest, SpeedsOutsideTheListFallBackTo4800) {
  store_.SetValue("com", "1");
  for (const auto& [stored, expected] : std::vector<std::pair<std::string, int>>{
           {"4800", 4800}, {"12345", 4800}, {"9600", 9600}, {"115200", 115200}, {"230400", 4800}, {"", 4800}}) {
    store_.SetValue("baud", stored);
    EXPECT_EQ(Load().baud, expected) << "baud=" << stored;
  }
}

TEST_F(TransferSettingsTest, PortDelayOnlyRaisesTheLineTime) {
  store_.SetValue("com", "1");
  store_.SetValue("port_delay", "300");
  EXPECT_EQ(Load().port_delay_ms, 500);
  store_.SetValue("port_delay", "2000");
  EXPECT_EQ(Load().port_delay_ms, 2000);
}

TEST_F(TransferSettingsTest, SoundIsOffOnlyWhenPresentAndZero) {
  store_.SetValue("com", "1");
  EXPECT_TRUE(Load().sound_on);
  store_.SetValue("sound", "1");
  EXPECT_TRUE(Load().sound_on);
  store_.SetValue("sound", "0");
  EXPECT_FALSE(Load().sound_on);
}

TEST_F(TransferSettingsTest, ActiveSyncNeedsItsConnector) {
  store_.SetValue("com", "100");
  store_.SetValue("asyncdir", "\\My Documents");
  TransferSettings with = Load(true);
  EXPECT_TRUE(with.use_activesync);
  EXPECT_EQ(with.activesync_folder, "\\My Documents");
  EXPECT_TRUE(ui_.Shown().empty());

  TransferSettings without = Load(false);
  EXPECT_FALSE(without.use_activesync);
  EXPECT_EQ(without.com, 100);
  EXPECT_EQ(without.activesync_folder, "") << "asyncdir is read only on the ActiveSync link";
  ASSERT_EQ(ui_.Shown().size(), 1u);
  EXPECT_EQ(ui_.Shown()[0],
            "box: Unable to find necessary components. Please make sure \nthat the current version of MS ActiveSync "
            "is installed.");
}

TEST(SaveTransferSettings, WritesTheKeysInOrderAndNeverSoundOrPortDelay) {
  RecordingStore store;
  TransferSettings s = FirstRunSettings("/opt/pelikon", "/home/surveyor");
  s.sound_on = false;
  s.port_delay_ms = 2000;
  s.com = 4;
  s.mask = "*.crd";
  s.show_special = true;
  SaveTransferSettings(store, s);
  const std::vector<std::string> expected = {"com=4",
                                             "mask=*.crd",
                                             "baud=38400",
                                             "del=1",
                                             "remote=1",
                                             "archive=1",
                                             "sort=1",
                                             "spcl=1",
                                             "ovrwt=1",
                                             "xfer=1",
                                             "geoid=/opt/pelikon",
                                             "gridserver=",
                                             "lastdir=/home/surveyor",
                                             "asyncroot="};
  EXPECT_EQ(store.written, expected);

  store.written.clear();
  s.use_activesync = true;
  s.com = kActiveSyncLink;
  s.activesync_folder = "\\Ostrel";
  SaveTransferSettings(store, s);
  ASSERT_EQ(store.written.size(), expected.size() + 1);
  EXPECT_EQ(store.written.back(), "asyncdir=\\Ostrel");
}

TEST_F(TransferSettingsTest, DeviceFolderIsReadAndWrittenWhateverTheLink) {
  store_.SetValue("com", "4");
  store_.SetValue("asyncroot", "/media/surveyor/COLLECTOR");
  TransferSettings serial = Load();
  EXPECT_FALSE(serial.use_activesync);
  EXPECT_EQ(serial.device_folder, "/media/surveyor/COLLECTOR") << "kept while a serial port is in use";

  // Written back unchanged on the serial link, so that choosing the docked
  // link later finds it again.
  MemorySettingsStore saved;
  SaveTransferSettings(saved, serial);
  EXPECT_EQ(saved.GetValue("asyncroot"), "/media/surveyor/COLLECTOR");

  serial.device_folder.clear();
  SaveTransferSettings(saved, serial);
  EXPECT_EQ(saved.GetValue("asyncroot"), "") << "an emptied folder is stored empty, not left as it was";
}

TEST(SaveTransferSettings, RoundTripsThroughTheStore) {
  MemorySettingsStore store;
  ScriptedUi ui;
  TransferSettings s = FirstRunSettings("/opt/pelikon", "/start");
  s.com = 12;
  s.baud = 115200;
  s.sort = kSortBySize;
  s.confirm_delete = false;
  s.use_kermit = false;
  RememberLastFolder(s, "/data/jobs");
  SaveTransferSettings(store, s);
  TransferSettings back = FirstRunSettings("/elsewhere", "/elsewhere");
  LoadTransferSettings(store, back, false, "/elsewhere", ui);
  EXPECT_EQ(back.com, 12);
  EXPECT_EQ(back.baud, 115200);
  EXPECT_EQ(back.sort, kSortBySize);
  EXPECT_FALSE(back.confirm_delete);
  EXPECT_FALSE(back.use_kermit);
  EXPECT_EQ(back.last_folder, "/data/jobs");
  EXPECT_EQ(back.geoid_folder, "/opt/pelikon");
}

TEST(RememberLastFolder, AFolderTooLongForTheBufferKeepsTheOldOne) {
  TransferSettings s = FirstRunSettings("/p", "/old");
  RememberLastFolder(s, "/" + std::string(260, 'x'));
  EXPECT_EQ(s.last_folder, "/old");
  RememberLastFolder(s, "/" + std::string(253, 'x'));
  EXPECT_EQ(s.last_folder.size(), 254u) << "the longest value the buffer reads back";
  RememberLastFolder(s, "/jobs\nnext");
  EXPECT_EQ(s.last_folder.size(), 254u) << "a line break would not be stored";
}

}  // namespace
}  // namespace pelikon
