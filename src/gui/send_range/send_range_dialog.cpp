#include "gui/send_range/send_range_dialog.h"

#include <wx/sizer.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

SendRange::SendRange(wxWindow* parent, SendRangeFields& fields, Ui& ui, std::filesystem::path folder)
    : PelikonDialog(parent, ToWx(Tr("Send Range of Points"))),
      fields_(fields),
      ui_(ui),
      folder_(std::move(folder)),
      local_file_(new wxStaticText(this, wxID_ANY, wxString(), wxDefaultPosition, wxSize(FromDIP(300), -1),
                                   wxST_NO_AUTORESIZE)),
      select_(new wxButton(this, wxID_ANY, ToWx(Tr("&Select")))),
      remote_name_(
          new wxTextCtrl(this, wxID_ANY, ToWx(fields.remote_name), wxDefaultPosition, wxSize(FromDIP(300), -1))),
      range_(new wxTextCtrl(this, wxID_ANY, ToWx(fields.range), wxDefaultPosition, wxSize(FromDIP(300), -1))) {
  remote_name_->SetMaxLength(kSendRangeNameLimit);
  range_->SetMaxLength(kSendRangeRangeLimit);
  ShowLocalFile();

  auto* grid = new wxFlexGridSizer(2, FromDIP(6), FromDIP(8));
  grid->AddGrowableCol(1);
  const auto add = [&](wxWindow* label, wxWindow* control) {
    grid->Add(label, wxSizerFlags().CentreVertical());
    grid->Add(control, wxSizerFlags(1).Expand().CentreVertical());
  };
  add(select_, local_file_);
  add(new wxStaticText(this, wxID_ANY, ToWx(Tr("Remote File Name"))), remote_name_);
  add(new wxStaticText(this, wxID_ANY, ToWx(Tr("Point Range to Send"))), range_);
  LayOut(grid, MakeButtonRow(Buttons::kOkCancel));
  select_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSelect(); });
  (fields_.local_file.empty() ? select_ : static_cast<wxWindow*>(range_))->SetFocus();
}

void SendRange::ShowLocalFile() {
  local_file_->SetLabel(ToWx(Tr("Local File Name:") + std::string(" ") +
                             ShortenedPath(fields_.local_file.string(), kSendRangePathShown)));
}

void SendRange::OnSelect() {
  std::filesystem::path chosen;
  if (!ui_.AskExistingFile(Tr("Select a Local Coordinate File"), "*.crd", folder_, chosen)) return;
  // What was typed so far counts: an empty remote name takes the file's.
  fields_.remote_name = FromWx(remote_name_->GetValue());
  TakeLocalCoordinateFile(fields_, chosen, ui_);
  remote_name_->ChangeValue(ToWx(fields_.remote_name));
  range_->ChangeValue(ToWx(fields_.range));
  ShowLocalFile();
}

bool SendRange::TransferDataFromWindow() {
  SendRangeFields entered = fields_;
  entered.remote_name = FromWx(remote_name_->GetValue());
  entered.range = FromWx(range_->GetValue());
  fields_.remote_name = entered.remote_name;
  fields_.range = entered.range;
  const std::string missing = MissingSendRangeField(entered);
  if (missing.empty()) return true;
  ui_.ShowMessageBox(missing);
  return false;
}

bool WxSendRangeDialog::Ask(SendRangeFields& fields) {
  SendRange dialog(parent_, fields, ui_, folder_());
  return dialog.ShowModal() == wxID_OK;
}

}  // namespace pelikon
