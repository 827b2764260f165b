// The main window: the PC's folder on the left, the collector's on the
// right, the counters and status lines below them, and the row of command
// buttons. It starts the program in a fixed order (catalogue, settings,
// optional libraries, panes, last folder, Connect, command line) and writes
// the settings back when it goes.
#pragma once

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/eventfilter.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/timer.h>

#include "app/app_session.h"
#include "app/file_ops/file_operations.h"
#include "app/panes/panes_controller.h"
#include "app/send_range/send_range.h"
#include "app/transfer_settings.h"
#include "gui/art.h"
#include "gui/main_window_layout.h"
#include "gui/merge/merge_window.h"
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
  // Commands of keys without a button of their own.
  kIdRefresh = 29100,
  kIdUpOneLevel = 29101,
};

// Commands (the buttons, a double-click, the start-up connection) run one
// at a time. While one runs, the link's waits keep the window painting,
// but the window takes no mouse or key input: a second command started
// inside the first would use the link in the middle of its dialogue with
// the collector, and a click in a pane would change the tags the first is
// working through. Escape does not close the window; Exit and the close
// box do, unless a command runs.
class CTransferDlg final : public wxDialog, public PanesView, public MainWindowSurface, private wxEventFilter {
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
  // A command, a transfer or the progress window is running.
  bool Busy() const;
  // Both panes have drawn their rows (a hidden pane counts as drawn).
  bool PanesDrawn() const;
  // Saves a picture of the window into `file` as soon as both panes have
  // drawn their rows, then calls `done` with whether it was saved. Gives
  // up (not saved) when they have not drawn within `patience`.
  void SavePictureWhenDrawn(std::filesystem::path file, std::function<void(bool saved)> done,
                            std::chrono::milliseconds patience = std::chrono::seconds(60));

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
  // Binds the keys: the file commands' function keys, Backspace, and each
  // button's Alt+letter (the letter after "&" in its caption).
  void BindKeys();
  void OnCharHook(wxKeyEvent& event);
  // The command a key press asks for, or wxID_NONE.
  int KeyCommand(const wxKeyEvent& event) const;
  // Gives the keyboard focus back to the pane worked in when a command
  // left none in this window.
  void KeepKeyboardFocus();
  // The pane that holds the keyboard focus, if one does.
  std::optional<PaneSide> FocusedPaneView() const;
  // Column widths and sorting by a click on a heading.
  void LoadColumnWidths();
  void SaveColumnWidths();
  void OnColumnClick(wxListEvent& event);
  void ShowSortOrder();
  wxStaticText* Label(PaneLabel label) const;
  // Runs `command` unless another one runs; true when it ran.
  bool RunCommand(const std::function<void()>& command);
  // A button runs its command through RunCommand().
  void BindCommand(int id, void (*command)(CTransferDlg&));
  FileOperations& FileCommands();
  void Transfer();
  void SendPoints();
  void MakeGeoid();
  // Swallows mouse and key input to this window while a command runs.
  int FilterEvent(wxEvent& event) override;

  // The user starts working in `side`'s pane: it takes the focus before
  // its selection changes, so that the tags follow the pane worked in
  // whatever order the toolkit reports the focus and the selection.
  void PaneInput(PaneSide side);
  // Tags the selection once the event that changes it is over.
  void ScheduleTagSync();
  // Tags the selection now if a sync is waiting and no command runs.
  void SyncTags();
  void OnPictureTimer();

  void PlaceControls();
  // Widens the window until both panes show every column (within the display).
  void FitColumns();
  void OnSize(wxSizeEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnExit(wxCommandEvent& event);
  void OnListActivated(wxListEvent& event);

  CommandLineRequest command_line_;
  std::function<void()> after_start_;
  WxUi ui_;
  std::unique_ptr<AppSession> session_;
  std::unique_ptr<WxMergeWindow> merge_window_;
  std::unique_ptr<FileOperations> file_operations_;
  std::string shared_name_text_;       // last text accepted by the mask or name dialog
  SendRangeFields send_range_fields_;  // kept between uses of Send Pnts
  std::unique_ptr<GeoidAreaDialogPort> geoid_dialog_;

  PaneListView* local_pane_ = nullptr;
  PaneListView* remote_pane_ = nullptr;
  wxStaticText* help_text_ = nullptr;
  std::vector<Placed> placed_;
  std::map<wxChar, int> mnemonics_;  // upper-case letter to button id
  wxSize initial_client_size_;
  int running_commands_ = 0;
  bool tag_sync_pending_ = false;
  bool started_ = false;

  wxTimer picture_timer_;
  std::filesystem::path picture_file_;
  std::function<void(bool)> picture_done_;
  std::chrono::steady_clock::time_point picture_deadline_;
};

}  // namespace pelikon
