// `CAviDlg`: the modeless progress window shown over the main window while
// a listing, transfer or conversion runs. The main window is disabled from
// creation until Dismiss(), so nothing else can be started meanwhile.
//
// Cancel (the button, Escape or the close box) only calls `on_cancel`; the
// window stays until its owner dismisses it, because the running operation
// still reports into it. Pressing Cancel again while `on_cancel` runs is
// ignored.
#pragma once

#include <functional>
#include <string>

#include <wx/gauge.h>
#include <wx/stattext.h>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class CAviDlg final : public PelikonDialog {
 public:
  // Shows itself at once. Create with new; end with Dismiss().
  CAviDlg(wxWindow* main_window, std::function<void()> on_cancel);

  // Re-enables the main window and destroys `window`, which becomes null.
  // Does nothing when `window` is null.
  static void Dismiss(CAviDlg*& window);

  // Shows `text` in the status line and repaints at once, since the caller
  // is usually busy until its next wait. The window widens for a text that
  // would not fit: no text is cut.
  void SetStatus(const std::string& text);
  // Names what is being moved, on the line above the bar (likewise whole).
  void SetSubject(const std::string& text);
  // Moves the bar; values outside 0..100 are clamped.
  void SetBar(int percent);

  wxString Status() const { return status_->GetLabelText(); }
  wxString Subject() const { return subject_->GetLabelText(); }
  // The status line's text fits in the width it has.
  bool StatusShownWhole() const { return status_->GetSize().x >= status_->GetBestSize().x; }
  int Bar() const { return bar_->GetValue(); }

 private:
  void OnCancel();
  void OnClose(wxCloseEvent& event);
  void ReleaseMainWindow();
  void ShowWhole(wxStaticText* line, const std::string& text);

  wxWindow* main_window_;
  bool disabled_main_window_ = false;
  std::function<void()> on_cancel_;
  bool cancelling_ = false;
  wxStaticText* subject_;
  wxGauge* bar_;
  wxStaticText* status_;
};

}  // namespace pelikon
