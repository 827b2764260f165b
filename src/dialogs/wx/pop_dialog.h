// The host window of a run-time built form (EZDialog): a dialog with the
// program's icon, the button-face background, the form's font and the
// tool tips of its controls. It hands what its controls report, the keys
// it sees first and its close box to its form, which turns them into
// tile events.
//
// The form's resources are the program's own: the icon and the pictures
// come from the desktop theme (wxArtProvider); there is no separate
// resource library to load.
#pragma once

#include <memory>
#include <string>

#include <wx/dialog.h>
#include <wx/font.h>

namespace pelikon {

class EZDialog;

// Hooks around the moments of a form's life; each does nothing unless a
// caller overrides it.
class PopDialogEvent {
 public:
  virtual ~PopDialogEvent() = default;
  virtual void BeforeAddButton(EZDialog& /*form*/, const std::string& /*tile_name*/) {}
  virtual void AfterAddButton(EZDialog& /*form*/, const std::string& /*tile_name*/, int /*index*/) {}
  virtual void BeforeShow(EZDialog& /*form*/) {}
  virtual void AfterShow(EZDialog& /*form*/) {}
  virtual void BeforeRun(EZDialog& /*form*/) {}
  virtual void AfterRun(EZDialog& /*form*/, int /*result*/) {}
};

// One tool-tip text per control of a form.
class OvToolTip {
 public:
  // An empty text removes the control's tip.
  void Set(wxWindow* control, const std::string& text);
  std::string Text(const wxWindow* control) const;
};

// The form font of `height` pixels: a fixed-pitch face below 11 pixels,
// a proportional one otherwise, each replaced by the closest installed
// face when missing. Height 0 gives the desktop's dialog font. (Fonts
// here are Unicode; there is no code page to choose.)
wxFont FormFont(int height, bool bold);

class PopDialog : public wxDialog {
 public:
  PopDialog(EZDialog& form, wxWindow* parent, const wxString& title, long style);

  // The form this window belongs to; null once the form has let it go.
  EZDialog* Form() const { return form_; }
  void DetachForm() { form_ = nullptr; }

  OvToolTip& ToolTips() { return tool_tips_; }
  PopDialogEvent& Events() { return *events_; }
  void SetEvents(std::unique_ptr<PopDialogEvent> events);

 private:
  void OnCharHook(wxKeyEvent& event);
  void OnClose(wxCloseEvent& event);
  void OnSize(wxSizeEvent& event);

  EZDialog* form_;
  OvToolTip tool_tips_;
  std::unique_ptr<PopDialogEvent> events_;
};

}  // namespace pelikon
