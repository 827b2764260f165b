#include "gui/dialogs/dir_dialog.h"

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"

namespace pelikon {

CDir::CDir(wxWindow* parent, const std::string& prompt, bool connected)
    : SideDialog(parent, ToWx(Tr("Directory")), prompt, ToWx(Tr("Dir Name:")), std::string(), true, connected) {
  LayOutSides(nullptr);
}

}  // namespace pelikon
