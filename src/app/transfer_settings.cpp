#include "app/transfer_settings.h"

#include <algorithm>
#include <cstring>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using S = TransferSettings;

// Written in this order; "sound" and "port_delay" last, never written.
constexpr SettingDescription kTable[] = {
    {"com", SettingType::kNumber, &S::com, SettingStorage::kAlways, nullptr},
    {"mask", SettingType::kText, &S::mask, SettingStorage::kAlways, N_("&File Mask...")},
    {"baud", SettingType::kBaud, &S::baud, SettingStorage::kAlways, N_("&Baud Rate...")},
    {"del", SettingType::kFlag, &S::confirm_delete, SettingStorage::kAlways, N_("Confirm &Delete")},
    {"remote", SettingType::kFlag, &S::protect_remote, SettingStorage::kAlways, N_("Protect &Remote Files")},
    {"archive", SettingType::kFlag, &S::archive_rw5, SettingStorage::kAlways, N_("Archive RW5 Files")},
    {"sort", SettingType::kSortOrder, &S::sort, SettingStorage::kAlways, N_("Di&rectory Sort...")},
    {"spcl", SettingType::kFlag, &S::show_special, SettingStorage::kAlways, N_("Di&splay Special Files")},
    {"ovrwt", SettingType::kFlag, &S::confirm_overwrite, SettingStorage::kAlways, N_("Confirm Over&write")},
    {"xfer", SettingType::kFlag, &S::use_kermit, SettingStorage::kAlways, nullptr},
    {"geoid", SettingType::kText, &S::geoid_folder, SettingStorage::kAlways, nullptr},
    {"gridserver", SettingType::kText, &S::grid_server, SettingStorage::kAlways, nullptr},
    {"lastdir", SettingType::kText, &S::last_folder, SettingStorage::kAlways, nullptr},
    {kDeviceFolderSetting, SettingType::kText, &S::device_folder, SettingStorage::kAlways, nullptr},
    {"asyncdir", SettingType::kText, &S::activesync_folder, SettingStorage::kWithActiveSync, nullptr},
    {"sound", SettingType::kFlagUnless0, &S::sound_on, SettingStorage::kNever, nullptr},
    {"port_delay", SettingType::kDelay, &S::port_delay_ms, SettingStorage::kNever, nullptr},
};

int BaudOf(const std::string& text) {
  const int value = LenientInt32(text);
  return std::find(kBaudRates.begin(), kBaudRates.end(), value) != kBaudRates.end() ? value : kBaudRates.front();
}

void Read(const SettingDescription& setting, const std::string& text, TransferSettings& settings) {
  switch (setting.type) {
    case SettingType::kNumber:
    case SettingType::kSortOrder:
      settings.*std::get<int S::*>(setting.field) = LenientInt32(text);
      break;
    case SettingType::kBaud:
      settings.*std::get<int S::*>(setting.field) = BaudOf(text);
      break;
    case SettingType::kFlag:
      settings.*std::get<bool S::*>(setting.field) = LenientInt32(text) == 1;
      break;
    case SettingType::kFlagUnless0:
      settings.*std::get<bool S::*>(setting.field) = text.empty() || LenientInt32(text) != 0;
      break;
    case SettingType::kDelay:
      if (LenientInt32(text) > kDefaultPortDelayMs) settings.*std::get<int S::*>(setting.field) = LenientInt32(text);
      break;
    case SettingType::kText:
      settings.*std::get<std::string S::*>(setting.field) = text;
      break;
  }
}

std::string Written(const SettingDescription& setting, const TransferSettings& settings) {
  if (const auto* flag = std::get_if<bool S::*>(&setting.field)) return settings.**flag ? "1" : "0";
  if (const auto* number = std::get_if<int S::*>(&setting.field)) return std::to_string(settings.**number);
  return settings.*std::get<std::string S::*>(setting.field);
}

}  // namespace

std::span<const SettingDescription> SettingsTable() {
  return kTable;
}

const SettingDescription* FindSetting(std::string_view name) {
  for (const SettingDescription& setting : kTable)
    if (name == setting.name) return &setting;
  return nullptr;
}

TransferSettings FirstRunSettings(const std::string& program_folder, const std::string& current_folder) {
  TransferSettings settings;
  settings.geoid_folder = program_folder;
  settings.last_folder = current_folder;
  return settings;
}

void LoadTransferSettings(const SettingsStore& store, TransferSettings& settings, bool activesync_available,
                          const std::string& program_folder, Ui& ui) {
  if (store.GetValue("com").empty()) return;  // first run

  for (const SettingDescription& setting : kTable) {
    if (setting.storage == SettingStorage::kWithActiveSync && !settings.use_activesync) continue;
    Read(setting, store.GetValue(setting.name), settings);
    if (std::strcmp(setting.name, "com") != 0) continue;
    // The link decides whether the ActiveSync-only values are read at all.
    settings.use_activesync = false;
    if (settings.com != kActiveSyncLink) continue;
    if (activesync_available) {
      settings.use_activesync = true;
    } else {
      ui.ShowMessageBox(
          Tr("Unable to find necessary components. Please make sure \nthat the current version of MS ActiveSync is "
             "installed."));
    }
  }
  if (settings.geoid_folder.empty()) settings.geoid_folder = program_folder;
}

void RememberLastFolder(TransferSettings& settings, const std::string& current_folder) {
  if (current_folder.empty() || !SettingsStore::ReadsBackWhole(current_folder)) return;
  settings.last_folder = current_folder;
}

void SaveTransferSettings(SettingsStore& store, const TransferSettings& settings) {
  // Failed writes are not reported: the next run simply reads what is there.
  for (const SettingDescription& setting : kTable) {
    if (setting.storage == SettingStorage::kNever) continue;
    if (setting.storage == SettingStorage::kWithActiveSync && !settings.use_activesync) continue;
    store.SetValue(setting.name, Written(setting, settings));
  }
}

}  // namespace pelikon
