// The Options dialog's working copy of the settings: one text per value, as
// the dialog shows them, and the way accepted texts go back into the
// settings.
//
// The flag and sort texts are untranslated keys ("YES", "NO", "OFF",
// "BY NAME" ...) compared exactly; a window translates them only to show
// them. Texts that do not read as a valid value leave the setting as it was.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "app/transfer_settings.h"
#include "platform/catalogue.h"
#include "platform/ui.h"

namespace pelikon {

// Entries of the link drop-down: index 0 is the ActiveSync link, index n is
// COM n.
inline constexpr int kLinkIndexActiveSync = 0;
inline constexpr int kHighestComPort = 99;

inline constexpr const char* kYesText = N_("YES");
inline constexpr const char* kNoText = N_("NO");

// One text for every setting the dialog shows (those with an option label
// in `SettingsTable()`), by the setting's stored name: "mask", "baud",
// "sort", and "YES" or "NO" for each flag. The docked link's device folder
// has a field of its own: the dialog offers it only for that link.
struct OptionTexts {
  int link_index = 1;
  std::map<std::string, std::string, std::less<>> values;
  std::string device_folder;  // "asyncroot"; empty for the desktop's media device

  std::string& operator[](std::string_view name) { return values.find(name)->second; }
  const std::string& operator[](std::string_view name) const { return values.find(name)->second; }
};

// The texts of `settings`. A stored port outside COM1..COM99 shows as COM1.
OptionTexts OptionTextsFrom(const TransferSettings& settings);

// "YES" becomes "NO"; anything else becomes "YES".
std::string ToggledYesNo(std::string_view value);

// True when `mask` contains a blank (space or tab), which the remote side
// would split the mask at.
bool MaskHasBlank(std::string_view mask);

// True when `baud` is one of `kBaudRates`.
bool IsOfferedBaudRate(int baud);

// True when `folder` can be kept as the device folder: the settings store
// reads it back whole (the connector library reads it from there).
bool IsStorableDeviceFolder(std::string_view folder);

// Takes accepted texts back into `settings`. Choosing ActiveSync while the
// connector is missing shows why through `ui` and keeps the serial link on
// the COM port used before (COM1 when there was none). A device folder that
// is not storable leaves the one before.
void TakeOptionTexts(const OptionTexts& texts, TransferSettings& settings, bool activesync_available, Ui& ui);

}  // namespace pelikon
