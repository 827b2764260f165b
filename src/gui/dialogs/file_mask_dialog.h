// `CFileMask`: one text field for the file mask (Options) or for the new
// name of a file (Rename). On acceptance a non-empty field replaces the
// caller's text; an empty one leaves it as it was. Enter in the field
// accepts like OK; Escape cancels.
#pragma once

#include <string>

#include <wx/textctrl.h>

#include "gui/dialogs/pelikon_dialog.h"

namespace pelikon {

class CFileMask final : public PelikonDialog {
 public:
  enum class Form { kMask, kRename };

  CFileMask(wxWindow* parent, Form form, std::string& text);

  wxTextCtrl* Field() const { return field_; }
  bool EnterAccepts() const override;

 protected:
  bool TransferDataFromWindow() override;

 private:
  std::string& text_;
  wxTextCtrl* field_;
};

}  // namespace pelikon
