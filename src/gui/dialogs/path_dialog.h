// `CPath`: a folder path for one side. "Select" browses the local file
// system for a folder ("Select Folder", over this dialog), so it is
// offered only while "Local PC" is chosen.
// After Cancel the path is empty.
#pragma once

#include <string>

#include <wx/button.h>

#include "gui/dialogs/side_dialog.h"

namespace pelikon {

class CPath final : public SideDialog {
 public:
  // `prompt` is shown as given; `path` fills the field; `start_local` says
  // which pane had the focus.
  CPath(wxWindow* parent, const std::string& prompt, const std::string& path, bool start_local, bool connected);

  const std::string& Path() const { return EnteredText(); }
  wxButton* SelectButton() const { return select_; }

 private:
  void OnSelect();

  wxButton* select_;
};

}  // namespace pelikon
