#include "dialogs/wx/text_input_window.h"

#include <wx/textctrl.h>

#include "dialogs/wx/ez_dialog.h"
#include "platform/catalogue.h"

namespace pelikon {

int RunTextInputWindow(wxWindow* parent, const std::string& title, const std::string& prompt, std::string& text) {
  EZDialog form;
  if (!form.Create(parent, FormFrame{.title = title})) return 0;
  const auto accept = [&](PopDialog&, const std::string&, int) {
    form.GetText("edit", text);
    form.End(1);
  };
  form.AddLabel("text", 60, kAlignLeft, prompt);
  form.RowBreak();
  form.AddEdit("edit", 60, text);
  form.RegisterCallback("edit", accept, kEventEnter);
  form.RowBreak();
  form.AddLabel("spacer", 40, kAlignLeft, "");
  form.AddButton("ok", 8, Tr("OK"), accept);
  form.AddButton("cancel", 8, Tr("Cancel"), [&](PopDialog&, const std::string&, int) { form.End(0); });
  form.LayOutAndShow(true, true);
  if (auto* edit = dynamic_cast<wxTextCtrl*>(form.FindControl("edit"))) edit->SelectAll();
  return form.RunModal() == 1 ? 1 : 0;
}

}  // namespace pelikon
