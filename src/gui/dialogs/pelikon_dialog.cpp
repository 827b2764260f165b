#include "gui/dialogs/pelikon_dialog.h"

#include <wx/anybutton.h>

#include "dialogs/wx/app_icons.h"
#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

PelikonDialog::PelikonDialog(wxWindow* parent, const wxString& title)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE) {
  const wxIconBundle icons = DialogIcons();
  if (!icons.IsEmpty()) SetIcons(icons);
  Bind(wxEVT_CHAR_HOOK, &PelikonDialog::OnCharHook, this);
}

bool PelikonDialog::EnterAccepts() const {
  return ok_ != nullptr && FindFocus() == ok_;
}

wxSizer* PelikonDialog::MakeButtonRow(Buttons buttons) {
  auto* row = new wxBoxSizer(wxHORIZONTAL);
  row->AddStretchSpacer();
  if (buttons != Buttons::kCancelOnly) {
    // Deliberately never the default button: Enter elsewhere must not reach it.
    ok_ = new wxButton(this, wxID_OK, ToWx(Tr("&OK")));
    ok_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Accept(); });
    row->Add(ok_);
  }
  if (buttons != Buttons::kOkOnly) {
    cancel_ = new wxButton(this, wxID_CANCEL, ToWx(Tr("&Cancel")));
    if (ok_ != nullptr) row->AddSpacer(FromDIP(8));
    row->Add(cancel_);
  }
  if (buttons != Buttons::kOkCancel) row->AddStretchSpacer();  // a lone button sits in the middle
  return row;
}

int PelikonDialog::TitleWidth() const {
  // Title bars set their text larger and bold; beside it sit the window
  // icon and the close box.
  const wxFont title_font = GetFont().Scaled(1.2f).Bold();
  int width = 0;
  GetTextExtent(GetTitle(), &width, nullptr, nullptr, nullptr, &title_font);
  return width + FromDIP(kTitleBarExtras);
}

void PelikonDialog::LayOut(wxSizer* content, wxSizer* buttons) {
  auto* all = new wxBoxSizer(wxVERTICAL);
  // A window narrower than its title shows it cut ("Selec... d Rate").
  all->SetMinSize(wxSize(TitleWidth(), -1));
  all->Add(content, wxSizerFlags(1).Expand().Border(wxALL, FromDIP(10)));
  if (buttons != nullptr) all->Add(buttons, wxSizerFlags().Expand().Border(wxLEFT | wxRIGHT | wxBOTTOM, FromDIP(10)));
  SetSizerAndFit(all);
  CentreOnParent();
}

void PelikonDialog::Accept() {
  if (Validate() && TransferDataFromWindow()) EndDialog(wxID_OK);
}

void PelikonDialog::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key != WXK_RETURN && key != WXK_NUMPAD_ENTER) {
    event.Skip();  // Escape and the rest keep their usual meaning
    return;
  }
  if (EnterAccepts()) {
    Accept();
    return;
  }
  if (dynamic_cast<wxAnyButton*>(FindFocus()) != nullptr) event.Skip();  // Enter presses the focused button
  // Anywhere else Enter is swallowed.
}

}  // namespace pelikon
