// The application object: binds the catalogue, picks the settings (the
// user's, or the demonstration's own), runs the main window as a modal
// dialog and returns the exit code that an unattended run left.
//
// `pelikon --demo` starts a simulated collector with sample files first;
// `--screenshot FILE` saves a picture of the window once it has started
// and connected, prints its status line, and ends the program. The
// switches are read once, in `main`, before any window exists.
#pragma once

#include <memory>
#include <string>
#include <utility>

#include <wx/app.h>

#include "app/command_line.h"
#include "app/demo/demo_session.h"
#include "platform/settings_store.h"

namespace pelikon {

class CTrammockApp final : public wxApp {
 public:
  explicit CTrammockApp(CommandLineRequest request) : request_(std::move(request)) {}
  bool OnInit() override;
  int OnRun() override;
  int OnExit() override;

 private:
  std::unique_ptr<SettingsStore> user_settings_;
  std::unique_ptr<DemoSession> demo_;
  int exit_code_ = -1;
  CommandLineRequest request_;
};

}  // namespace pelikon
