#include "report/wx/print_selection.h"

#include <wx/printdlg.h>

#include "report/wx/gtk_print_data.h"

namespace pelikon {

namespace {

#ifdef __WXGTK__
// GTK's value of a print that asks for the selection (GTK_PRINT_PAGES_SELECTION).
constexpr int kGtkPrintPagesSelection = 3;
#endif

}  // namespace

PrintSelectionOffer::PrintSelectionOffer(wxPrintDialogData& data) {
  data.EnableSelection(true);
  Register();
}

PrintSelectionOffer::~PrintSelectionOffer() {
  Unregister();
}

int PrintSelectionOffer::Enter(wxDialog* dialog) {
#ifdef __WXGTK__
  // The print operation the dialog is about to run shows "Selection"
  // only when told that there is one.
  auto* print_dialog = dynamic_cast<wxPrintDialogBase*>(dialog);
  wxGtkPrintNativeData* native =
      print_dialog != nullptr ? gtk_print::NativeData(print_dialog->GetPrintDialogData().GetPrintData()) : nullptr;
  using SetProperties = void (*)(void*, const char*, ...);
  if (native != nullptr && native->GetPrintJob() != nullptr)
    if (const auto set = gtk_print::Find<SetProperties>("g_object_set"))
      set(native->GetPrintJob(), "support-selection", 1, "has-selection", 1, nullptr);
#else
  (void)dialog;
#endif
  return wxID_NONE;
}

bool PrintSelectionOffer::Chosen(wxPrinter& printer) {
  wxPrintDialogData& data = printer.GetPrintDialogData();
#ifdef __WXGTK__
  // GTK's choice is in its print settings; the toolkit copies it to the
  // dialog data only once printing is over.
  using PrintPages = int (*)(void*);
  if (wxGtkPrintNativeData* native = gtk_print::NativeData(data.GetPrintData()))
    if (const auto print_pages = gtk_print::Find<PrintPages>("gtk_print_settings_get_print_pages"))
      return native->GetPrintConfig() != nullptr && print_pages(native->GetPrintConfig()) == kGtkPrintPagesSelection;
#endif
  return data.GetSelection();
}

}  // namespace pelikon
