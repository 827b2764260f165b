#include "platform/program_files.h"

#include <system_error>

namespace pelikon {

namespace {

bool IsFolder(const std::filesystem::path& path) {
  std::error_code error;
  return std::filesystem::is_directory(path, error);
}

// <prefix> when `program_folder` is <prefix>/bin, else empty.
std::filesystem::path InstallPrefix(const std::filesystem::path& program_folder) {
  const std::filesystem::path folder = program_folder.has_filename() ? program_folder : program_folder.parent_path();
  if (folder.filename() != "bin") return {};
  return folder.parent_path();
}

}  // namespace

std::vector<std::filesystem::path> PrivateFolders(const std::filesystem::path& program_folder) {
  std::vector<std::filesystem::path> folders;
  if (program_folder.empty()) return folders;
  folders.push_back(program_folder);
  const std::filesystem::path prefix = InstallPrefix(program_folder);
  if (!prefix.empty()) folders.push_back(prefix / "lib" / "pelikon");
  return folders;
}

std::filesystem::path FindPrivateFile(const std::filesystem::path& program_folder, std::string_view name) {
  for (const std::filesystem::path& folder : PrivateFolders(program_folder)) {
    std::error_code error;
    if (std::filesystem::exists(folder / name, error)) return folder / name;
  }
  return program_folder / name;
}

std::filesystem::path CatalogueFolder(const std::filesystem::path& program_folder) {
  const std::filesystem::path beside = program_folder / "locale";
  if (IsFolder(beside)) return beside;
  const std::filesystem::path prefix = InstallPrefix(program_folder);
  return prefix.empty() ? beside : prefix / "share" / "locale";
}

}  // namespace pelikon
