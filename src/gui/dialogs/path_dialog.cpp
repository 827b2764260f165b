#include "gui/dialogs/path_dialog.h"

#include <wx/dirdlg.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

CPath::CPath(wxWindow* parent, const std::string& prompt, const std::string& path, bool start_local, bool connected)
    : SideDialog(parent, ToWx(Tr("Set Path")), prompt, ToWx(Tr("Path:")), path, start_local, connected),
      select_(new wxButton(this, wxID_ANY, ToWx(Tr("Select")))) {
  const auto follow_side = [this](wxCommandEvent&) { select_->Enable(LocalSide()->GetValue()); };
  LocalSide()->Bind(wxEVT_RADIOBUTTON, follow_side);
  RemoteSide()->Bind(wxEVT_RADIOBUTTON, follow_side);
  select_->Enable(LocalSide()->GetValue());
  select_->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnSelect(); });
  LayOutSides(select_);
}

void CPath::OnSelect() {
  // Over this dialog, which stays disabled while the picker shows.
  wxDirDialog browser(this, ToWx(Tr("Select Folder")), Field()->GetValue(), wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
  if (browser.ShowModal() == wxID_OK) Field()->SetValue(browser.GetPath());
}

}  // namespace pelikon
