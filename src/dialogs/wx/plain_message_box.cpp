#include "dialogs/wx/plain_message_box.h"

#include <wx/msgdlg.h>

#include "dialogs/wx/wx_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

void ShowMessageBox(wxWindow* parent, const std::string& text, const std::string& caption, bool error_icon) {
  if (parent == nullptr) parent = wxGetActiveWindow();
  wxMessageDialog box(parent, ToWx(text), ToWx(caption),
                      wxOK | wxCENTRE | (error_icon ? wxICON_ERROR : wxICON_INFORMATION));
  box.ShowModal();
}

bool AskOkCancel(wxWindow* parent, const std::string& text, const std::string& caption) {
  if (parent == nullptr) parent = wxGetActiveWindow();
  wxMessageDialog box(parent, ToWx(text), ToWx(caption), wxOK | wxCANCEL | wxCENTRE | wxICON_QUESTION);
  return box.ShowModal() == wxID_OK;
}

void ShowPlainMessageBox(wxWindow* parent, const std::string& text) {
  ShowMessageBox(parent, text, StrPrintf(Tr("%s Message"), "Pelikon"), false);
}

}  // namespace pelikon
