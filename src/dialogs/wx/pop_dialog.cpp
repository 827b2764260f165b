#include "dialogs/wx/pop_dialog.h"

#include <algorithm>
#include <vector>

#include <wx/fontenum.h>
#include <wx/listctrl.h>
#include <wx/settings.h>

#include "dialogs/form_metrics.h"
#include "dialogs/tile.h"
#include "dialogs/wx/app_icons.h"
#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/wx_text.h"

namespace pelikon {

void OvToolTip::Set(wxWindow* control, const std::string& text) {
  if (control == nullptr) return;
  if (text.empty())
    control->UnsetToolTip();
  else
    control->SetToolTip(ToWx(text));
}

std::string OvToolTip::Text(const wxWindow* control) const {
  return control == nullptr ? std::string() : FromWx(control->GetToolTipText());
}

wxFont FormFont(int height, bool bold) {
  if (height <= 0) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (bold) font.MakeBold();
    return font;
  }
  std::vector<std::string> faces{FormFontFace(height)};
  for (std::string& similar : SimilarFontFaces(faces.front())) faces.push_back(std::move(similar));
  const auto installed = std::find_if(faces.begin(), faces.end(), [](const std::string& face) {
    return wxFontEnumerator::IsValidFacename(ToWx(face));
  });
  wxFontInfo info(wxSize(0, height));
  if (installed == faces.end())
    info.Family(FormFontIsFixedPitch(height) ? wxFONTFAMILY_TELETYPE : wxFONTFAMILY_SWISS);
  else
    info.FaceName(ToWx(*installed));
  if (bold) info.Bold();
  return wxFont(info);
}

PopDialog::PopDialog(EZDialog& form, wxWindow* parent, const wxString& title, long style)
    : wxDialog(parent, wxID_ANY, title, wxDefaultPosition, wxDefaultSize, style),
      form_(&form),
      events_(std::make_unique<PopDialogEvent>()) {
  const wxIconBundle icons = DialogIcons();
  if (!icons.IsEmpty()) SetIcons(icons);
  SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));

  // What a control reports becomes a tile event; what no tile wants goes
  // on to the dialog's own handling.
  const auto route = [this](const auto& type, int code) {
    Bind(type, [this, code](wxCommandEvent& event) {
      if (form_ == nullptr || !form_->OnTileEvent(event.GetId(), code)) event.Skip();
    });
  };
  route(wxEVT_BUTTON, kEventClick);
  route(wxEVT_CHECKBOX, kEventClick);
  route(wxEVT_RADIOBUTTON, kEventClick);
  route(wxEVT_TEXT_ENTER, kEventEnter);
  route(wxEVT_CHOICE, kEventItemChange);
  route(wxEVT_COMBOBOX, kEventItemChange);
  route(wxEVT_LISTBOX, kEventItemChange);
  route(wxEVT_SLIDER, kEventItemChange);
  route(wxEVT_LISTBOX_DCLICK, kEventDoubleClick);
  route(wxEVT_LIST_ITEM_SELECTED, kEventItemChange);
  route(wxEVT_LIST_ITEM_DESELECTED, kEventItemChange);
  route(wxEVT_LIST_ITEM_ACTIVATED, kEventDoubleClick);
  route(wxEVT_LIST_INSERT_ITEM, kEventInserted);
  Bind(wxEVT_LIST_COL_CLICK, [this](wxListEvent& event) {
    if (form_ != nullptr) form_->OnColumnClick(event.GetId(), event.GetColumn());
  });
  Bind(wxEVT_CHAR_HOOK, &PopDialog::OnCharHook, this);
  Bind(wxEVT_CLOSE_WINDOW, &PopDialog::OnClose, this);
  Bind(wxEVT_SIZE, &PopDialog::OnSize, this);
}

void PopDialog::SetEvents(std::unique_ptr<PopDialogEvent> events) {
  events_ = events ? std::move(events) : std::make_unique<PopDialogEvent>();
}

void PopDialog::OnCharHook(wxKeyEvent& event) {
  if (form_ == nullptr) {
    event.Skip();
    return;
  }
  if (event.GetKeyCode() == WXK_ESCAPE) {
    form_->OnEscape();  // a form with no way out ignores Escape
    return;
  }
  if (event.AltDown() && !event.ControlDown() && form_->OnAccelerator(event.GetKeyCode())) return;
  event.Skip();
}

void PopDialog::OnClose(wxCloseEvent& event) {
  // The close box is Escape: it goes through the form's way out, if any.
  const bool ended = form_ != nullptr && form_->OnEscape() && !form_->Running();
  if (ended) return;
  if (event.CanVeto()) {
    event.Veto();
    return;
  }
  // Closed for good: the run ends without an answer.
  if (form_ != nullptr) form_->End(form_->Result());
  Hide();
}

void PopDialog::OnSize(wxSizeEvent& event) {
  if (form_ != nullptr) form_->OnResized();
  event.Skip();
}

}  // namespace pelikon
