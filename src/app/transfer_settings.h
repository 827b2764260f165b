// The user's persisted settings (`TransferSettings`): what is read at start,
// how missing values read, and what is written back at the end.
//
// Reading: on the first run (no "com" value) every field keeps its first-run
// default. Otherwise a value that is missing reads as empty text — 0, off or
// empty — and not as the default. Writing stores the fields in a fixed order;
// "sound" and "port_delay" are only ever read (they are set by hand).
#pragma once

#include <string>

#include "platform/settings_store.h"
#include "platform/ui.h"

namespace pelikon {

enum SortOrder : int { kSortOff = 0, kSortByName = 1, kSortByDate = 2, kSortBySize = 3 };

// "com" value that selects the ActiveSync link instead of a COM port.
inline constexpr int kActiveSyncLink = 100;
// The serial link's base reply time-out, and the least "port_delay" honoured.
inline constexpr int kDefaultPortDelayMs = 500;

struct TransferSettings {
  int com = 1;       // COM port number, or kActiveSyncLink
  int baud = 38400;  // 4800, 9600, 19200, 38400, 57600 or 115200
  std::string mask = "*.*";
  int sort = kSortByName;                   // a SortOrder; other numbers sort as off
  bool confirm_delete = true;               // "del"
  bool protect_remote = true;               // "remote"
  bool archive_rw5 = true;                  // "archive"
  bool confirm_overwrite = true;            // "ovrwt"
  bool show_special = false;                // "spcl": list hidden and system files
  bool use_kermit = true;                   // "xfer": Kermit, else Zmodem
  std::string geoid_folder;                 // "geoid"
  std::string last_folder;                  // "lastdir"
  std::string activesync_folder;            // "asyncdir"
  bool sound_on = true;                     // "sound" != 0
  int port_delay_ms = kDefaultPortDelayMs;  // "port_delay", raised only

  // Not stored: true when the ActiveSync link is in use.
  bool use_activesync = false;
};

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

// Writes the settings back, in the order the program always has.
void SaveTransferSettings(SettingsStore& store, const TransferSettings& settings);

}  // namespace pelikon
