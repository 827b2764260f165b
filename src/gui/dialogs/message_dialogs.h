// The two small windows that tell the user something: `CComError`, the
// error window "ERROR!", and `CMsgDlg`, the two-line window "MESSAGE". Both
// close with "&OK" (or Escape, or the close box). They make no sound; the
// caller plays the cue once they are closed.
#pragma once

#include <string>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class CComError final : public PelikonDialog {
 public:
  // `message` is shown as given.
  CComError(wxWindow* parent, const std::string& message);
};

class CMsgDlg final : public PelikonDialog {
 public:
  // Both lines are shown as given, centred.
  CMsgDlg(wxWindow* parent, const std::string& first, const std::string& second);
};

}  // namespace pelikon
