#include "link/transfer/file_source.h"

#include <algorithm>

#include "link/transfer/transfer_state.h"
#include "platform/file_info.h"

namespace pelikon {

namespace {

// Deep enough for any real folder tree; stops a link loop.
constexpr int kMaxDepth = 32;

bool HasWildcard(const std::string& text) {
  return text.find_first_of("*?") != std::string::npos;
}

// "*" and "?" are ordinary characters in a Linux file name: a spec that
// names an existing file is that file, never a pattern that might match
// its neighbours as well.
bool NamesExistingFile(const std::filesystem::path& path) {
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

}  // namespace

FileSource::FileSource(std::vector<std::string> specs, bool search_subfolders)
    : specs_(std::move(specs)), search_subfolders_(search_subfolders) {}

void FileSource::AddMatches(const std::filesystem::path& folder, const std::string& mask, int depth) {
  std::vector<std::filesystem::path> files, folders;
  const bool read = EnumerateFolder(folder, "*", [&](const FileInfo& info) {
    if (info.IsFolder()) {
      if (info.name != "." && info.name != "..") folders.push_back(folder / info.name);
    } else if (MatchesMask(info.name, mask)) {
      files.push_back(folder / info.name);
    }
  });
  if (!read) {
    folder_failed_ = depth == 0;
    return;
  }
  std::sort(files.begin(), files.end());
  pending_.insert(pending_.end(), files.begin(), files.end());
  if (!search_subfolders_ || depth >= kMaxDepth) return;
  std::sort(folders.begin(), folders.end());
  for (const auto& sub : folders) AddMatches(sub, mask, depth + 1);
}

int FileSource::Expand(const std::string& spec) {
  const std::filesystem::path path(spec);
  const std::string last = path.filename().string();
  if (HasWildcard(last) ? NamesExistingFile(path) : !search_subfolders_) {
    pending_.push_back(path);
    return 1;
  }
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
  folder_failed_ = false;
  AddMatches(folder, last, 0);
  return folder_failed_ ? kXferFileSource : 1;
}

int FileSource::Next(std::filesystem::path& file) {
  while (next_pending_ >= pending_.size()) {
    if (next_spec_ >= specs_.size()) return 0;
    pending_.clear();
    next_pending_ = 0;
    const int expanded = Expand(specs_[next_spec_++]);
    if (expanded < 0) return expanded;
  }
  file = pending_[next_pending_++];
  return 1;
}

void SendEachFile(FileSource& source, TransferState& transfer,
                  const std::function<int(const std::filesystem::path&)>& send_file) {
  std::filesystem::path file;
  for (;;) {
    const int next = source.Next(file);
    if (next < 0) {
      transfer.error = next;
      return;
    }
    if (next == 0 || send_file(file) < 0) return;
  }
}

}  // namespace pelikon
