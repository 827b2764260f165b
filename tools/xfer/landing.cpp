#include "landing.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/trace.h"

namespace pelikon_tools {

namespace {

// Moves `from` to `to` unless `to` exists: 0, or the errno (EEXIST when a
// file is there). File systems without the no-replace rename get a link and
// an unlink, which refuse an existing name just the same.
int MoveWithoutReplacing(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return errno;
  if (::link(from.c_str(), to.c_str()) != 0) return errno;
  ::unlink(from.c_str());
  return 0;
}

}  // namespace

Landing::~Landing() {
  if (staging_.empty()) return;
  std::error_code ignored;
  std::filesystem::remove_all(staging_, ignored);
}

bool Landing::Prepare(const std::filesystem::path& folder, std::string& error) {
  folder_ = folder;
  std::string pattern = (folder / ".xfer-receiving-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    error = std::strerror(errno);
    return false;
  }
  staging_ = pattern;
  return true;
}

Landing::Outcome Landing::Finish() {
  Outcome outcome;
  std::error_code error;
  std::vector<std::filesystem::path> arrived;
  for (const auto& entry : std::filesystem::directory_iterator(staging_, error))
    if (entry.is_regular_file(error)) arrived.push_back(entry.path());
  std::sort(arrived.begin(), arrived.end());
  for (const std::filesystem::path& file : arrived) {
    const std::string name = file.filename().string();
    const int moved = MoveWithoutReplacing(file, folder_ / name);
    if (moved == 0) {
      outcome.landed.push_back(name);
    } else if (moved == EEXIST) {
      outcome.kept.push_back(name);
    } else {
      pelikon::Trace("\nxfer: cannot move %s into %s: %s", name.c_str(), folder_.c_str(), std::strerror(moved));
      outcome.failed.push_back(name);
    }
  }
  if (outcome.failed.empty())
    std::filesystem::remove_all(staging_, error);
  else
    outcome.left_in = staging_;  // nothing received is thrown away
  staging_.clear();
  return outcome;
}

}  // namespace pelikon_tools
