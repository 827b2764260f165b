#include "gui/pelikon_app.h"

#include <cstdlib>

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
  wxInitAllImageHandlers();
  if (request_.demo) {
    demo_ = std::make_unique<DemoSession>();
    std::string error;
    const bool started = request_.docked
                             ? demo_->StartDocked(TempFolder(), error)
                             : demo_->Start(TempFolder(), FindPrivateFile(ProgramFolder(), "collector-sim"), error);
    if (!started) {
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
  CTransferDlg::Setup setup;
  setup.settings = demo_ ? &demo_->Settings() : user_settings_.get();
  setup.program_folder = ProgramFolder();
  setup.temp_folder = TempFolder();
  setup.command_line = request_;
  {
    CTransferDlg window(setup);
    bool picture_saved = false;
    const std::string& picture = request_.screenshot;
    if (!picture.empty()) {
      // A picture of the started window once both panes show their rows,
      // its status line on the terminal, then the end.
      window.SetAfterStart([&window, &picture, &picture_saved] {
        window.SavePictureWhenDrawn(picture, [&window, &picture, &picture_saved](bool saved) {
          picture_saved = saved;
          std::printf("%s\n%s %s\n", window.StatusLine().c_str(), saved ? "saved" : "could not save", picture.c_str());
          window.Close();
        });
      });
    }
    SetTopWindow(&window);
    window.Start();
    window.ShowModal();
    exit_code_ = window.ExitCodeValue();
    // Without a job of its own, a picture run reports whether it got the picture.
    if (!picture.empty() && exit_code_ == -1) exit_code_ = picture_saved ? 0 : 1;
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

int main(int argc, char** argv) {
  using namespace pelikon;
  BindCatalogue();
  const CommandLineRequest request = ParseArguments(argc, argv);
  const int answered = AnswerWithoutStarting(request, stdout, stderr);
  if (answered != kStartProgram) return answered;
  const char* x_display = std::getenv("DISPLAY");
  const char* wayland_display = std::getenv("WAYLAND_DISPLAY");
  const bool display = (x_display && *x_display) || (wayland_display && *wayland_display);
  if (request.no_gui || !display) {
    if (!request.no_gui && request.job == CommandLineJob::kNone) {
      std::fprintf(stderr, "pelikon: %s\n",
                   Tr("No display to show the window on (unattended jobs run with --no-gui)."));
      return 1;
    }
    std::unique_ptr<SettingsStore> settings = OpenUserSettings();
    const int status = RunWithoutWindows(request, *settings, ProgramFolder(), TempFolder());
    CloseAllPorts();
    return status;
  }
  // The application object is made here, with the switches already read.
  wxApp::SetInstance(new CTrammockApp(request));
  return wxEntry(argc, argv);
}
