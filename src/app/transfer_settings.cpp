#include "app/transfer_settings.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool IsOn(const std::string& text) {
  return LenientInt32(text) == 1;
}

int BaudOf(const std::string& text) {
  const int value = LenientInt32(text);
  switch (value) {
    case 9600:
    case 19200:
    case 38400:
    case 57600:
    case 115200:
      return value;
    default:
      return 4800;
  }
}

const char* OnOff(bool on) {
  return on ? "1" : "0";
}

}  // namespace

TransferSettings FirstRunSettings(const std::string& program_folder, const std::string& current_folder) {
  TransferSettings settings;
  settings.geoid_folder = program_folder;
  settings.last_folder = current_folder;
  return settings;
}

void LoadTransferSettings(const SettingsStore& store, TransferSettings& settings, bool activesync_available,
                          const std::string& program_folder, Ui& ui) {
  const std::string com = store.GetValue("com");
  if (com.empty()) return;  // first run

  settings.com = LenientInt32(com);
  settings.use_activesync = false;
  if (settings.com == kActiveSyncLink) {
    if (activesync_available) {
      settings.use_activesync = true;
    } else {
      ui.ShowMessageBox(
          Tr("Unable to find necessary components. Please make sure \nthat the current version of MS ActiveSync is "
             "installed."));
    }
  }

  settings.geoid_folder = store.GetValue("geoid");
  if (settings.geoid_folder.empty()) settings.geoid_folder = program_folder;
  settings.last_folder = store.GetValue("lastdir");
  settings.mask = store.GetValue("mask");
  settings.sort = LenientInt32(store.GetValue("sort"));
  const std::string sound = store.GetValue("sound");
  settings.sound_on = sound.empty() || LenientInt32(sound) != 0;
  settings.confirm_delete = IsOn(store.GetValue("del"));
  settings.protect_remote = IsOn(store.GetValue("remote"));
  settings.archive_rw5 = IsOn(store.GetValue("archive"));
  settings.confirm_overwrite = IsOn(store.GetValue("ovrwt"));
  settings.show_special = IsOn(store.GetValue("spcl"));
  settings.use_kermit = IsOn(store.GetValue("xfer"));
  settings.baud = BaudOf(store.GetValue("baud"));
  if (settings.use_activesync) settings.activesync_folder = store.GetValue("asyncdir");
  const int port_delay = LenientInt32(store.GetValue("port_delay"));
  if (port_delay > kDefaultPortDelayMs) settings.port_delay_ms = port_delay;
}

void RememberLastFolder(TransferSettings& settings, const std::string& current_folder) {
  if (current_folder.empty() || current_folder.size() + 1 > SettingsStore::kReadBufferBytes) return;
  settings.last_folder = current_folder;
}

void SaveTransferSettings(SettingsStore& store, const TransferSettings& settings) {
  // Failed writes are not reported: the next run simply reads what is there.
  store.SetValue("com", std::to_string(settings.com));
  store.SetValue("mask", settings.mask);
  store.SetValue("baud", std::to_string(settings.baud));
  store.SetValue("del", OnOff(settings.confirm_delete));
  store.SetValue("remote", OnOff(settings.protect_remote));
  store.SetValue("archive", OnOff(settings.archive_rw5));
  store.SetValue("sort", std::to_string(settings.sort));
  store.SetValue("spcl", OnOff(settings.show_special));
  store.SetValue("ovrwt", OnOff(settings.confirm_overwrite));
  store.SetValue("xfer", OnOff(settings.use_kermit));
  store.SetValue("geoid", settings.geoid_folder);
  store.SetValue("lastdir", settings.last_folder);
  if (settings.use_activesync) store.SetValue("asyncdir", settings.activesync_folder);
}

}  // namespace pelikon
