// Everything one run of the program holds, windows or not: the settings,
// the optional libraries, the sound cues, the progress, the link to the
// collector and the two panes, started in the program's fixed order and
// written back at the end. The main window wraps one; an unattended run
// without a display uses one directly.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/geoid/make_geoid_grid.h"
#include "app/optional_libraries.h"
#include "app/panes/panes_controller.h"
#include "app/report/report_library.h"
#include "app/transfer_settings.h"
#include "link/progress/sound_cues.h"
#include "link/progress/transfer_progress.h"
#include "link/remote/remote_link.h"
#include "platform/settings_store.h"
#include "platform/ui.h"

namespace pelikon {

struct SessionSetup {
  SettingsStore* settings = nullptr;     // where the user's settings live
  std::filesystem::path program_folder;  // optional libraries, geoid default
  std::filesystem::path temp_folder;     // working files
  SoundOutput* sound_output = nullptr;   // null: the system's
};

class AppSession {
 public:
  // First-run settings and the optional libraries; nothing is read yet.
  AppSession(const SessionSetup& setup, Ui& ui, PanesView& view);
  AppSession(const AppSession&) = delete;
  AppSession& operator=(const AppSession&) = delete;

  // Reads the settings, shows the not-connected help over the remote pane
  // (when there is a pane to show it in), opens the last folder (else the
  // folder the program started in) and fills the local pane.
  void Start(bool show_help = true);
  // Runs the command line's unattended job, if any; true when one ran (the
  // program then ends).
  bool RunCommandLine(const CommandLineRequest& request);
  // Applies settings changed by the Options dialog: link, mask, local pane;
  // the device folder is written to the store at once.
  void SettingsChanged();
  // Closes the link and writes the settings back.
  void Finish();

  TransferSettings& Settings() { return settings_; }
  OptionalLibraries& Libraries() { return libraries_; }
  TransferProgress& Progress() { return progress_; }
  RemoteLink& Link() { return *link_; }
  PanesController& Panes() { return *panes_; }
  ExitCode& Exit() { return exit_code_; }
  SettingsStore& Store() { return store_; }
  // The report library, bound on the first report of the run.
  ReportLibrary& Reports();
  // Where Make geoid grid writes and fetches.
  GeoidCutPlaces GeoidPlaces();
  // Writes `model` (a raster GDAL reads) as the ".grd" `destination`
  // through the geoid-import helper; false with the helper's reason.
  bool RunGridImport(const std::filesystem::path& model, const std::filesystem::path& destination, std::string& error);

 private:
  SettingsStore& store_;
  std::filesystem::path program_folder_;
  std::filesystem::path temp_folder_;
  std::string start_folder_;
  Ui& ui_;
  TransferSettings settings_;
  OptionalLibraries libraries_;
  ExitCode exit_code_;
  SoundCues sound_;
  TransferProgress progress_;
  std::unique_ptr<RemoteLink> link_;
  std::unique_ptr<PanesController> panes_;
  std::unique_ptr<ReportLibrary> reports_;
  bool finished_ = false;
};

}  // namespace pelikon
