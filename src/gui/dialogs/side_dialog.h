// What the folder dialog of Make dir and the path dialog of Set Path share:
// the caller's prompt, one labelled field, and the choice between
// "Local PC" and "Remote Machine" — the remote side only while connected.
//
// Enter accepts like OK while the field or a side has the focus (on a
// button it presses that button).
//
// The results are read after the dialog closes: the field's text (empty
// unless accepted) and whether the local side was chosen.
#pragma once

#include <string>

#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/textctrl.h>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class SideDialog : public PelikonDialog {
 public:
  wxTextCtrl* Field() const { return field_; }
  wxRadioButton* LocalSide() const { return local_; }
  wxRadioButton* RemoteSide() const { return remote_; }

  bool LocalChosen() const { return local_chosen_; }
  bool EnterAccepts() const override;

 protected:
  // `prompt` is shown as given. The remote side starts checked only when
  // asked for and connected.
  SideDialog(wxWindow* parent, const wxString& title, const std::string& prompt, const wxString& field_label,
             const std::string& field_text, bool start_local, bool connected);

  // Lays the window out; `beside_field` (may be null) goes to the right of the field.
  void LayOutSides(wxWindow* beside_field);

  const std::string& EnteredText() const { return entered_; }
  bool TransferDataFromWindow() override;

 private:
  wxString prompt_;
  wxString field_label_;
  wxTextCtrl* field_;
  wxRadioButton* local_;
  wxRadioButton* remote_;
  std::string entered_;
  bool local_chosen_;
};

}  // namespace pelikon
