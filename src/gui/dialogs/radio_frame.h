// A titled frame of radio buttons, one of which is checked: what a radio
// box shows, with the buttons kept off the frame's edge by the margin the
// rest of a dialog has. Items fill the columns top to bottom, `rows` to a
// column.
#pragma once

#include <vector>

#include <wx/arrstr.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>

namespace pelikon {

class RadioFrame {
 public:
  // Makes the frame and its buttons in `parent`; the first item is checked.
  RadioFrame(wxWindow* parent, const wxString& title, const wxArrayString& labels, int rows);

  // The frame with its buttons, for the dialog's layout (the layout owns it).
  wxSizer* Sizer() const { return sizer_; }
  wxStaticBox* Frame() const { return sizer_->GetStaticBox(); }
  unsigned GetCount() const { return static_cast<unsigned>(buttons_.size()); }
  wxString GetString(unsigned item) const { return buttons_[item]->GetLabel(); }
  wxRadioButton* Button(unsigned item) const { return buttons_[item]; }
  // The checked item, or -1.
  int GetSelection() const;
  // Checks `item` (and so unchecks the others); out of range does nothing.
  void SetSelection(int item);

 private:
  wxStaticBoxSizer* sizer_;
  std::vector<wxRadioButton*> buttons_;
};

}  // namespace pelikon
