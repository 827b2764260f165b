#include "gui/dialogs/options_dialog.h"

#include <wx/arrstr.h>

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

size_t IndexOf(COptions::Value value) {
  return static_cast<size_t>(value);
}

// Values that are one of the program's own words, and so are translated to
// be shown; the mask and the speed are shown as they are.
bool IsWord(COptions::Value value) {
  return value != COptions::Value::kMask && value != COptions::Value::kBaud;
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
  AddValueRow(grid, Value::kMask, N_("&File Mask..."));
  AddValueRow(grid, Value::kSort, N_("Di&rectory Sort..."));
  AddValueRow(grid, Value::kSpecial, N_("Di&splay Special Files"));
  AddValueRow(grid, Value::kOverwrite, N_("Confirm Over&write"));
  AddValueRow(grid, Value::kConfirmDelete, N_("Confirm &Delete"));
  AddValueRow(grid, Value::kBaud, N_("&Baud Rate..."));
  AddValueRow(grid, Value::kProtectRemote, N_("Protect &Remote Files"));
  AddValueRow(grid, Value::kArchive, N_("Archive RW5 Files"));
  LayOut(grid, MakeButtonRow(Buttons::kOkCancel));
  link_->SetFocus();
}

void COptions::AddValueRow(wxSizer* grid, Value value, const char* label) {
  ValueRow& row = rows_[IndexOf(value)];
  row.button = new wxButton(this, wxID_ANY, ToWx(Tr(label)));
  row.button->Bind(wxEVT_BUTTON, [this, value](wxCommandEvent&) { OnValueButton(value); });
  row.shown = new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, FromDIP(wxSize(120, -1)),
                               wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_END);
  ShowValue(value);
  grid->Add(row.button, wxSizerFlags().Expand());
  grid->Add(row.shown, wxSizerFlags().CentreVertical().Expand());
}

wxButton* COptions::ButtonFor(Value value) const {
  return rows_[IndexOf(value)].button;
}

wxString COptions::ShownValue(Value value) const {
  return rows_[IndexOf(value)].shown->GetLabelText();
}

std::string& COptions::TextOf(Value value) {
  static constexpr std::array<std::string OptionTexts::*, static_cast<size_t>(Value::kCount)> kTexts = {
      &OptionTexts::mask,           &OptionTexts::sort,  &OptionTexts::special,        &OptionTexts::overwrite,
      &OptionTexts::confirm_delete, &OptionTexts::speed, &OptionTexts::protect_remote, &OptionTexts::archive};
  return working_.*kTexts[IndexOf(value)];
}

void COptions::ShowValue(Value value) {
  const std::string& text = TextOf(value);
  rows_[IndexOf(value)].shown->SetLabelText(ToWx(IsWord(value) ? Tr(text) : text));
}

void COptions::OnValueButton(Value value) {
  switch (value) {
    case Value::kMask:
      EditMask();
      break;
    case Value::kSort: {
      CDirSort sort(this, working_.sort);
      sort.ShowModal();
      break;
    }
    case Value::kBaud: {
      CBaud baud(this, working_.speed);
      baud.ShowModal();
      break;
    }
    default:
      TextOf(value) = ToggledYesNo(TextOf(value));
      break;
  }
  ShowValue(value);
}

void COptions::EditMask() {
  std::string mask = working_.mask;
  CFileMask dialog(this, CFileMask::Form::kMask, mask);
  if (dialog.ShowModal() != wxID_OK) return;
  remembered_text_ = mask;
  if (MaskHasBlank(mask)) {
    ShowPlainMessageBox(this, Tr("Mask can not contain spaces"));
    return;
  }
  working_.mask = mask;
}

bool COptions::TransferDataFromWindow() {
  const int chosen = link_->GetSelection();
  if (chosen != wxNOT_FOUND) working_.link_index = chosen;
  texts_ = working_;
  return true;
}

}  // namespace pelikon
