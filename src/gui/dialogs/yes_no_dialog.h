// `CYesNoDlg`: a question with up to five answers in one row, left to
// right "&Rename", "Yes All", "No All", "&Yes", "&No"; the flags (see
// `QuestionFlags`) say which of the first three are offered and which icon
// shows. ShowModal() returns the `Answer` of the button pressed.
//
// The focus (and with it Enter) starts on "&No" unless the flags carry
// kDefaultYes. Closing the window or pressing Escape answers No: a question
// that is dismissed must never overwrite anything.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <wx/button.h>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class CYesNoDlg final : public PelikonDialog {
 public:
  // `message` and `caption` are shown as given.
  CYesNoDlg(wxWindow* parent, const std::string& message, const std::string& caption, int flags);

  int ShowModal() override;

  // The button that gives `answer`, or null when it is not offered.
  wxButton* ButtonFor(int answer) const;

 private:
  void AddAnswer(wxSizer* row, int answer, const char* label, wxWindowID id = wxID_ANY);

  std::vector<std::pair<int, wxButton*>> answers_;
};

}  // namespace pelikon
