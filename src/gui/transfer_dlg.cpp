#include "gui/transfer_dlg.h"

#include <system_error>

#include <wx/bmpbuttn.h>
#include <wx/tooltip.h>

#include "app/command_line.h"
#include "app/link_setup.h"
#include "app/options/option_texts.h"
#include "gui/art.h"
#include "gui/dialogs/options_dialog.h"
#include "gui/dialogs/pelikon_dialog.h"
#include "gui/file_type_names.h"
#include "link/serial/serial_port.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// The window's own revision, shown in its title.
constexpr const char* kRevisionKeyword = "$Revision: 1.52 $";

std::string RevisionNumber() {
  const std::string keyword = kRevisionKeyword;
  const size_t start = keyword.find("vision: ");
  if (start == std::string::npos) return {};
  std::string number = keyword.substr(start + 8);
  if (!number.empty()) number.pop_back();  // the closing "$"
  return std::string(Trim(number));
}

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
      store_(*setup.settings),
      program_folder_(setup.program_folder),
      temp_folder_(setup.temp_folder),
      command_line_(setup.command_line),
      ui_(*this),
      sound_(setup.sound_output ? *setup.sound_output : SystemSoundOutput()),
      progress_(ui_, sound_) {
  // The settings' home exists from the first run on.
  store_.CreateKey();
  SetIcons(DialogIcons());
  SetTitle(Wx(StrPrintf("%s v%s", Tr("Veldra Software Pelikon"), RevisionNumber().c_str())));

  std::error_code error;
  const std::string start_folder = std::filesystem::current_path(error).string();
  settings_ = FirstRunSettings(program_folder_.string(), start_folder);
  libraries_.Bind(program_folder_);

  link_ = std::make_unique<RemoteLink>(
      ui_, progress_, LinkSettingsFrom(settings_, temp_folder_, start_folder), [this](int port_index, int baud) {
        // Every wait of the line keeps the windows alive.
        return OpenSerialLink(port_index, baud, SerialDevicePath(store_, port_index + 1),
                              SerialHooks{&DefaultClock(), &ui_});
      });
  panes_ = std::make_unique<PanesController>(settings_, *link_, progress_, ui_, *this, temp_folder_);
  progress_.OnConnectionDropped([this] { panes_->ShowConnectionStatus(); });

  BuildControls();
  SetClientSize(ConvertDialogToPixels(wxSize(kClientWidth, kClientHeight)));
  initial_client_size_ = GetClientSize();
  SetMinSize(GetSize());

  LoadTransferSettings(store_, settings_, libraries_.DeviceConnectorAvailable(), program_folder_.string(), ui_);
  sound_.SetOn(settings_.sound_on);
  link_->SetSettings(LinkSettingsFrom(settings_, temp_folder_, start_folder));
  link_->ShowNotConnectedHelp();

  if (!panes_->SetLocalFolder(settings_.last_folder) && !panes_->SetLocalFolder(start_folder))
    panes_->SetLocalFolder(program_folder_);
  panes_->FillLocal();
  panes_->ShowMask(true);
  panes_->UpdateCounters();
  wxToolTip::Enable(true);

  Bind(wxEVT_SIZE, &CTransferDlg::OnSize, this);
  Bind(wxEVT_CLOSE_WINDOW, &CTransferDlg::OnClose, this);
  Bind(wxEVT_BUTTON, &CTransferDlg::OnExit, this, kIdExit);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        if (!Busy()) panes_->Connect();
      },
      kIdConnect);
  Bind(
      wxEVT_BUTTON,
      [this](wxCommandEvent&) {
        if (!Busy()) RunOptions();
      },
      kIdOptions);
  Bind(wxEVT_LIST_ITEM_SELECTED, &CTransferDlg::OnListSelection, this);
  Bind(wxEVT_LIST_ITEM_DESELECTED, &CTransferDlg::OnListSelection, this);
  Bind(wxEVT_LIST_ITEM_ACTIVATED, &CTransferDlg::OnListActivated, this);
  local_pane_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    panes_->FocusChanged(PaneSide::kLocal);
    event.Skip();
  });
  remote_pane_->Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent& event) {
    panes_->FocusChanged(PaneSide::kRemote);
    event.Skip();
  });
}

CTransferDlg::~CTransferDlg() {
  SaveSettings();
}

void CTransferDlg::Start() {
  if (started_) return;
  started_ = true;
  CallAfter([this] {
    panes_->Connect();
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
  AddButton(kIdTransfer, ButtonArt::kTransfer, N_("Transfer"), N_("Start file transfer"), 45, false);
  AddButton(kIdSetPath, ButtonArt::kSetPath, N_("Set Path"), N_("Set local/remote path"), 83, false);
  AddButton(kIdMakeDir, ButtonArt::kMakeDir, N_("Make dir"), N_("Make local/remote directory"), 121, false);
  AddButton(kIdDelete, ButtonArt::kDelete, N_("Delete"), N_("Delete tagged files"), 159, false);
  AddButton(kIdRename, ButtonArt::kRename, N_("Rename"), N_("Rename file"), 197, false);
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
  link_->Close();
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
    panes_->SelectionChanged(side);
  });
}

void CTransferDlg::OnListActivated(wxListEvent& event) {
  if (Busy()) return;
  const PaneSide side = event.GetId() == kIdLocalPane ? PaneSide::kLocal : PaneSide::kRemote;
  if (event.GetIndex() < 0) return;
  // Files are moved by the Transfer command, which this window does not offer yet.
  panes_->OpenEntry(side, static_cast<size_t>(event.GetIndex()));
}

void CTransferDlg::RunOptions() {
  OptionTexts texts = OptionTextsFrom(settings_);
  COptions dialog(this, texts, [this](int com) { return SerialDevicePath(store_, com); });
  if (dialog.ShowModal() != wxID_OK) return;

  if (link_->Port()) link_->SetBaud(LenientInt32(texts.speed));
  TakeOptionTexts(texts, settings_, libraries_.DeviceConnectorAvailable(), ui_);
  link_->SetSettings(LinkSettingsFrom(settings_, temp_folder_, panes_->LocalFolder()));
  panes_->ShowMask(false);
  panes_->FillLocal();
  panes_->Connect();
}

void CTransferDlg::ProcessCommandLine() {
  const CommandLineRequest request = ParseCommandLine(command_line_);
  if (request.job == CommandLineJob::kNone) return;
  // Unattended jobs (batch transfers, geoid grids, code table conversion)
  // are not part of this build yet; say so rather than pretend.
  Trace("command line job %d requested; not available in this build", static_cast<int>(request.job));
  std::fprintf(stderr, "pelikon: %s\n", Tr("This unattended job is not available in this version."));
  Close();
}

void CTransferDlg::SaveSettings() {
  link_->Close();
  RememberLastFolder(settings_, panes_->LocalFolder().string());
  SaveTransferSettings(store_, settings_);
}

// ---- PanesView ----------------------------------------------------------

void CTransferDlg::ShowRows(PaneSide side) {
  Pane(side).ShowList(&panes_->List(side));
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
