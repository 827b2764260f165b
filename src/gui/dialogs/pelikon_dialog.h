// What every window of the program shares: the application icon, a row of
// "&OK" / "&Cancel" buttons, and the rule that only the OK button accepts.
//
// Enter accepts only while the OK button itself has the focus; in a field
// it does nothing, so a user typing a name and pressing Enter does not send
// a half-finished value off. Enter on another button presses that button.
// A click on OK always accepts. Accepting runs the dialog's
// TransferDataFromWindow(), which takes the values back, then ends the
// dialog with wxID_OK.
#pragma once

#include <wx/button.h>
#include <wx/dialog.h>
#include <wx/sizer.h>

namespace pelikon {

class PelikonDialog : public wxDialog {
 public:
  // Width (in DIPs) at which long message texts wrap.
  static constexpr int kMessageWidth = 420;

  PelikonDialog(wxWindow* parent, const wxString& title);

  // Whether Enter, pressed now, accepts the dialog.
  virtual bool EnterAccepts() const;

  wxButton* OkButton() const { return ok_; }          // null when the dialog has none
  wxButton* CancelButton() const { return cancel_; }  // null when the dialog has none

 protected:
  enum class Buttons { kOkCancel, kOkOnly, kCancelOnly };
  // The button row: "&OK" and "&Cancel" right-aligned, or one of them centred.
  wxSizer* MakeButtonRow(Buttons buttons);
  // Puts `content` above `buttons` with the usual margins and fits the window.
  void LayOut(wxSizer* content, wxSizer* buttons);
  // Takes the values back and ends the dialog with wxID_OK, unless
  // TransferDataFromWindow() refuses.
  void Accept();

 private:
  void OnCharHook(wxKeyEvent& event);

  wxButton* ok_ = nullptr;
  wxButton* cancel_ = nullptr;
};

}  // namespace pelikon
