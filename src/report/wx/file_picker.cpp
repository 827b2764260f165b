#include "report/wx/file_picker.h"

#include <system_error>

#include <wx/filedlg.h>

#include "dialogs/wx/wx_text.h"

namespace pelikon {

std::filesystem::path PickFileOnDesktop(wxWindow* parent, const FilePick& pick) {
  std::error_code error;
  const bool is_folder = std::filesystem::is_directory(pick.suggested, error);
  const std::filesystem::path folder = is_folder ? pick.suggested : pick.suggested.parent_path();
  const std::string name = is_folder ? std::string() : pick.suggested.filename().string();
  const std::string wildcard = pick.extension.empty() ? "*" : "*." + pick.extension;
  const long style = pick.save ? long{wxFD_SAVE | wxFD_OVERWRITE_PROMPT} : long{wxFD_OPEN | wxFD_FILE_MUST_EXIST};
  wxFileDialog picker(parent, ToWx(pick.title), ToWx(folder.string()), ToWx(name), ToWx(wildcard), style);
  if (picker.ShowModal() != wxID_OK) return {};
  std::filesystem::path chosen(FromWx(picker.GetPath()));
  if (pick.save && !pick.extension.empty() && !chosen.has_extension()) chosen += "." + pick.extension;
  return chosen;
}

}  // namespace pelikon
