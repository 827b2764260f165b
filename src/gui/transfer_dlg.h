// The main window: the PC's folder on the left, the collector's on the
// right, the counters and status lines below them, and the row of command
// buttons. It starts the program in a fixed order (catalogue, settings,
// optional libraries, panes, last folder, Connect, command line) and writes
// the settings back when it goes.
#pragma once

#include <array>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/statbox.h>
#include <wx/stattext.h>

#include "app/app_session.h"
#include "app/file_ops/file_operations.h"
#include "app/panes/panes_controller.h"
#include "app/transfer_settings.h"
#include "gui/art.h"
#include "gui/main_window_layout.h"
#include "gui/pane_list_view.h"
#include "gui/wx_ui.h"

namespace pelikon {

// Control identifiers the window's handlers use.
enum MainWindowId : int {
  kIdExit = wxID_OK,
  kIdRemotePane = 1264,
  kIdLocalPane = 1265,
  kIdLocalPath = 1203,
  kIdLocalTotalFiles = 1204,
  kIdLocalBytes = 1205,
  kIdLocalFree = 1206,
  kIdRemotePath = 1208,
  kIdRemoteTotalFiles = 1209,
  kIdRemoteBytes = 1210,
  kIdRemoteFree = 1211,
  kIdMaskLabel = 1213,
  kIdTaggedCount = 1214,
  kIdTaggedBytes = 1215,
  kIdStatusLine = 1216,
  kIdTransfer = 1217,
  kIdConnect = 1218,
  kIdOptions = 1219,
  kIdDelete = 1220,
  kIdSetPath = 1221,
  kIdMakeDir = 1222,
  kIdGeoid = 1223,
  kIdFieldToFinish = 1224,
  kIdRename = 1225,
  kIdSendPoints = 1301,
  kIdNotConnectedHelp = 29044,
};

class CTransferDlg final : public wxDialog, public PanesView, public MainWindowSurface {
 public:
  struct Setup : SessionSetup {
    CommandLineRequest command_line;  // the switches of an unattended run
  };

  explicit CTransferDlg(const Setup& setup);
  ~CTransferDlg() override;

  // Connects and then runs the command line's job, once the window's loop
  // runs. Called once after the window is shown.
  void Start();
  // Runs `done` once the start-up connection and job are over.
  void SetAfterStart(std::function<void()> done) { after_start_ = std::move(done); }
  // The Options button's whole sequence.
  void RunOptions();
  int ExitCodeValue() { return session_->Exit().Value(); }

  // For tests and the benchmark.
  AppSession& Session() { return *session_; }
  PanesController& Panes() { return session_->Panes(); }
  PaneListView& Pane(PaneSide side) { return side == PaneSide::kLocal ? *local_pane_ : *remote_pane_; }
  wxString LabelText(PaneLabel label) const;
  RemoteLink& Link() { return session_->Link(); }
  WxUi& UserInterface() { return ui_; }
  bool HelpShown() const;

  // PanesView
  void ShowRows(PaneSide side) override;
  void SetLabel(PaneLabel label, const std::string& text) override;
  void ShowRemoteList() override;
  void EnableRemoteList(bool enabled) override;
  void DeselectAll(PaneSide side) override;
  std::vector<size_t> SelectedRows(PaneSide side) const override;

  // MainWindowSurface
  wxWindow* Window() override { return this; }
  void SetStatusLine(const std::string& text) override;
  std::string StatusLine() const override;
  void ShowHelpText(const std::string& text) override;

 private:
  struct Placed {
    wxWindow* window;
    ControlRect initial;
    ResizeRule rule;
  };

  void BuildControls();
  wxStaticText* AddLabel(int id, const char* text, int x, int y, int width, ResizeRule rule);
  void AddButton(int id, ButtonArt art, const char* caption, const char* tool_tip, int x, bool available);
  void Place(wxWindow* window, int x, int y, int width, int height, ResizeRule rule);
  wxStaticText* Label(PaneLabel label) const;
  void ProcessCommandLine();
  bool Busy() { return session_->Progress().TransferRunning() || ui_.ProgressOpen(); }
  // Runs a command of the buttons unless something is running already.
  void BindCommand(int id, void (*command)(CTransferDlg&));
  FileOperations& FileCommands();
  void Transfer();

  void OnSize(wxSizeEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnExit(wxCommandEvent& event);
  void OnListSelection(wxListEvent& event);
  void OnListActivated(wxListEvent& event);

  CommandLineRequest command_line_;
  std::function<void()> after_start_;
  WxUi ui_;
  std::unique_ptr<AppSession> session_;
  std::unique_ptr<FileOperations> file_operations_;
  std::string shared_name_text_;  // last text accepted by the mask or name dialog

  PaneListView* local_pane_ = nullptr;
  PaneListView* remote_pane_ = nullptr;
  wxStaticText* help_text_ = nullptr;
  std::vector<Placed> placed_;
  wxSize initial_client_size_;
  bool selection_update_pending_[2] = {false, false};
  bool started_ = false;
};

}  // namespace pelikon
