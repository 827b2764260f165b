#include "app/options/option_texts.h"

#include <algorithm>

#include "app/panes/dir_list.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

bool IsComPort(int number) {
  return number >= 1 && number <= kHighestComPort;
}

std::string YesNo(bool on) {
  return on ? kYesText : kNoText;
}

bool IsYes(const std::string& text) {
  return text == kYesText;
}

void TakeLinkIndex(int index, TransferSettings& settings, bool activesync_available, Ui& ui) {
  if (index == kLinkIndexActiveSync) {
    if (activesync_available) {
      settings.com = kActiveSyncLink;
      settings.use_activesync = true;
      return;
    }
    ui.ShowMessageBox(Tr("Unable to find necessary components. Please make sure \n") +
                      std::string(Tr("that the current version of MS ActiveSync is installed.")));
    // There is no COM100: stay on the port the user had, so that the serial
    // link still opens something real.
    if (!IsComPort(settings.com)) settings.com = 1;
    settings.use_activesync = false;
    return;
  }
  if (!IsComPort(index)) return;  // not an entry of the list: leave the link alone
  settings.com = index;
  settings.use_activesync = false;
}

}  // namespace

OptionTexts OptionTextsFrom(const TransferSettings& settings) {
  OptionTexts texts;
  if (settings.com == kActiveSyncLink)
    texts.link_index = kLinkIndexActiveSync;
  else
    texts.link_index = IsComPort(settings.com) ? settings.com : 1;
  for (const SettingDescription& setting : SettingsTable()) {
    if (!setting.option_label) continue;
    std::string& text = texts.values[setting.name];
    if (const auto* flag = std::get_if<bool TransferSettings::*>(&setting.field))
      text = YesNo(settings.**flag);
    else if (setting.type == SettingType::kSortOrder)
      text = SortOrderText(settings.*std::get<int TransferSettings::*>(setting.field));
    else if (const auto* number = std::get_if<int TransferSettings::*>(&setting.field))
      text = std::to_string(settings.**number);
    else
      text = settings.*std::get<std::string TransferSettings::*>(setting.field);
  }
  texts.device_folder = settings.device_folder;
  return texts;
}

std::string ToggledYesNo(std::string_view value) {
  return value == kYesText ? kNoText : kYesText;
}

bool MaskHasBlank(std::string_view mask) {
  return mask.find_first_of(" \t") != std::string_view::npos;
}

bool IsStorableDeviceFolder(std::string_view folder) {
  return SettingsStore::ReadsBackWhole(folder);
}

bool IsOfferedBaudRate(int baud) {
  return std::find(kBaudRates.begin(), kBaudRates.end(), baud) != kBaudRates.end();
}

void TakeOptionTexts(const OptionTexts& texts, TransferSettings& settings, bool activesync_available, Ui& ui) {
  TakeLinkIndex(texts.link_index, settings, activesync_available, ui);
  for (const SettingDescription& setting : SettingsTable()) {
    const auto found = texts.values.find(setting.name);
    if (!setting.option_label || found == texts.values.end()) continue;
    const std::string& text = found->second;
    if (const auto* flag = std::get_if<bool TransferSettings::*>(&setting.field)) {
      settings.** flag = IsYes(text);
    } else if (setting.type == SettingType::kSortOrder) {
      settings.*std::get<int TransferSettings::*>(setting.field) = SortOrderFromText(text);
    } else if (setting.type == SettingType::kBaud) {
      // A speed the port cannot be set to would leave the link dead; keep
      // the one that works.
      if (IsOfferedBaudRate(LenientInt32(text)))
        settings.*std::get<int TransferSettings::*>(setting.field) = LenientInt32(text);
    } else if (const auto* value = std::get_if<std::string TransferSettings::*>(&setting.field)) {
      settings.** value = text;
    }
  }
  if (IsStorableDeviceFolder(texts.device_folder)) settings.device_folder = texts.device_folder;
}

}  // namespace pelikon
