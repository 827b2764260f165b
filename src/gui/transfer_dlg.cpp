#include "gui/transfer_dlg.h"

#include <system_error>

#include <wx/bmpbuttn.h>
#include <wx/display.h>
#include <wx/tooltip.h>

#include "app/command_line.h"
#include "app/field_codes/field_code_upload.h"
#include "app/options/option_texts.h"
#include "app/program_version.h"
#include "app/transfer/transfer_run.h"
#include "dialogs/wx/app_icons.h"
#include "gui/art.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/file_type_names.h"
#include "gui/geoid/geoid_dialog.h"
#include "gui/send_range/send_range_dialog.h"
#include "gui/window_picture.h"
#include "link/serial/serial_port.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

wxString Wx(const std::string& text) {
  return wxString::FromUTF8(text);
}
wxString WxTr(const char* text) {
  return wxString::FromUTF8(Tr(text));
}

// The client area in dialog units.
constexpr int kClientWidth = 429;
constexpr int kClientHeight = 284;
constexpr int kButtonRowY = 239;
constexpr int kCaptionY = 271;

}  // namespace

CTransferDlg::CTransferDlg(const Setup& setup)
    : wxDialog(nullptr, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER | wxMINIMIZE_BOX | wxMAXIMIZE_BOX),
      command_line_(setup.command_line),
      ui_(*this),
      picture_timer_(this) {
  SetIcons(DialogIcons());
  SetTitle(Wx(ProgramTitle()));
  // A dialog ends on Escape by default; one Escape too many after closing a
  // question must not end the program.
  SetEscapeId(wxID_NONE);
  session_ = std::make_unique<AppSession>(setup, ui_, *this);
  // Coordinate files in conflict may have their points merged in the window.
  merge_window_ = std::make_unique<WxMergeWindow>(this, [this]() -> ReportLibrary& { return session_->Reports(); });
  Panes().SetMergeWindow(merge_window_.get());
  // Make geoid grid (and "/GEOID") asks in the "Set Geoid Area" dialog.
  geoid_dialog_ = std::make_unique<WxGeoidAreaDialog>(
      this, [this](GeoidAreaFields& fields) { return CutGeoidSubGrid(fields, Panes(), session_->GeoidPlaces()); });
  Panes().SetGeoidDialog(geoid_dialog_.get());

  BuildControls();
  LoadColumnWidths();
  SetClientSize(ConvertDialogToPixels(wxSize(kClientWidth, kClientHeight)));
  initial_client_size_ = GetClientSize();
  FitColumns();
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) Pane(side).TakeFirstWidth();
  SetMinSize(GetSize());
  session_->Start();
  ShowSortOrder();
  wxToolTip::Enable(true);
  wxEvtHandler::AddFilter(this);

  Bind(wxEVT_SIZE, &CTransferDlg::OnSize, this);
  Bind(wxEVT_CLOSE_WINDOW, &CTransferDlg::OnClose, this);
  Bind(
      wxEVT_TIMER, [this](wxTimerEvent&) { OnPictureTimer(); }, picture_timer_.GetId());
  Bind(wxEVT_BUTTON, &CTransferDlg::OnExit, this, kIdExit);
  BindCommand(kIdConnect, [](CTransferDlg& window) { window.Panes().Connect(); });
  BindCommand(kIdOptions, [](CTransferDlg& window) { window.RunOptions(); });
  BindCommand(kIdTransfer, [](CTransferDlg& window) { window.Transfer(); });
  BindCommand(kIdSendPoints, [](CTransferDlg& window) { window.SendPoints(); });
  BindCommand(kIdGeoid, [](CTransferDlg& window) { window.MakeGeoid(); });
  BindCommand(kIdFieldToFinish, [](CTransferDlg& window) { RunFieldCodeUpload(window.Panes()); });
  BindCommand(kIdDelete, [](CTransferDlg& window) { window.FileCommands().Delete(); });
  BindCommand(kIdRename, [](CTransferDlg& window) { window.FileCommands().Rename(); });
  BindCommand(kIdMakeDir, [](CTransferDlg& window) { window.FileCommands().MakeDir(); });
  BindCommand(kIdSetPath, [](CTransferDlg& window) { window.FileCommands().SetPath(); });
  Bind(wxEVT_LIST_ITEM_ACTIVATED, &CTransferDlg::OnListActivated, this);
  Bind(wxEVT_LIST_COL_CLICK, &CTransferDlg::OnColumnClick, this);
  BindKeys();
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) {
    Pane(side).SetListeners([this, side] { PaneInput(side); }, [this] { ScheduleTagSync(); });
    Pane(side).Bind(wxEVT_SET_FOCUS, [this, side](wxFocusEvent& event) {
      // The focus coming back as a command's windows close changes
      // nothing that command works with.
      if (running_commands_ == 0) Panes().FocusChanged(side);
      event.Skip();
    });
  }
}

CTransferDlg::~CTransferDlg() {
  wxEvtHandler::RemoveFilter(this);
  SaveColumnWidths();
  session_->Finish();
}

bool CTransferDlg::Busy() const {
  return running_commands_ > 0 || session_->Progress().TransferRunning() || ui_.ProgressOpen();
}

bool CTransferDlg::RunCommand(const std::function<void()>& command) {
  if (Busy()) return false;
  SyncTags();
  ++running_commands_;
  command();
  KeepKeyboardFocus();
  --running_commands_;
  SyncTags();
  return true;
}

void CTransferDlg::BindCommand(int id, void (*command)(CTransferDlg&)) {
  Bind(
      wxEVT_BUTTON, [this, command](wxCommandEvent&) { RunCommand([this, command] { command(*this); }); }, id);
}

int CTransferDlg::FilterEvent(wxEvent& event) {
  if (running_commands_ == 0 || event.GetEventCategory() != wxEVT_CATEGORY_USER_INPUT) return Event_Skip;
  auto* target = wxDynamicCast(event.GetEventObject(), wxWindow);
  // The command's own questions and the progress window take input as usual.
  if (target == nullptr || wxGetTopLevelParent(target) != this) return Event_Skip;
  return Event_Processed;
}

void CTransferDlg::PaneInput(PaneSide side) {
  if (Panes().FocusedPane() != side) Panes().FocusChanged(side);
}

void CTransferDlg::ScheduleTagSync() {
  if (tag_sync_pending_) return;
  tag_sync_pending_ = true;
  CallAfter([this] { SyncTags(); });
}

void CTransferDlg::SyncTags() {
  // A command works through the tags it started with (and those it adds,
  // such as a job's companion files); the selection is read again once it
  // is over.
  if (!tag_sync_pending_ || running_commands_ > 0) return;
  tag_sync_pending_ = false;
  Panes().SelectionChanged();
}

FileOperations& CTransferDlg::FileCommands() {
  if (!file_operations_) file_operations_ = std::make_unique<FileOperations>(Panes(), shared_name_text_);
  return *file_operations_;
}

void CTransferDlg::Transfer() {
  if (Panes().Counters().total_tagged == 0) {
    SetStatusLine(Tr("Status: No files tagged to transfer"));
    return;
  }
  TransferRun run(Panes(), &session_->Libraries().FileConverter());
  run.Start();
}

void CTransferDlg::SendPoints() {
  WxSendRangeDialog dialog(this, ui_, [this] { return Panes().LocalFolder(); });
  RunSendRange(Panes(), dialog, send_range_fields_);
}

void CTransferDlg::MakeGeoid() {
  MakeGeoidGrid(Panes(), *geoid_dialog_);
}

void CTransferDlg::Start() {
  if (started_) return;
  started_ = true;
  CallAfter([this] {
    bool job_ran = false;
    RunCommand([this, &job_ran] {
      Panes().Connect();
      job_ran = session_->RunCommandLine(command_line_);
    });
    if (job_ran) Close();
    if (after_start_) after_start_();
  });
}

void CTransferDlg::BuildControls() {
  // The two halves are mirror images: frames of one size, the panes and
  // lines at the same places within them. Created in tab order: the local
  // pane, the remote pane, then the buttons (frames and lines take no focus).
  Place(new wxStaticBox(this, 1268, WxTr("Local PC")), 7, 7, 206, 200, ResizeRule::kLeftHalf);
  Place(new wxStaticBox(this, 1269, WxTr("Remote")), 216, 7, 206, 200, ResizeRule::kRightHalf);

  AddLabel(kIdLocalTotalFiles, "Total Files:", 15, 18, 190, ResizeRule::kStretchLeft);
  AddLabel(kIdLocalBytes, "Bytes:", 15, 30, 190, ResizeRule::kStretchLeft);
  AddLabel(kIdLocalFree, "Bytes free:", 15, 42, 190, ResizeRule::kStretchLeft);
  AddLabel(kIdLocalPath, "Path:", 15, 53, 190, ResizeRule::kStretchLeft);
  AddLabel(kIdRemoteTotalFiles, "Total Files:", 224, 18, 190, ResizeRule::kStretchRight);
  AddLabel(kIdRemoteBytes, "Bytes:", 224, 30, 190, ResizeRule::kStretchRight);
  AddLabel(kIdRemoteFree, "Bytes free:", 224, 42, 190, ResizeRule::kStretchRight);
  AddLabel(kIdRemotePath, "Path:", 224, 53, 190, ResizeRule::kStretchRight);

  const FileTypeLookup types = DesktopFileTypeLookup();
  local_pane_ = new PaneListView(this, kIdLocalPane, wxDefaultPosition, wxDefaultSize, types);
  remote_pane_ = new PaneListView(this, kIdRemotePane, wxDefaultPosition, wxDefaultSize, types);
  wxImageList* images = NewPaneImageList();
  local_pane_->AssignImageList(images, wxIMAGE_LIST_SMALL);
  remote_pane_->SetImageList(images, wxIMAGE_LIST_SMALL);  // shared: the local pane owns it
  Place(local_pane_, 10, 65, 200, 139, ResizeRule::kLeftHalf);
  Place(remote_pane_, 219, 65, 200, 139, ResizeRule::kRightHalf);
  help_text_ = new wxStaticText(this, kIdNotConnectedHelp, wxString(), wxDefaultPosition, wxDefaultSize,
                                wxBORDER_SUNKEN | wxST_NO_AUTORESIZE);
  help_text_->Hide();
  Place(help_text_, 219, 65, 200, 139, ResizeRule::kRightHalf);

  // The counter line spreads over the window's width.
  AddLabel(kIdMaskLabel, "File:", 13, 210, 118, ResizeRule::kMoveDown);
  AddLabel(kIdTaggedCount, "Tagged Files:", 135, 210, 190, ResizeRule::kMoveDownCentre);
  AddLabel(kIdTaggedBytes, "Bytes:", 333, 210, 89, ResizeRule::kMoveDownRight);
  AddLabel(kIdStatusLine, "Status:", 13, 220, 409, ResizeRule::kMoveDownStretch);

  // The letter after "&" is the button's Alt+letter; no two share one.
  AddButton(kIdConnect, ButtonArt::kConnect, N_("&Connect"), N_("Connect to remote system"), 7, true);
  AddButton(kIdTransfer, ButtonArt::kTransfer, N_("&Transfer"), N_("Start file transfer"), 45, true);
  AddButton(kIdSetPath, ButtonArt::kSetPath, N_("&Set Path"), N_("Set local/remote path"), 83, true);
  AddButton(kIdMakeDir, ButtonArt::kMakeDir, N_("&Make dir"), N_("Make local/remote directory"), 121, true);
  AddButton(kIdDelete, ButtonArt::kDelete, N_("&Delete"), N_("Delete tagged files"), 159, true);
  AddButton(kIdRename, ButtonArt::kRename, N_("&Rename"), N_("Rename file"), 197, true);
  AddButton(kIdOptions, ButtonArt::kOptions, N_("&Options"), N_("Configuration options"), 235, true);
  AddButton(kIdGeoid, ButtonArt::kGeoid, N_("&Geoid"), N_("Make geoid grid"), 273, true);
  AddButton(kIdFieldToFinish, ButtonArt::kFieldToFinish, N_("&F2F conv"), N_("Convert Field-to-finish files"), 311,
            true);
  AddButton(kIdSendPoints, ButtonArt::kSendPoints, N_("Send &Pnts"), nullptr, 349, true);
  AddButton(kIdExit, ButtonArt::kExit, N_("E&xit"), N_("Exit Pelikon"), 387, true);
}

void CTransferDlg::Place(wxWindow* window, int x, int y, int width, int height, ResizeRule rule) {
  const wxPoint position = ConvertDialogToPixels(wxPoint(x, y));
  const wxSize size = ConvertDialogToPixels(wxSize(width, height));
  const ControlRect rect{position.x, position.y, size.x, size.y};
  window->SetSize(rect.x, rect.y, rect.width, rect.height);
  placed_.push_back({window, rect, rule});
}

wxStaticText* CTransferDlg::AddLabel(int id, const char* text, int x, int y, int width, ResizeRule rule) {
  auto* label = new wxStaticText(this, id, WxTr(text), wxDefaultPosition, wxDefaultSize, wxST_NO_AUTORESIZE);
  Place(label, x, y, width, 10, rule);
  return label;
}

void CTransferDlg::AddButton(int id, ButtonArt art, const char* caption, const char* tool_tip, int x, bool available) {
  auto* button = new wxBitmapButton(this, id, ButtonBitmap(art));
  button->SetBitmapDisabled(DisabledButtonBitmap(art));
  if (tool_tip) button->SetToolTip(WxTr(tool_tip));
  button->Enable(available);
  Place(button, x, kButtonRowY, 34, 31, ResizeRule::kMoveDown);
  const wxString text = WxTr(caption);
  wxString plain;
  const int mnemonic = wxControl::FindAccelIndex(text, &plain);
  if (mnemonic != wxNOT_FOUND) mnemonics_[wxToupper(plain[static_cast<size_t>(mnemonic)])] = id;
  auto* label = new wxStaticText(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize,
                                 wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  label->Enable(available);
  Place(label, x - 2, kCaptionY, 38, 10, ResizeRule::kMoveDown);
}

void CTransferDlg::FitColumns() {
  int missing = 0;
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    missing = std::max(missing, Pane(side).WidthForAllColumns() - Pane(side).GetSize().x);
  if (missing <= 0) return;
  // Each pane takes half of the extra width.
  const int room = wxDisplay(this).GetClientArea().width - (GetSize().x - GetClientSize().x);
  const int width = std::min(initial_client_size_.x + 2 * missing, std::max(room, initial_client_size_.x));
  SetClientSize(width, initial_client_size_.y);
  PlaceControls();
}

void CTransferDlg::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (IsIconized()) return;
  PlaceControls();
}

void CTransferDlg::PlaceControls() {
  if (placed_.empty()) return;
  const wxSize client = GetClientSize();
  const int dw = std::max(0, client.x - initial_client_size_.x);
  const int dh = std::max(0, client.y - initial_client_size_.y);
  for (const Placed& placed : placed_) {
    const ControlRect rect = ResizedRect(placed.initial, placed.rule, dw, dh);
    placed.window->SetSize(rect.x, rect.y, rect.width, rect.height);
  }
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) Pane(side).FollowWidth();
  Refresh();
}

bool CTransferDlg::PanesDrawn() const {
  for (const PaneListView* pane : {local_pane_, remote_pane_})
    if (pane->IsShown() && !pane->RowsDrawn()) return false;
  return true;
}

void CTransferDlg::SavePictureWhenDrawn(std::filesystem::path file, std::function<void(bool saved)> done,
                                        std::chrono::milliseconds patience) {
  picture_file_ = std::move(file);
  picture_done_ = std::move(done);
  picture_deadline_ = std::chrono::steady_clock::now() + patience;
  picture_timer_.Start(50);
}

void CTransferDlg::OnPictureTimer() {
  const bool drawn = PanesDrawn();
  if (!drawn && std::chrono::steady_clock::now() < picture_deadline_) return;
  picture_timer_.Stop();
  const bool saved = drawn && SaveWindowPicture(this, picture_file_);
  if (!drawn) Trace("the panes were not drawn in time for the picture %s", picture_file_.c_str());
  const std::function<void(bool)> done = std::move(picture_done_);
  picture_done_ = nullptr;
  if (done) done(saved);
}

void CTransferDlg::OnClose(wxCloseEvent& event) {
  if (Busy() && event.CanVeto()) {
    event.Veto();
    return;
  }
  Link().Close();
  if (IsModal()) {
    EndModal(wxID_OK);
  } else {
    Destroy();
  }
}

void CTransferDlg::OnExit(wxCommandEvent&) {
  if (Busy()) return;
  Close();
}

void CTransferDlg::OnListActivated(wxListEvent& event) {
  const PaneSide side = event.GetId() == kIdLocalPane ? PaneSide::kLocal : PaneSide::kRemote;
  if (event.GetIndex() < 0) return;
  const size_t row = static_cast<size_t>(event.GetIndex());
  RunCommand([this, side, row] {
    if (Panes().OpenEntry(side, row) == OpenResult::kTransferFiles) Transfer();
  });
}

void CTransferDlg::RunOptions() {
  TransferSettings& settings = session_->Settings();
  OptionTexts texts = OptionTextsFrom(settings);
  COptions dialog(
      this, texts, [this](int com) { return SerialDevicePath(session_->Store(), com); }, shared_name_text_);
  if (dialog.ShowModal() != wxID_OK) return;

  if (Link().Port()) Link().SetBaud(LenientInt32(texts["baud"]));
  TakeOptionTexts(texts, settings, session_->Libraries().DeviceConnectorAvailable(), ui_);
  session_->SettingsChanged();
  ShowSortOrder();
  Panes().ShowMask(false);
  Panes().FillLocal();
  Panes().Connect();
}

// ---- PanesView ----------------------------------------------------------

void CTransferDlg::ShowRows(PaneSide side) {
  Pane(side).ShowList(&Panes().List(side));
}

wxStaticText* CTransferDlg::Label(PaneLabel label) const {
  static constexpr std::array<int, 11> kIds = {kIdLocalTotalFiles,  kIdLocalBytes,  kIdLocalFree,  kIdLocalPath,
                                               kIdRemoteTotalFiles, kIdRemoteBytes, kIdRemoteFree, kIdRemotePath,
                                               kIdMaskLabel,        kIdTaggedCount, kIdTaggedBytes};
  return static_cast<wxStaticText*>(FindWindow(kIds[static_cast<size_t>(label)]));
}

void CTransferDlg::SetLabel(PaneLabel label, const std::string& text) {
  if (wxStaticText* control = Label(label)) control->SetLabelText(Wx(text));
}

wxString CTransferDlg::LabelText(PaneLabel label) const {
  const wxStaticText* control = Label(label);
  return control ? control->GetLabelText() : wxString();
}

void CTransferDlg::ShowRemoteList() {
  help_text_->Hide();
  remote_pane_->Show();
}

void CTransferDlg::EnableRemoteList(bool enabled) {
  remote_pane_->Enable(enabled);
}

void CTransferDlg::DeselectAll(PaneSide side) {
  Pane(side).DeselectAll();
}

std::vector<size_t> CTransferDlg::SelectedRows(PaneSide side) const {
  return (side == PaneSide::kLocal ? local_pane_ : remote_pane_)->SelectedRows();
}

// ---- MainWindowSurface --------------------------------------------------

void CTransferDlg::SetStatusLine(const std::string& text) {
  auto* status = static_cast<wxStaticText*>(FindWindow(kIdStatusLine));
  status->SetLabelText(Wx(text));
  status->Update();
}

std::string CTransferDlg::StatusLine() const {
  return static_cast<wxStaticText*>(FindWindow(kIdStatusLine))->GetLabelText().utf8_string();
}

void CTransferDlg::ShowHelpText(const std::string& text) {
  remote_pane_->ShowList(nullptr);
  remote_pane_->Hide();
  help_text_->SetLabelText(Wx(text));
  help_text_->Show();
}

bool CTransferDlg::HelpShown() const {
  return help_text_->IsShown();
}

// ---- Keyboard -----------------------------------------------------------

void CTransferDlg::BindKeys() {
  BindCommand(kIdRefresh, [](CTransferDlg& window) { window.Panes().Refresh(); });
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        // The pane is the one that had the focus when Backspace went down.
        const std::optional<PaneSide> side = FocusedPaneView();
        if (!side) return;
        RunCommand([this, side] { Panes().OpenParent(*side); });
      },
      kIdUpOneLevel);
  Bind(wxEVT_CHAR_HOOK, &CTransferDlg::OnCharHook, this);
}

void CTransferDlg::KeepKeyboardFocus() {
  // The progress window disables this one while it shows, which takes the
  // focus away; the keys go on working in the pane worked in before.
  const wxWindow* focus = FindFocus();
  if (focus != nullptr && focus != this) return;
  PaneListView& pane = Pane(Panes().FocusedPane());
  if (pane.IsShown() && pane.IsEnabled()) {
    pane.SetFocus();
  } else {
    local_pane_->SetFocus();
  }
}

std::optional<PaneSide> CTransferDlg::FocusedPaneView() const {
  // The list's rows are a window of their own inside the list.
  for (const wxWindow* window = FindFocus(); window != nullptr; window = window->GetParent()) {
    if (window == local_pane_) return PaneSide::kLocal;
    if (window == remote_pane_) return PaneSide::kRemote;
    if (window == this) break;
  }
  return std::nullopt;
}

int CTransferDlg::KeyCommand(const wxKeyEvent& event) const {
  const int modifiers = event.GetModifiers();
  const int key = event.GetKeyCode();
  if (modifiers == wxMOD_NONE) {
    switch (key) {
      case WXK_DELETE:
      case WXK_NUMPAD_DELETE:
        return kIdDelete;
      case WXK_F2:
        return kIdRename;
      case WXK_F5:
        return kIdRefresh;
      case WXK_F7:
        return kIdMakeDir;
      case WXK_BACK:
        return FocusedPaneView() ? static_cast<int>(kIdUpOneLevel) : static_cast<int>(wxID_NONE);
      default:
        return wxID_NONE;
    }
  }
  if (modifiers == wxMOD_ALT && key > 0 && key < WXK_START) {
    const auto found = mnemonics_.find(wxToupper(static_cast<wxChar>(key)));
    if (found == mnemonics_.end()) return wxID_NONE;
    const wxWindow* button = FindWindow(found->second);
    return button != nullptr && button->IsEnabled() ? found->second : wxID_NONE;
  }
  return wxID_NONE;
}

void CTransferDlg::OnCharHook(wxKeyEvent& event) {
  const int command = KeyCommand(event);
  if (command == wxID_NONE) {
    event.Skip();
    return;
  }
  // Runs as a click on the button would, once the key's own handling is over.
  CallAfter([this, command] {
    wxCommandEvent click(wxEVT_BUTTON, command);
    click.SetEventObject(this);
    ProcessWindowEvent(click);
  });
}

// ---- Columns ------------------------------------------------------------

namespace {

const char* ColumnWidthsSetting(PaneSide side) {
  return side == PaneSide::kLocal ? "local_columns" : "remote_columns";
}

}  // namespace

void CTransferDlg::LoadColumnWidths() {
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    if (const auto widths = ParseColumnWidths(session_->Store().GetValue(ColumnWidthsSetting(side))))
      Pane(side).SetUserColumnWidths(*widths);
}

void CTransferDlg::SaveColumnWidths() {
  // Only widths a user chose: the first widths follow the desktop's font.
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote})
    if (Pane(side).ColumnsDragged())
      session_->Store().SetValue(ColumnWidthsSetting(side), ColumnWidthsText(Pane(side).UserColumnWidths()));
}

void CTransferDlg::OnColumnClick(wxListEvent& event) {
  const int order = PaneListView::SortOrderOfColumn(event.GetColumn());
  if (order < 0) return;
  RunCommand([this, order] { Panes().SetSortOrder(order); });
  ShowSortOrder();
}

void CTransferDlg::ShowSortOrder() {
  for (const PaneSide side : {PaneSide::kLocal, PaneSide::kRemote}) Pane(side).ShowSortOrder(session_->Settings().sort);
}

}  // namespace pelikon
