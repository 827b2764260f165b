#include "gui/dialogs/options_dialog.h"

#include <wx/arrstr.h>
#include <wx/dirdlg.h>

#include "dialogs/wx/plain_message_box.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialogs/baud_dialog.h"
#include "gui/dialogs/dir_sort_dialog.h"
#include "gui/dialogs/file_mask_dialog.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

wxArrayString LinkEntries(const std::function<std::string(int)>& device_for_com) {
  wxArrayString entries;
  entries.Add(ToWx(Tr("ActiveSync")));
  for (int com = 1; com <= kHighestComPort; ++com) {
    std::string entry = StrPrintf(Tr("COM%d"), com);
    const std::string device = device_for_com ? device_for_com(com) : std::string();
    if (!device.empty()) entry += "  (" + device + ")";
    entries.Add(ToWx(entry));
  }
  return entries;
}

// The rows, top to bottom, by the settings' stored names.
constexpr const char* kRowOrder[] = {"mask", "sort", "spcl", "ovrwt", "del", "baud", "remote", "archive"};

// Values that are one of the program's own words, and so are translated to
// be shown; the mask and the speed are shown as they are.
bool IsWord(const SettingDescription& setting) {
  return setting.type == SettingType::kFlag || setting.type == SettingType::kSortOrder;
}

}  // namespace

COptions::COptions(wxWindow* parent, OptionTexts& texts, std::function<std::string(int com)> device_for_com,
                   std::string& remembered_text)
    : PelikonDialog(parent, ToWx(Tr("Options"))),
      texts_(texts),
      working_(texts),
      remembered_text_(remembered_text),
      link_(new wxChoice(this, wxID_ANY, wxDefaultPosition, wxDefaultSize, LinkEntries(device_for_com))) {
  if (working_.link_index >= 0 && working_.link_index < static_cast<int>(link_->GetCount()))
    link_->SetSelection(working_.link_index);

  const int gap = FromDIP(6);
  auto* grid = new wxFlexGridSizer(2, gap, 2 * gap);
  grid->AddGrowableCol(1);
  grid->Add(new wxStaticText(this, wxID_ANY, ToWx(Tr("CO&M Port..."))), wxSizerFlags().CentreVertical());
  grid->Add(link_, wxSizerFlags().Expand());
  AddDeviceFolderRow(grid);
  rows_.reserve(std::size(kRowOrder));
  for (const char* name : kRowOrder) AddValueRow(grid, *FindSetting(name));
  LayOut(grid, MakeButtonRow(Buttons::kOkCancel));
  link_->SetFocus();
}

void COptions::AddValueRow(wxSizer* grid, const SettingDescription& setting) {
  ValueRow& row = rows_.emplace_back();
  row.setting = &setting;
  row.button = new wxButton(this, wxID_ANY, ToWx(Tr(setting.option_label)));
  const size_t index = rows_.size() - 1;
  row.button->Bind(wxEVT_BUTTON, [this, index](wxCommandEvent&) { OnValueButton(rows_[index]); });
  row.shown = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, FromDIP(wxSize(120, -1)),
                               wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
  ShowValue(row);
  grid->Add(row.button, wxSizerFlags().Expand());
  grid->Add(row.shown, wxSizerFlags().CentreVertical().Expand());
}

void COptions::AddDeviceFolderRow(wxSizer* grid) {
  // "Fo&lder": F and o are taken by the file mask and OK.
  device_button_ = new wxButton(this, wxID_ANY, ToWx(Tr("Choose Fo&lder...")));
  device_button_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { ChooseDeviceFolder(); });
  // Wider than the other values, and a path keeps both ends in sight when it
  // is cut; the whole text is in the tool tip.
  device_shown_ = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, FromDIP(wxSize(240, -1)),
                                   wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
  link_->Bind(wxEVT_CHOICE, [this](wxCommandEvent& event) {
    ShowDeviceFolder();
    event.Skip();
  });
  ShowDeviceFolder();
  grid->Add(device_button_, wxSizerFlags().Expand());
  grid->Add(device_shown_, wxSizerFlags().CentreVertical().Expand());
}

void COptions::ShowDeviceFolder() {
  const std::string shown = working_.device_folder.empty()
                                ? std::string(Tr("Media device mounted by the desktop (found at connect)"))
                                : working_.device_folder;
  device_shown_->SetLabelText(ToWx(shown));
  device_shown_->SetToolTip(ToWx(shown));
  const bool docked = link_->GetSelection() == kLinkIndexActiveSync;
  device_button_->Enable(docked);
  device_shown_->Enable(docked);
}

void COptions::ChooseDeviceFolder() {
  wxDirDialog chooser(this, ToWx(Tr("Select Device Folder")), ToWx(working_.device_folder),
                      wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (chooser.ShowModal() != wxID_OK) return;
  const std::string folder = FromWx(chooser.GetPath());
  if (!IsStorableDeviceFolder(folder)) {
    ShowPlainMessageBox(this, Tr("This folder name cannot be kept in the settings (too long or with a line break)."));
    return;
  }
  working_.device_folder = folder;
  ShowDeviceFolder();
}

const COptions::ValueRow* COptions::RowFor(std::string_view setting) const {
  for (const ValueRow& row : rows_)
    if (setting == row.setting->name) return &row;
  return nullptr;
}

wxButton* COptions::ButtonFor(std::string_view setting) const {
  const ValueRow* row = RowFor(setting);
  return row ? row->button : nullptr;
}

wxString COptions::ShownValue(std::string_view setting) const {
  const ValueRow* row = RowFor(setting);
  return row ? row->shown->GetLabelText() : wxString();
}

void COptions::ShowValue(const ValueRow& row) {
  const std::string& text = working_[row.setting->name];
  row.shown->SetLabelText(ToWx(IsWord(*row.setting) ? Tr(text) : text));
}

void COptions::OnValueButton(ValueRow& row) {
  std::string& text = working_[row.setting->name];
  switch (row.setting->type) {
    case SettingType::kText:
      EditMask();
      break;
    case SettingType::kSortOrder: {
      CDirSort sort(this, text);
      sort.ShowModal();
      break;
    }
    case SettingType::kBaud: {
      CBaud baud(this, text);
      baud.ShowModal();
      break;
    }
    default:
      text = ToggledYesNo(text);
      break;
  }
  ShowValue(row);
}

void COptions::EditMask() {
  std::string mask = working_["mask"];
  CFileMask dialog(this, CFileMask::Form::kMask, mask);
  if (dialog.ShowModal() != wxID_OK) return;
  remembered_text_ = mask;
  if (MaskHasBlank(mask)) {
    ShowPlainMessageBox(this, Tr("Mask can not contain spaces"));
    return;
  }
  working_["mask"] = mask;
}

bool COptions::TransferDataFromWindow() {
  const int chosen = link_->GetSelection();
  if (chosen != wxNOT_FOUND) working_.link_index = chosen;
  texts_ = working_;
  return true;
}

}  // namespace pelikon
