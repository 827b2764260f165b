#include "report/wx/print_file_suggestion.h"

#include "report/wx/gtk_print_data.h"

namespace pelikon {

void SuggestPrintFile(wxPrintData& data, const std::filesystem::path& pdf) {
#ifdef __WXGTK__
  wxGtkPrintNativeData* native = gtk_print::NativeData(data);
  if (native == nullptr || native->GetPrintConfig() == nullptr) return;
  using ToUri = char* (*)(const char*, const char*, void**);
  using Free = void (*)(void*);
  using Set = void (*)(void*, const char*, const char*);
  const auto to_uri = gtk_print::Find<ToUri>("g_filename_to_uri");
  const auto free = gtk_print::Find<Free>("g_free");
  const auto set = gtk_print::Find<Set>("gtk_print_settings_set");
  if (to_uri == nullptr || free == nullptr || set == nullptr) return;
  // A relative path has no URI: the desktop's suggestion stays.
  char* uri = to_uri(pdf.c_str(), nullptr, nullptr);
  if (uri == nullptr) return;
  // The print dialog's "Print to File" takes its file and format from these.
  set(native->GetPrintConfig(), "output-uri", uri);
  set(native->GetPrintConfig(), "output-file-format", "pdf");
  free(uri);
#else
  (void)data;
  (void)pdf;
#endif
}

}  // namespace pelikon
