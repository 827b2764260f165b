// GTK's side of the toolkit's print data, for the few things GTK's print
// dialog does that the toolkit does not ask of it. GTK is loaded with the
// toolkit; its functions are looked up there, so the report windows need
// neither GTK's headers nor a link of their own.
#pragma once

#ifdef __WXGTK__
#include <dlfcn.h>

#include <wx/gtk/print.h>
#include <wx/print.h>

namespace pelikon::gtk_print {

// The GTK function `name` as a `Function` pointer; null when GTK lacks it.
template <class Function>
Function Find(const char* name) {
  return reinterpret_cast<Function>(dlsym(RTLD_DEFAULT, name));
}

// The GTK print settings and print operation behind `data`; null when the
// toolkit prints some other way.
inline wxGtkPrintNativeData* NativeData(const wxPrintData& data) {
  return dynamic_cast<wxGtkPrintNativeData*>(data.GetNativeData());
}

}  // namespace pelikon::gtk_print
#endif
