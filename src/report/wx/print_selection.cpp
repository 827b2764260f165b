#include "report/wx/print_selection.h"

#include <wx/printdlg.h>

#ifdef __WXGTK__
#include <dlfcn.h>

#include <wx/gtk/print.h>
#endif

namespace pelikon {

namespace {

#ifdef __WXGTK__
// GTK's value of a print that asks for the selection (GTK_PRINT_PAGES_SELECTION).
constexpr int kGtkPrintPagesSelection = 3;

// GTK is already loaded with the toolkit; its functions are found there.
template <class Function>
Function GtkFunction(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

wxGtkPrintNativeData* GtkPrintData(const wxPrintData& data) {
  return dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
}
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
      print_dialog != nullptr ? GtkPrintData(print_dialog->GetPrintDialogData().GetPrintData()) : nullptr;
  using SetProperties = void (*)(void*, const char*, ...);
  if (native != nullptr && native->GetPrintJob() != nullptr)
    if (const auto set = GtkFunction<SetProperties>("g_object_set"))
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
  if (wxGtkPrintNativeData* native = GtkPrintData(data.GetPrintData()))
    if (const auto print_pages = GtkFunction<PrintPages>("gtk_print_settings_get_print_pages"))
      return native->GetPrintConfig() != nullptr && print_pages(native->GetPrintConfig()) == kGtkPrintPagesSelection;
#endif
  return data.GetSelection();
}

}  // namespace pelikon
