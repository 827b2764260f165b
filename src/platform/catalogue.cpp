#include "platform/catalogue.h"

#include <libintl.h>

#include <clocale>

#include "platform/program_files.h"

namespace pelikon {

void BindCatalogue(const std::filesystem::path& locale_folder) {
  const std::filesystem::path folder = locale_folder.empty() ? CatalogueFolder(ProgramFolder()) : locale_folder;
  std::setlocale(LC_MESSAGES, "");
  std::setlocale(LC_CTYPE, "");
  ::bindtextdomain(kCatalogueDomain, folder.c_str());
  ::bind_textdomain_codeset(kCatalogueDomain, "UTF-8");
}

const char* Tr(const char* text) {
  if (!text || !*text) return text;  // the empty key is the catalogue's header
  return ::dgettext(kCatalogueDomain, text);
}

std::string Tr(const std::string& text) {
  return Tr(text.c_str());
}

}  // namespace pelikon
