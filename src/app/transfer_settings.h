// The user's persisted settings (`TransferSettings`): what is read at start,
// how missing values read, and what is written back at the end.
//
// Every value is described once, in `SettingsTable()`: its stored name, how
// its text reads, its first-run default, whether it is written back, and
// the Options dialog's label when the dialog shows it. Loading, saving,
// the first-run defaults and the Options dialog all walk that table.
//
// Reading: on the first run (no "com" value) every field keeps its first-run
// default. Otherwise a value that is missing reads as empty text — 0, off or
// empty — and not as the default. Writing stores the fields in table order;
// "sound" and "port_delay" are only ever read (they are set by hand).
#pragma once

#include <array>
#include <span>
#include <string>
#include <variant>

#include "platform/settings_store.h"
#include "platform/ui.h"

namespace pelikon {

enum SortOrder : int { kSortOff = 0, kSortByName = 1, kSortByDate = 2, kSortBySize = 3 };

// "com" value that selects the ActiveSync link instead of a COM port.
inline constexpr int kActiveSyncLink = 100;
// The stored name of the ActiveSync link's device folder (the mounted folder
// taken as the device; empty for the media device the desktop mounted). The
// connector library reads it from the settings file itself at each connect.
inline constexpr const char* kDeviceFolderSetting = "asyncroot";
// The serial link's base reply time-out, and the least "port_delay" honoured.
inline constexpr int kDefaultPortDelayMs = 500;
// The serial speeds a user can choose, slowest first; a stored speed that is
// none of them reads as the slowest.
inline constexpr std::array<int, 6> kBaudRates = {4800, 9600, 19200, 38400, 57600, 115200};

struct TransferSettings {
  int com = 1;       // COM port number, or kActiveSyncLink
  int baud = 38400;  // one of kBaudRates
  std::string mask = "*.*";
  int sort = kSortByName;                   // a SortOrder; other numbers sort as off
  bool confirm_delete = true;               // "del"
  bool protect_remote = true;               // "remote"
  bool archive_rw5 = true;                  // "archive"
  bool confirm_overwrite = true;            // "ovrwt"
  bool show_special = false;                // "spcl": list hidden and system files
  bool use_kermit = true;                   // "xfer": Kermit, else Zmodem
  std::string geoid_folder;                 // "geoid"
  std::string grid_server;                  // "gridserver": base URL of the geoid grid server; empty: none
  std::string last_folder;                  // "lastdir"
  std::string activesync_folder;            // "asyncdir"
  std::string device_folder;                // "asyncroot"
  bool sound_on = true;                     // "sound" != 0
  int port_delay_ms = kDefaultPortDelayMs;  // "port_delay", raised only

  // Not stored: true when the ActiveSync link is in use.
  bool use_activesync = false;
};

// How a stored text reads into its field.
enum class SettingType {
  kNumber,       // decimal text; anything else reads as 0
  kBaud,         // one of kBaudRates, anything else the slowest
  kFlag,         // on exactly when the text is the number 1
  kFlagUnless0,  // on unless the text is the number 0 (missing: on)
  kDelay,        // milliseconds, taken only above kDefaultPortDelayMs
  kSortOrder,    // a SortOrder as a number
  kText,
};

// When a value is written back at the end of a run.
enum class SettingStorage {
  kAlways,
  kWithActiveSync,  // only while the ActiveSync link is in use (and only read then)
  kNever,           // set by hand in the settings file, only ever read
};

struct SettingDescription {
  const char* name;  // the stored value's name
  SettingType type;
  std::variant<int TransferSettings::*, bool TransferSettings::*, std::string TransferSettings::*> field;
  SettingStorage storage;
  // The Options dialog's button for the value, or null when the dialog does
  // not show it. Flags toggle; the others open their own small dialog.
  const char* option_label;
};

// Every persisted value, in the order they are written.
std::span<const SettingDescription> SettingsTable();
// The description named `name`, or null.
const SettingDescription* FindSetting(std::string_view name);

// The first-run defaults; the geoid folder is the program folder and the
// last folder the current folder at start.
TransferSettings FirstRunSettings(const std::string& program_folder, const std::string& current_folder);

// Reads the settings over `settings`, which holds the first-run defaults.
// `activesync_available` says whether the ActiveSync connector was found;
// when the stored link asks for it and it is not, `ui` shows why and the
// serial link is used. `program_folder` stands in for an empty "geoid".
void LoadTransferSettings(const SettingsStore& store, TransferSettings& settings, bool activesync_available,
                          const std::string& program_folder, Ui& ui);

// Takes the current folder as the folder to open next time. A folder too
// long for the 255-byte buffer leaves the old value.
void RememberLastFolder(TransferSettings& settings, const std::string& current_folder);

// Writes the settings back, in table order.
void SaveTransferSettings(SettingsStore& store, const TransferSettings& settings);

}  // namespace pelikon
