// What every window of the program shares: the application icon, a row of
// "&OK" / "&Cancel" buttons, a width that shows the whole title, and the
// rule for Enter.
//
// Enter accepts while the OK button itself has the focus, and wherever a
// dialog says it may (a dialog whose one job is a typed text accepts it
// from its field); elsewhere it does nothing, so that Enter in a list of
// options does not send them off half-chosen. Enter on another button
// presses that button.
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
  // Room (in DIPs) the title bar takes beside the title: icon, close box, padding.
  static constexpr int kTitleBarExtras = 96;

  PelikonDialog(wxWindow* parent, const wxString& title);

  // Whether Enter, pressed now, accepts the dialog.
  virtual bool EnterAccepts() const;

  wxButton* OkButton() const { return ok_; }          // null when the dialog has none
  wxButton* CancelButton() const { return cancel_; }  // null when the dialog has none
  // The client width the title needs to be shown whole in the title bar.
  int TitleWidth() const;

 protected:
  enum class Buttons { kOkCancel, kOkOnly, kCancelOnly };
  // The button row: "&OK" and "&Cancel" right-aligned, or one of them centred.
  wxSizer* MakeButtonRow(Buttons buttons);
  // Puts `content` above `buttons` with the usual margins and fits the
  // window, never narrower than its whole title.
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
