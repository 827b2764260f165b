#include "app/options/option_texts.h"

#include <gtest/gtest.h>

#include "app/app_session.h"
#include "support/no_sound.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::ScriptedUi;

TransferSettings SerialSettings(int com) {
  TransferSettings settings;
  settings.com = com;
  return settings;
}

TEST(OptionTexts, ShowTheSettings) {
  TransferSettings settings;
  settings.com = 12;
  settings.baud = 115200;
  settings.mask = "*.crd";
  settings.sort = kSortByDate;
  settings.show_special = true;
  settings.confirm_overwrite = false;
  const OptionTexts texts = OptionTextsFrom(settings);
  EXPECT_EQ(texts.link_index, 12);
  EXPECT_EQ(texts["baud"], "115200");
  EXPECT_EQ(texts["mask"], "*.crd");
  EXPECT_EQ(texts["sort"], "BY DATE");
  EXPECT_EQ(texts["spcl"], "YES");
  EXPECT_EQ(texts["ovrwt"], "NO");
  EXPECT_EQ(texts["del"], "YES");

  EXPECT_EQ(OptionTextsFrom(SerialSettings(kActiveSyncLink)).link_index, kLinkIndexActiveSync);
  EXPECT_EQ(OptionTextsFrom(SerialSettings(0)).link_index, 1) << "no COM0 entry: shown as COM1";
  EXPECT_EQ(OptionTextsFrom(SerialSettings(150)).link_index, 1);
}

TEST(OptionTexts, ToggleAndBlankMasks) {
  EXPECT_EQ(ToggledYesNo("YES"), "NO");
  EXPECT_EQ(ToggledYesNo("NO"), "YES");
  EXPECT_EQ(ToggledYesNo(""), "YES");
  EXPECT_EQ(ToggledYesNo("yes"), "YES") << "only the exact text counts as on";
  EXPECT_EQ(ToggledYesNo(ToggledYesNo("NO")), "NO");

  EXPECT_TRUE(MaskHasBlank("*.c rd"));
  EXPECT_TRUE(MaskHasBlank(" *.crd"));
  EXPECT_TRUE(MaskHasBlank("*.crd\t"));
  EXPECT_FALSE(MaskHasBlank("*.*"));
  EXPECT_FALSE(MaskHasBlank(""));
}

TEST(OptionTexts, UnchangedTextsGiveBackTheSameSettings) {
  TransferSettings settings;
  settings.com = 7;
  settings.baud = 9600;
  settings.mask = "JOB*.rw5";
  settings.sort = kSortBySize;
  settings.confirm_delete = false;
  settings.archive_rw5 = false;
  settings.show_special = true;
  const TransferSettings before = settings;
  ScriptedUi ui;
  TakeOptionTexts(OptionTextsFrom(settings), settings, false, ui);
  EXPECT_EQ(settings.com, before.com);
  EXPECT_EQ(settings.baud, before.baud);
  EXPECT_EQ(settings.mask, before.mask);
  EXPECT_EQ(settings.sort, before.sort);
  EXPECT_EQ(settings.confirm_delete, before.confirm_delete);
  EXPECT_EQ(settings.protect_remote, before.protect_remote);
  EXPECT_EQ(settings.archive_rw5, before.archive_rw5);
  EXPECT_EQ(settings.confirm_overwrite, before.confirm_overwrite);
  EXPECT_EQ(settings.show_special, before.show_special);
  EXPECT_FALSE(settings.use_activesync);
  EXPECT_TRUE(ui.Shown().empty());
}

TEST(OptionTexts, TakesEachText) {
  TransferSettings settings = SerialSettings(1);
  OptionTexts texts = OptionTextsFrom(settings);
  texts.link_index = 12;
  texts["mask"] = "*.crd";
  texts["baud"] = "57600";
  texts["del"] = "NO";
  texts["spcl"] = "Yes";  // only "YES" switches a flag on
  ScriptedUi ui;

  TakeOptionTexts(texts, settings, true, ui);
  EXPECT_EQ(settings.com, 12);
  EXPECT_FALSE(settings.use_activesync);
  EXPECT_EQ(settings.mask, "*.crd");
  EXPECT_EQ(settings.baud, 57600);
  EXPECT_FALSE(settings.confirm_delete);
  EXPECT_FALSE(settings.show_special);

  for (const auto& [text, order] : {std::pair{"OFF", kSortOff},
                                    {"BY NAME", kSortByName},
                                    {"BY DATE", kSortByDate},
                                    {"BY SIZE", kSortBySize},
                                    {"????", kSortOff},
                                    {"by name", kSortOff}}) {
    texts["sort"] = text;
    TakeOptionTexts(texts, settings, true, ui);
    EXPECT_EQ(settings.sort, order) << text;
  }
}

TEST(OptionTexts, SpeedThatIsNotOfferedKeepsTheWorkingOne) {
  TransferSettings settings;
  settings.baud = 19200;
  OptionTexts texts = OptionTextsFrom(settings);
  ScriptedUi ui;
  for (const char* bad : {"", "12345", "0", "-9600", "abc"}) {
    texts["baud"] = bad;
    TakeOptionTexts(texts, settings, false, ui);
    EXPECT_EQ(settings.baud, 19200) << '"' << bad << '"';
  }
  texts["baud"] = "4800";
  TakeOptionTexts(texts, settings, false, ui);
  EXPECT_EQ(settings.baud, 4800);
}

TEST(OptionTexts, ActiveSyncWhenTheConnectorIsThere) {
  TransferSettings settings = SerialSettings(3);
  OptionTexts texts = OptionTextsFrom(settings);
  texts.link_index = kLinkIndexActiveSync;
  ScriptedUi ui;
  TakeOptionTexts(texts, settings, true, ui);
  EXPECT_EQ(settings.com, kActiveSyncLink);
  EXPECT_TRUE(settings.use_activesync);
  EXPECT_TRUE(ui.Shown().empty());

  texts.link_index = 4;  // and back to a serial port
  TakeOptionTexts(texts, settings, true, ui);
  EXPECT_EQ(settings.com, 4);
  EXPECT_FALSE(settings.use_activesync);
}

TEST(OptionTexts, ActiveSyncWithoutTheConnectorSaysWhyAndStaysOnTheSerialPort) {
  TransferSettings settings = SerialSettings(5);
  OptionTexts texts = OptionTextsFrom(settings);
  texts.link_index = kLinkIndexActiveSync;
  ScriptedUi ui;
  TakeOptionTexts(texts, settings, false, ui);
  ASSERT_EQ(ui.Shown().size(), 1u);
  EXPECT_EQ(ui.Shown()[0],
            "box: Unable to find necessary components. Please make sure \nthat the current version of MS ActiveSync "
            "is installed.");
  EXPECT_FALSE(settings.use_activesync);
  EXPECT_EQ(settings.com, 5);

  // Settings that already asked for the missing connector have no port of
  // their own to fall back to.
  TransferSettings fallen_back = SerialSettings(kActiveSyncLink);
  TakeOptionTexts(texts, fallen_back, false, ui);
  EXPECT_FALSE(fallen_back.use_activesync);
  EXPECT_EQ(fallen_back.com, 1);
}

TEST(OptionTexts, DeviceFolderGoesBackWhenItCanBeStored) {
  TransferSettings settings = SerialSettings(kActiveSyncLink);
  settings.device_folder = "/run/user/1000/gvfs/mtp:host=COLLECTOR";
  OptionTexts texts = OptionTextsFrom(settings);
  EXPECT_EQ(texts.device_folder, settings.device_folder);
  EXPECT_EQ(texts.values.count("asyncroot"), 0u) << "not one of the table's option values";
  ScriptedUi ui;

  texts.device_folder = "/home/surveyor/collector";
  TakeOptionTexts(texts, settings, true, ui);
  EXPECT_EQ(settings.device_folder, "/home/surveyor/collector");

  // The connector reads the folder back from the store: a text it could not
  // read back would silently point it elsewhere.
  for (const std::string& bad : {"/" + std::string(254, 'd'), std::string("/media/a\nb")}) {
    EXPECT_FALSE(IsStorableDeviceFolder(bad));
    texts.device_folder = bad;
    TakeOptionTexts(texts, settings, true, ui);
    EXPECT_EQ(settings.device_folder, "/home/surveyor/collector");
  }

  texts.device_folder.clear();  // back to the desktop's media device
  TakeOptionTexts(texts, settings, true, ui);
  EXPECT_EQ(settings.device_folder, "");
  EXPECT_TRUE(ui.Shown().empty());
}

TEST(OptionTexts, AcceptedDeviceFolderIsInTheStoreBeforeTheNextConnect) {
  MemorySettingsStore store;
  ScriptedUi ui;
  testing::NoSound no_sound;
  NoPanesView view;
  testing::TempDir folder;
  AppSession session(SessionSetup{&store, folder.Path(), folder.Path(), &no_sound}, ui, view);
  session.Start(false);
  OptionTexts texts = OptionTextsFrom(session.Settings());
  texts.device_folder = "/home/surveyor/collector";
  TakeOptionTexts(texts, session.Settings(), false, ui);
  session.SettingsChanged();
  EXPECT_EQ(store.GetValue("asyncroot"), "/home/surveyor/collector") << "the connector reads it from the store";
  EXPECT_EQ(session.Link().Settings().device_folder, "/home/surveyor/collector");
}

TEST(OptionTexts, IndexOutsideTheListLeavesTheLinkAlone) {
  TransferSettings settings = SerialSettings(9);
  OptionTexts texts = OptionTextsFrom(settings);
  ScriptedUi ui;
  for (const int index : {-1, 100, 250}) {
    texts.link_index = index;
    TakeOptionTexts(texts, settings, true, ui);
    EXPECT_EQ(settings.com, 9) << index;
    EXPECT_FALSE(settings.use_activesync);
  }
}

}  // namespace
}  // namespace pelikon
