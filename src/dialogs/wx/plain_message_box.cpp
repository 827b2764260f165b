#include "dialogs/wx/plain_message_box.h"

#include <wx/msgdlg.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

void ShowPlainMessageBox(wxWindow* parent, const std::string& text) {
  if (parent == nullptr) parent = wxGetActiveWindow();
  const std::string caption = StrPrintf(Tr("%s Message"), "");
  wxMessageDialog box(parent, ToWx(text), ToWx(caption), wxOK | wxCENTRE);
  box.ShowModal();
}

}  // namespace pelikon
