#include "gui/dialogs/side_dialog.h"

#include <wx/stattext.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

SideDialog::SideDialog(wxWindow* parent, const wxString& title, const std::string& prompt, const wxString& field_label,
                       const std::string& field_text, bool start_local, bool connected)
    : PelikonDialog(parent, title),
      prompt_(ToWx(prompt)),
      field_label_(field_label),
      field_(new wxTextCtrl(this, wxID_ANY, ToWx(field_text), wxDefaultPosition, wxSize(FromDIP(280), -1))),
      local_(new wxRadioButton(this, wxID_ANY, ToWx(Tr("Local PC")), wxDefaultPosition, wxDefaultSize, wxRB_GROUP)),
      remote_(new wxRadioButton(this, wxID_ANY, ToWx(Tr("Remote Machine")))),
      local_chosen_(start_local || !connected) {
  // Without a link the remote side cannot be worked on, so it is never the
  // one that comes back.
  remote_->Enable(connected);
  if (local_chosen_)
    local_->SetValue(true);
  else
    remote_->SetValue(true);
}

void SideDialog::LayOutSides(wxWindow* beside_field) {
  const int gap = FromDIP(6);
  auto* content = new wxBoxSizer(wxVERTICAL);
  auto* prompt = new wxStaticText(this, wxID_ANY, wxString());
  prompt->SetLabelText(prompt_);
  content->Add(prompt, wxSizerFlags().Border(wxBOTTOM, gap));

  auto* field_row = new wxBoxSizer(wxHORIZONTAL);
  field_row->Add(new wxStaticText(this, wxID_ANY, field_label_), wxSizerFlags().CentreVertical().Border(wxRIGHT, gap));
  field_row->Add(field_, wxSizerFlags(1).CentreVertical());
  if (beside_field != nullptr) field_row->Add(beside_field, wxSizerFlags().CentreVertical().Border(wxLEFT, gap));
  content->Add(field_row, wxSizerFlags().Expand().Border(wxBOTTOM, gap));

  auto* sides = new wxBoxSizer(wxHORIZONTAL);
  sides->Add(local_, wxSizerFlags().Border(wxRIGHT, 3 * gap));
  sides->Add(remote_);
  content->Add(sides);

  LayOut(content, MakeButtonRow(Buttons::kOkCancel));
  field_->SetFocus();
}

bool SideDialog::EnterAccepts() const {
  const wxWindow* focus = FindFocus();
  return focus == field_ || focus == local_ || focus == remote_ || PelikonDialog::EnterAccepts();
}

bool SideDialog::TransferDataFromWindow() {
  entered_ = FromWx(field_->GetValue());
  local_chosen_ = local_->GetValue();
  return true;
}

}  // namespace pelikon
