#include "gui/dialogs/yes_no_dialog.h"

#include <wx/artprov.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/ui.h"

namespace pelikon {

CYesNoDlg::CYesNoDlg(wxWindow* parent, const std::string& message, const std::string& caption, int flags)
    : PelikonDialog(parent, ToWx(caption)) {
  const int gap = FromDIP(10);
  auto* content = new wxBoxSizer(wxHORIZONTAL);
  const wxArtID icon = (flags & kQuestionIcon) != 0 ? wxART_QUESTION : wxART_WARNING;
  content->Add(new wxStaticBitmap(this, wxID_ANY, wxArtProvider::GetBitmap(icon, wxART_MESSAGE_BOX)),
               wxSizerFlags().Top().Border(wxRIGHT, gap));
  auto* text = new wxStaticText(this, wxID_ANY, wxString());
  text->SetLabelText(ToWx(message));
  text->Wrap(FromDIP(kMessageWidth));
  content->Add(text, wxSizerFlags(1).CentreVertical());

  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  if ((flags & kOfferRename) != 0) AddAnswer(row, kAnswerRename, N_("&Rename"));
  if ((flags & kOfferYesAll) != 0 && (flags & kOfferNoAll) != 0) {
    AddAnswer(row, kAnswerYesAll, N_("Yes All"));
    AddAnswer(row, kAnswerNoAll, N_("No All"));
  }
  AddAnswer(row, kAnswerYes, N_("&Yes"));
  AddAnswer(row, kAnswerNo, N_("&No"), wxID_NO);
  row->AddStretchSpacer();

  // Escape "presses" the No button; the close box answers No as well.
  SetEscapeId(wxID_NO);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent& event) {
    if (IsModal())
      EndModal(kAnswerNo);
    else
      event.Skip();
  });
  LayOut(content, row);
  // Enter presses the focused button: a question whose yes destroys
  // something starts on No.
  wxButton* preferred = ButtonFor((flags & kDefaultYes) != 0 ? kAnswerYes : kAnswerNo);
  preferred->SetDefault();
  preferred->SetFocus();
}

void CYesNoDlg::AddAnswer(wxSizer* row, int answer, const char* label, wxWindowID id) {
  auto* button = new wxButton(this, id, ToWx(Tr(label)));
  button->Bind(wxEVT_BUTTON, [this, answer](wxCommandEvent&) { EndDialog(answer); });
  if (!answers_.empty()) row->AddSpacer(FromDIP(6));
  row->Add(button);
  answers_.emplace_back(answer, button);
}

wxButton* CYesNoDlg::ButtonFor(int answer) const {
  for (const auto& [offered, button] : answers_)
    if (offered == answer) return button;
  return nullptr;
}

int CYesNoDlg::ShowModal() {
  const int answer = PelikonDialog::ShowModal();
  // Anything but an offered answer (the window torn down some other way)
  // reads as No.
  return ButtonFor(answer) != nullptr ? answer : kAnswerNo;
}

}  // namespace pelikon
