#include "dialogs/new_file_name.h"

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

// Blank, "." or "..", or holding a folder separator, a drive colon or a
// control character.
bool IsBareName(std::string_view name) {
  if (Trim(name).empty() || name == "." || name == "..") return false;
  for (const char c : name)
    if (c == '/' || c == '\\' || c == ':' || static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
  return true;
}

}  // namespace

std::string_view FileNameExtension(std::string_view name) {
  const size_t dot = name.rfind('.');
  return dot == std::string_view::npos ? std::string_view{} : name.substr(dot + 1);
}

const char* NewFileNameProblem(std::string_view new_name, std::string_view original_name) {
  if (!IsBareName(new_name)) return N_("Please specify new file name");
  if (!EqualsNoCase(FileNameExtension(new_name), FileNameExtension(original_name)))
    return N_("New file name should match original extension");
  return nullptr;
}

}  // namespace pelikon
