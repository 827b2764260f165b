#include "gui/file_type_names.h"

#include <map>
#include <memory>

#include <wx/mimetype.h>

namespace pelikon {

FileTypeLookup DesktopFileTypeLookup() {
  auto cache = std::make_shared<std::map<std::string, std::string>>();
  return [cache](const std::string& extension) -> std::string {
    const auto known = cache->find(extension);
    if (known != cache->end()) return known->second;
    std::string name;
    std::unique_ptr<wxFileType> type(wxTheMimeTypesManager->GetFileTypeFromExtension(wxString::FromUTF8(extension)));
    wxString description;
    if (type && type->GetDescription(&description)) name = description.utf8_string();
    cache->emplace(extension, name);
    return name;
  };
}

}  // namespace pelikon
