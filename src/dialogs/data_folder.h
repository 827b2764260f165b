// The program-wide data folder: where "dialogs.ini" and the other data
// files of the program live. Empty, meaning the current folder, until the
// program sets it. Read and set on the user-interface thread only.
#pragma once

#include <filesystem>

namespace pelikon {

void SetDataFolder(const std::filesystem::path& folder);
const std::filesystem::path& DataFolder();

}  // namespace pelikon
