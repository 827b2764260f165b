#include "gui/transfer_dlg.h"

#include <system_error>

#include <wx/bmpbuttn.h>
#include <wx/tooltip.h>

#include "app/command_line.h"
#include "app/options/option_texts.h"
#include "app/program_version.h"
#include "app/transfer/transfer_run.h"
#include "dialogs/wx/app_icons.h"
#include "gui/art.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/file_type_names.h"
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
      ui_(*this) {
  SetIcons(DialogIcons());
  SetTitle(Wx(ProgramTitle()));
  session_ = std::make_unique<AppSession>(setup, ui_, *this);

  BuildControls();
  SetClientSize(ConvertDialogToPixels(wxSize(kClientWidth, kClientHeight)));
  initial_client_size_ = GetClientSize();
  SetMinSize(GetSize());
  session_->Start();
  wxToolTip::Enable(true);

  Bind(wxEVT_SIZE, &CTransferDlg::OnSize, this);
  Bind(wxEVT_CLOSE_WINDOW, &CTransferDlg::OnClose, this);
  Bind(wxEVT_BUTTON, &CTransferDlg::OnExit, this, kIdExit);
  BindCommand(kIdConnect, [](CTransferDlg& window) { window.Panes().Connect(); });
  BindCommand(kIdOptions, [](CTransferDlg& window) { window.RunOptions(); });
  BindCommand(kIdTransfer, [](CTransferDlg& window) { window.Transfer(); });
  BindCommand(kIdDelete, [](CTransferDlg& window) { window.FileCommands().Delete(); });
  BindCommand(kIdRename, [](CTransferDlg& window) { window.FileCommands().Rename(); });
  BindCommand(kIdMakeDir, [](CTransferDlg& window) { window.FileCommands().MakeDir(); });
  BindCommand(kIdSetPath, [](CTransferDlg& window) { window.FileCommands().SetPath(); });
  Bind(wxEVT_LIST_ITEM_SELECTED, &CTransferDlg::OnListSelection, this);
  Bind(wxEVT_LIST_ITEM_DESELECTED, &CTransferDlg::OnListSelection, this);
  Bind(wxEVT_LIST_ITEM_ACTIVATED, &CTransferDlg::OnListActivated, this);
  local_pane_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    Panes().FocusChanged(PaneSide::kLocal);
    event.Skip();
  });
  remote_pane_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    Panes().FocusChanged(PaneSide::kRemote);
    event.Skip();
  });
}

CTransferDlg::~CTransferDlg() {
  session_->Finish();
}

void CTransferDlg::BindCommand(int id, void (*command)(CTransferDlg&)) {
  Bind(
      wxEVT_BUTTON,
      [this, command](wxCommandEvent&) {
        // One command at a time: the progress window's owner is still busy.
        if (!Busy()) command(*this);
      },
      id);
}

FileOperations& CTransferDlg::FileCommands() {
  if (!file_operations_) file_operations_ = std::make_unique<FileOperations>(Panes(), shared_name_text_);
  return *file_operations_;
}

void CTransferDlg::Transfer() {
  TransferRun run(Panes(), &session_->Libraries().FileConverter());
  run.Start();
}

void CTransferDlg::Start() {
  if (started_) return;
  started_ = true;
  CallAfter([this] {
    Panes().Connect();
    ProcessCommandLine();
    if (after_start_) after_start_();
  });
}

void CTransferDlg::BuildControls() {
  // Frames first, so that the controls placed over them stay on top.
  Place(new wxStaticBox(this, 1268, WxTr("Local PC")), 7, 7, 207, 200, ResizeRule::kLeftHalf);
  Place(new wxStaticBox(this, 1269, WxTr("Remote")), 216, 7, 206, 200, ResizeRule::kRightHalf);

  AddLabel(kIdLocalTotalFiles, "Total Files:", 15, 18, 190, ResizeRule::kStay);
  AddLabel(kIdLocalBytes, "Bytes:", 15, 30, 190, ResizeRule::kStay);
  AddLabel(kIdLocalFree, "Bytes free:", 15, 42, 190, ResizeRule::kStay);
  AddLabel(kIdLocalPath, "Path:", 15, 53, 190, ResizeRule::kStay);
  AddLabel(kIdRemoteTotalFiles, "Total Files:", 220, 18, 195, ResizeRule::kMoveRight);
  AddLabel(kIdRemoteBytes, "Bytes:", 220, 30, 195, ResizeRule::kMoveRight);
  AddLabel(kIdRemoteFree, "Bytes free:", 220, 42, 195, ResizeRule::kMoveRight);
  AddLabel(kIdRemotePath, "Path:", 220, 53, 195, ResizeRule::kMoveRight);

  const FileTypeLookup types = DesktopFileTypeLookup();
  local_pane_ = new PaneListView(this, kIdLocalPane, wxDefaultPosition, wxDefaultSize, types);
  remote_pane_ = new PaneListView(this, kIdRemotePane, wxDefaultPosition, wxDefaultSize, types);
  wxImageList* images = NewPaneImageList();
  local_pane_->AssignImageList(images, wxIMAGE_LIST_SMALL);
  remote_pane_->SetImageList(images, wxIMAGE_LIST_SMALL);  // shared: the local pane owns it
  Place(local_pane_, 7, 66, 204, 140, ResizeRule::kLeftHalf);
  Place(remote_pane_, 218, 65, 204, 141, ResizeRule::kRightHalf);
  help_text_ = new wxStaticText(this, kIdNotConnectedHelp, wxString(), wxDefaultPosition, wxDefaultSize,
                                wxBORDER_SUNKEN | wxST_NO_AUTORESIZE);
  help_text_->Hide();
  Place(help_text_, 234, 73, 188, 132, ResizeRule::kRightHalf);

  AddLabel(kIdMaskLabel, "File:", 13, 210, 118, ResizeRule::kMoveDown);
  AddLabel(kIdTaggedCount, "Tagged Files:", 135, 210, 190, ResizeRule::kMoveDown);
  AddLabel(kIdTaggedBytes, "Bytes:", 333, 210, 89, ResizeRule::kMoveDown);
  AddLabel(kIdStatusLine, "Status:", 13, 220, 409, ResizeRule::kMoveDown);

  AddButton(kIdConnect, ButtonArt::kConnect, N_("Connect"), N_("Connect to remote system"), 7, true);
  AddButton(kIdTransfer, ButtonArt::kTransfer, N_("Transfer"), N_("Start file transfer"), 45, true);
  AddButton(kIdSetPath, ButtonArt::kSetPath, N_("Set Path"), N_("Set local/remote path"), 83, true);
  AddButton(kIdMakeDir, ButtonArt::kMakeDir, N_("Make dir"), N_("Make local/remote directory"), 121, true);
  AddButton(kIdDelete, ButtonArt::kDelete, N_("Delete"), N_("Delete tagged files"), 159, true);
  AddButton(kIdRename, ButtonArt::kRename, N_("Rename"), N_("Rename file"), 197, true);
  AddButton(kIdOptions, ButtonArt::kOptions, N_("Options"), N_("Configuration options"), 235, true);
  AddButton(kIdGeoid, ButtonArt::kGeoid, N_("Geoid"), N_("Make geoid grid"), 273, false);
  AddButton(kIdFieldToFinish, ButtonArt::kFieldToFinish, N_("F2F conv"), N_("Convert Field-to-finish files"), 311,
            false);
  AddButton(kIdSendPoints, ButtonArt::kSendPoints, N_("Send Pnts"), nullptr, 349, false);
  AddButton(kIdExit, ButtonArt::kExit, N_("Exit"), N_("Exit Pelikon"), 387, true);
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
  if (tool_tip) button->SetToolTip(WxTr(tool_tip));
  button->Enable(available);
  Place(button, x, kButtonRowY, 34, 31, ResizeRule::kMoveDown);
  auto* label = new wxStaticText(this, wxID_ANY, WxTr(caption), wxDefaultPosition, wxDefaultSize,
                                 wxALIGN_CENTRE_HORIZONTAL | wxST_NO_AUTORESIZE);
  label->Enable(available);
  Place(label, x - 2, kCaptionY, 38, 10, ResizeRule::kMoveDown);
}

void CTransferDlg::OnSize(wxSizeEvent& event) {
  event.Skip();
  if (IsIconized() || placed_.empty()) return;
  const wxSize client = GetClientSize();
  const int dw = std::max(0, client.x - initial_client_size_.x);
  const int dh = std::max(0, client.y - initial_client_size_.y);
  for (const Placed& placed : placed_) {
    const ControlRect rect = ResizedRect(placed.initial, placed.rule, dw, dh);
    placed.window->SetSize(rect.x, rect.y, rect.width, rect.height);
  }
  Refresh();
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

void CTransferDlg::OnListSelection(wxListEvent& event) {
  const PaneSide side = event.GetId() == kIdLocalPane ? PaneSide::kLocal : PaneSide::kRemote;
  // A range selection arrives as one event per row: tag once, after the last.
  bool& pending = selection_update_pending_[side == PaneSide::kLocal ? 0 : 1];
  if (pending) return;
  pending = true;
  CallAfter([this, side, &pending] {
    pending = false;
    Panes().SelectionChanged(side);
  });
}

void CTransferDlg::OnListActivated(wxListEvent& event) {
  if (Busy()) return;
  const PaneSide side = event.GetId() == kIdLocalPane ? PaneSide::kLocal : PaneSide::kRemote;
  if (event.GetIndex() < 0) return;
  if (Panes().OpenEntry(side, static_cast<size_t>(event.GetIndex())) == OpenResult::kTransferFiles) Transfer();
}

void CTransferDlg::RunOptions() {
  TransferSettings& settings = session_->Settings();
  OptionTexts texts = OptionTextsFrom(settings);
  COptions dialog(this, texts, [this](int com) { return SerialDevicePath(session_->Store(), com); });
  if (dialog.ShowModal() != wxID_OK) return;
  shared_name_text_ = texts["mask"];

  if (Link().Port()) Link().SetBaud(LenientInt32(texts["baud"]));
  TakeOptionTexts(texts, settings, session_->Libraries().DeviceConnectorAvailable(), ui_);
  session_->SettingsChanged();
  Panes().ShowMask(false);
  Panes().FillLocal();
  Panes().Connect();
}

void CTransferDlg::ProcessCommandLine() {
  if (session_->RunCommandLine(command_line_)) Close();
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
  remote_pane_->ResetNameColumn();
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

}  // namespace pelikon
