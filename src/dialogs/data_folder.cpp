#include "dialogs/data_folder.h"

namespace pelikon {

namespace {

std::filesystem::path& Folder() {
  static std::filesystem::path folder;
  return folder;
}

}  // namespace

void SetDataFolder(const std::filesystem::path& folder) {
  Folder() = folder;
}

const std::filesystem::path& DataFolder() {
  return Folder();
}

}  // namespace pelikon
