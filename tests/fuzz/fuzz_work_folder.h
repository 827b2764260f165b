// A private folder for one fuzz run, removed when the process ends; the
// trace log goes into it rather than into the user's working folder.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace pelikon_fuzz {

// Makes the folder from `prefix` (such as "/tmp/pelikon-crd-fuzz") and
// points PELIKON_TEMP_DIR into it. Aborts when it cannot be made.
inline void UseWorkFolder(const std::string& prefix) {
  static std::filesystem::path folder;
  std::string pattern = prefix + "-XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  folder = pattern;
  ::setenv("PELIKON_TEMP_DIR", (folder / "work").c_str(), 1);
  std::atexit([] {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  });
}

}  // namespace pelikon_fuzz
