#include "geoid/proj_data.h"

#include <cstdlib>
#include <system_error>

namespace pelikon {

namespace fs = std::filesystem;

std::vector<fs::path> ProjDataFolders() {
  std::vector<fs::path> candidates;
  for (const char* variable : {"PROJ_DATA", "PROJ_LIB"})
    if (const char* value = std::getenv(variable); value && *value) candidates.emplace_back(value);
  candidates.emplace_back("/usr/share/proj");
  candidates.emplace_back("/usr/local/share/proj");
  std::vector<fs::path> folders;
  std::error_code error;
  for (const fs::path& folder : candidates)
    if (fs::is_directory(folder, error)) folders.push_back(folder);
  return folders;
}

fs::path FindProjEgm96() {
  std::error_code error;
  for (const fs::path& folder : ProjDataFolders())
    for (const char* name : {"egm96_15.gtx", "us_nga_egm96_15.tif"})
      if (fs::is_regular_file(folder / name, error)) return folder / name;
  return {};
}

}  // namespace pelikon
