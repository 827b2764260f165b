// Unattended runs without windows: `pelikon --no-gui /BATCH jobs.txt`, or
// any unattended job on a machine with no display (a scheduled job on a
// server beside a docked collector). Messages go to standard error; every
// question gets its safe answer (No, Skip File). The exit code is the one
// the windows would leave.
#pragma once

#include <filesystem>
#include <string>

#include "platform/settings_store.h"

namespace pelikon {

// Starts the session as the main window would (settings, last folder,
// Connect), runs the command line's job, writes the settings back; returns
// the process status.
int RunWithoutWindows(const std::string& command_line, SettingsStore& settings,
                      const std::filesystem::path& program_folder, const std::filesystem::path& temp_folder);

}  // namespace pelikon
