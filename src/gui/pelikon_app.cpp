#include "gui/pelikon_app.h"

#include <cstdlib>
#include <cstring>

#include <wx/image.h>

#include "app/command_line.h"
#include "app/unattended.h"
#include "gui/transfer_dlg.h"
#include "link/serial/serial_port.h"
#include "platform/catalogue.h"
#include "platform/dynamic_library.h"
#include "platform/temp_folder.h"
#include "platform/trace.h"

namespace pelikon {

bool CTrammockApp::OnInit() {
  BindCatalogue();
  wxInitAllImageHandlers();
  bool demo = false;
  for (int i = 1; i < argc; ++i) {
    if (argv[i] == "--demo") demo = true;
    if (argv[i] == "--screenshot" && i + 1 < argc) screenshot_ = argv[i + 1].utf8_string();
  }

  if (demo) {
    demo_ = std::make_unique<DemoSession>();
    std::string error;
    if (!demo_->Start(TempFolder(), ProgramFolder() / "collector-sim", error)) {
      std::fprintf(stderr, "pelikon --demo: %s\n", error.c_str());
      return false;
    }
    std::printf("pelikon --demo: collector store %s, PC folder %s\n", demo_->StoreFolder().c_str(),
                demo_->PcFolder().c_str());
  } else {
    user_settings_ = OpenUserSettings();
  }
  return true;
}

int CTrammockApp::OnRun() {
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(argv[i].utf8_string());
  std::vector<const char*> pointers;
  for (const std::string& argument : arguments) pointers.push_back(argument.c_str());

  CTransferDlg::Setup setup;
  setup.settings = demo_ ? &demo_->Settings() : user_settings_.get();
  setup.program_folder = ProgramFolder();
  setup.temp_folder = TempFolder();
  setup.command_line = JoinCommandLine(static_cast<int>(pointers.size()), pointers.data());
  {
    CTransferDlg window(setup);
    bool picture_saved = false;
    if (!screenshot_.empty()) {
      // A picture of the started window once both panes show their rows,
      // its status line on the terminal, then the end.
      window.SetAfterStart([this, &window, &picture_saved] {
        window.SavePictureWhenDrawn(screenshot_, [this, &window, &picture_saved](bool saved) {
          picture_saved = saved;
          std::printf("%s\n%s %s\n", window.StatusLine().c_str(), saved ? "saved" : "could not save",
                      screenshot_.c_str());
          window.Close();
        });
      });
    }
    SetTopWindow(&window);
    window.Start();
    window.ShowModal();
    exit_code_ = window.ExitCodeValue();
    // Without a job of its own, a picture run reports whether it got the picture.
    if (!screenshot_.empty() && exit_code_ == -1) exit_code_ = picture_saved ? 0 : 1;
    SetTopWindow(nullptr);
  }
  return exit_code_ & 0xFF;
}

int CTrammockApp::OnExit() {
  CloseAllPorts();
  if (demo_) demo_->Stop();
  return exit_code_ & 0xFF;
}

}  // namespace pelikon

wxIMPLEMENT_APP_NO_MAIN(pelikon::CTrammockApp);

int main(int argc, char** argv) {
  using namespace pelikon;
  bool no_gui = false;
  for (int i = 1; i < argc; ++i)
    if (std::strcmp(argv[i], "--no-gui") == 0) no_gui = true;
  const char* x_display = std::getenv("DISPLAY");
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  const bool display = (x_display && *x_display) || (wayland_display && *wayland_display);
  if (no_gui || !display) {
    BindCatalogue();
    const std::string command_line = JoinCommandLine(argc, argv);
    if (!no_gui && ParseCommandLine(command_line).job == CommandLineJob::kNone) {
      std::fprintf(stderr, "pelikon: %s\n",
                   Tr("No display to show the window on (unattended jobs run with --no-gui)."));
      return 1;
    }
    std::unique_ptr<SettingsStore> settings = OpenUserSettings();
    const int status = RunWithoutWindows(command_line, *settings, ProgramFolder(), TempFolder());
    CloseAllPorts();
    return status;
  }
  wxApp::SetInstance(new CTrammockApp);
  return wxEntry(argc, argv);
}
