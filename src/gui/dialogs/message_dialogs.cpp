#include "gui/dialogs/message_dialogs.h"

#include <wx/artprov.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

namespace {

wxStaticText* ShownAsGiven(wxWindow* parent, const std::string& text, long style = 0) {
  auto* label = new wxStaticText(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, style);
  label->SetLabelText(ToWx(text));
  label->Wrap(parent->FromDIP(PelikonDialog::kMessageWidth));
  return label;
}

}  // namespace

CComError::CComError(wxWindow* parent, const std::string& message) : PelikonDialog(parent, ToWx(Tr("ERROR!"))) {
  auto* content = new wxBoxSizer(wxHORIZONTAL);
  content->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(wxART_ERROR, wxART_MESSAGE_BOX)),
               wxSizerFlags().Top().Border(wxRIGHT, FromDIP(10)));
  content->Add(ShownAsGiven(this, message), wxSizerFlags(1).CentreVertical());
  LayOut(content, MakeButtonRow(Buttons::kOkOnly));
  OkButton()->SetFocus();
}

CMsgDlg::CMsgDlg(wxWindow* parent, const std::string& first, const std::string& second)
    : PelikonDialog(parent, ToWx(Tr("MESSAGE"))) {
  auto* content = new wxBoxSizer(wxVERTICAL);
  content->SetMinSize(FromDIP(wxSize(220, -1)));
  for (const std::string* line : {&first, &second})
    content->Add(ShownAsGiven(this, *line, wxALIGN_CENTRE_HORIZONTAL),
                 wxSizerFlags().CentreHorizontal().Border(wxBOTTOM, FromDIP(4)));
  LayOut(content, MakeButtonRow(Buttons::kOkOnly));
  OkButton()->SetFocus();
}

}  // namespace pelikon
