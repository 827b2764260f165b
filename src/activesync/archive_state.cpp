#include "activesync/archive_state.h"

#include <charconv>
#include <string_view>

#include "platform/atomic_file.h"

namespace pelikon::activesync {

ArchiveState::ArchiveState(std::filesystem::path state_file) : state_file_(std::move(state_file)) {
  std::string content;
  if (!ReadWholeFile(state_file_, content)) return;
  std::string_view rest(content);
  while (!rest.empty()) {
    const size_t end = rest.find('\n');
    const std::string_view line = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
    const size_t tab = line.find('\t');
    if (tab == std::string_view::npos || tab + 1 == line.size()) continue;
    int64_t written = 0;
    const auto [ptr, ec] = std::from_chars(line.data(), line.data() + tab, written);
    if (ec != std::errc() || ptr != line.data() + tab) continue;
    reset_times_[std::string(line.substr(tab + 1))] = written;
  }
}

bool ArchiveState::IsArchive(const std::string& relative_path, int64_t written) const {
  const auto found = reset_times_.find(relative_path);
  return found == reset_times_.end() || found->second != written;
}

bool ArchiveState::Reset(const std::string& relative_path, int64_t written) {
  // A line break would split the record; such a file cannot be kept.
  if (relative_path.find('\n') != std::string::npos) return false;
  const auto found = reset_times_.find(relative_path);
  const bool had = found != reset_times_.end();
  const int64_t before = had ? found->second : 0;
  reset_times_[relative_path] = written;
  if (Save()) return true;
  if (had) {
    reset_times_[relative_path] = before;
  } else {
    reset_times_.erase(relative_path);
  }
  return false;
}

bool ArchiveState::Forget(const std::string& relative_path) {
  const auto found = reset_times_.find(relative_path);
  if (found == reset_times_.end()) return true;
  const int64_t before = found->second;
  reset_times_.erase(found);
  if (Save()) return true;
  reset_times_[relative_path] = before;
  return false;
}

bool ArchiveState::Save() const {
  std::string content;
  for (const auto& [path, written] : reset_times_) {
    content += std::to_string(written);
    content += '\t';
    content += path;
    content += '\n';
  }
  std::error_code ignored;
  if (state_file_.has_parent_path()) std::filesystem::create_directories(state_file_.parent_path(), ignored);
  return !WriteFileAtomically(state_file_, content);
}

}  // namespace pelikon::activesync
