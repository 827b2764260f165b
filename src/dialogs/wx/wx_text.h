// Texts between the program (UTF-8 std::string) and wxWidgets (wxString).
//
// A text that is not valid UTF-8 (a name from an older collector, say) is
// shown byte for byte as Latin-1 rather than as nothing.
#pragma once

#include <string>

#include <wx/string.h>

namespace pelikon {

inline wxString ToWx(const std::string& utf8) {
  const wxString text = wxString::FromUTF8(utf8.data(), utf8.size());
  if (text.empty() && !utf8.empty()) return wxString(utf8.data(), wxConvISO8859_1, utf8.size());
  return text;
}

inline std::string FromWx(const wxString& text) {
  return std::string(text.utf8_str());
}

}  // namespace pelikon
