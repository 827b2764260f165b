#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/temp_folder.h"

namespace pelikon {

std::error_code PreparePrivateFolder(const std::filesystem::path& folder) {
  if (folder.empty()) return std::make_error_code(std::errc::invalid_argument);
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return {errno, std::generic_category()};
  struct stat info {};
  if (::lstat(folder.c_str(), &info) != 0) return {errno, std::generic_category()};
  if (!S_ISDIR(info.st_mode)) return std::make_error_code(std::errc::not_a_directory);
  if (info.st_uid != ::geteuid()) return std::make_error_code(std::errc::operation_not_permitted);
  if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0) return std::make_error_code(std::errc::permission_denied);
  return {};
}

std::filesystem::path TempFolder(std::error_code* error) {
  std::vector<std::filesystem::path> candidates;
  if (const char* own = std::getenv("PELIKON_TEMP_DIR"); own && *own) {
    candidates.emplace_back(own);
  } else {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
      candidates.push_back(std::filesystem::path(runtime) / "pelikon");
    candidates.push_back(std::filesystem::path("/tmp") / ("pelikon-" + std::to_string(::geteuid())));
    if (const char* home = std::getenv("HOME"); home && *home) {
      const std::filesystem::path cache = std::filesystem::path(home) / ".cache" / "pelikon";
      std::error_code ignored;
      std::filesystem::create_directories(cache, ignored);
      candidates.push_back(cache / "tmp");
    }
  }
  std::error_code last = std::make_error_code(std::errc::no_such_file_or_directory);
  for (const std::filesystem::path& candidate : candidates) {
    last = PreparePrivateFolder(candidate);
    if (!last) {
      if (error) error->clear();
      return candidate;
    }
  }
  if (error) *error = last;
  return {};
}

}  // namespace pelikon
