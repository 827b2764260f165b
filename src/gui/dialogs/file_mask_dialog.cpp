#include "gui/dialogs/file_mask_dialog.h"

#include <wx/stattext.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

CFileMask::CFileMask(wxWindow* parent, Form form, std::string& text)
    : PelikonDialog(parent, ToWx(form == Form::kMask ? Tr("File Mask") : Tr("File Name to Rename to"))),
      text_(text),
      field_(new wxTextCtrl(this, wxID_ANY, ToWx(text), wxDefaultPosition, wxSize(FromDIP(260), -1))) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->Add(new wxStaticText(this, wxID_ANY, ToWx(form == Form::kMask ? Tr("Mask:") : Tr("Name:"))),
           wxSizerFlags().CentreVertical().Border(wxRIGHT, FromDIP(6)));
  row->Add(field_, wxSizerFlags(1).CentreVertical());
  LayOut(row, MakeButtonRow(Buttons::kOkCancel));
  field_->SetFocus();
  field_->SelectAll();
}

bool CFileMask::EnterAccepts() const {
  return FindFocus() == field_ || PelikonDialog::EnterAccepts();
}

bool CFileMask::TransferDataFromWindow() {
  const std::string entered = FromWx(field_->GetValue());
  if (!entered.empty()) text_ = entered;
  return true;
}

}  // namespace pelikon
