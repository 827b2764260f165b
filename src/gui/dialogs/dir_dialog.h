// `CDir`: the name of a folder to create and the side to create it on.
// After Cancel the name is empty.
#pragma once

#include <string>

#include "gui/dialogs/side_dialog.h"

namespace pelikon {

class CDir final : public SideDialog {
 public:
  // `prompt` is shown as given (the caller looks it up in the catalogue).
  CDir(wxWindow* parent, const std::string& prompt, bool connected);

  const std::string& Name() const { return EnteredText(); }
};

}  // namespace pelikon
