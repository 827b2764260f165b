// Unattended runs without windows: `pelikon --no-gui /BATCH jobs.txt`, or
// any unattended job on a machine with no display (a scheduled job on a
// server beside a docked collector). Messages go to standard error; every
// question gets its safe answer (No, Skip File), except those the switches
// answer otherwise: --create-folders says Yes to making a missing collector
// folder, --overwrite says Overwrite All to a file that exists. The exit
// code is the one the windows would leave.
#pragma once

#include <filesystem>

#include "app/command_line.h"
#include "platform/console_ui.h"
#include "platform/settings_store.h"

namespace pelikon {

// Gives `ui` the answers `request` allows beyond the safe ones.
void SetUnattendedAnswers(const CommandLineRequest& request, ConsoleUi& ui);

// Starts the session as the main window would (settings, last folder,
// Connect), runs the request's job, writes the settings back; returns the
// process status.
int RunWithoutWindows(const CommandLineRequest& request, SettingsStore& settings,
                      const std::filesystem::path& program_folder, const std::filesystem::path& temp_folder);

}  // namespace pelikon
