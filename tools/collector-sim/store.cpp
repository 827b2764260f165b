#include "store.h"

#include <vector>

#include "link/listing/dir_listing.h"
#include "link/transfer/received_file.h"
#include "platform/file_info.h"
#include "platform/text.h"

namespace collector_sim {

namespace {

std::vector<std::string> Segments(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (const char c : path + "\\") {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  return parts;
}

}  // namespace

Store::Store(std::filesystem::path root) : root_(std::move(root)) {}

std::filesystem::path Store::CurrentPath() const {
  std::filesystem::path path = root_;
  for (const std::string& part : Segments(current_)) path /= part;
  return path;
}

bool Store::ChangeDir(const std::string& path) {
  std::vector<std::string> parts = path.rfind('\\', 0) == 0 ? std::vector<std::string>{} : Segments(current_);
  for (const std::string& part : Segments(path)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    if (pelikon::SafeReceivedName(part) != part) return false;
    parts.push_back(part);
  }
  std::filesystem::path local = root_;
  std::string named;
  for (const std::string& part : parts) {
    local /= part;
    named += "\\" + part;
  }
  std::error_code error;
  if (!std::filesystem::is_directory(local, error)) return false;
  current_ = named.empty() ? "\\" : named;
  return true;
}

std::filesystem::path Store::Resolve(const std::string& name) const {
  if (pelikon::SafeReceivedName(name) != name) return {};
  return CurrentPath() / name;
}

std::string Store::Listing(const std::string& mask, bool show_hidden) const {
  std::string out;
  if (current_ != "\\") out += "..|-1| | |-1|..\r\n";
  // The mask picks files; folders are always listed, as on the PC's side.
  pelikon::EnumerateFolder(CurrentPath(), "*.*", [&](const pelikon::FileInfo& info) {
    if (info.name == "." || info.name == "..") return;
    if (!info.IsFolder() && !pelikon::MatchesMask(info.name, mask.empty() ? "*.*" : mask)) return;
    const bool hidden = (info.attributes & pelikon::kAttrHidden) != 0;
    if (hidden && !show_hidden) return;
    const std::string date = pelikon::ListingDate(info.modified);
    const std::string time = pelikon::ListingTime(info.modified);
    if (info.IsFolder()) {
      out += info.name + "|-1|" + date + "|" + time + "|-1|" + info.name + "\r\n";
      return;
    }
    int attributes = hidden ? pelikon::kAttrHidden : 0;
    if (info.attributes & pelikon::kAttrReadOnly) attributes |= pelikon::kAttrReadOnly;
    std::error_code error;
    const auto path = CurrentPath() / info.name;
    const auto found = cleared_.find(path);
    if (found == cleared_.end() || std::filesystem::last_write_time(path, error) != found->second)
      attributes |= pelikon::kAttrArchive;
    out += pelikon::StrPrintf("%s|%ld|%s|%s|%d|%s\r\n", info.name.c_str(),
                              static_cast<long>(static_cast<int32_t>(info.size)), date.c_str(), time.c_str(),
                              attributes, info.name.c_str());
  });
  return out;
}

void Store::ClearArchive(const std::string& name) {
  const std::filesystem::path path = Resolve(name);
  std::error_code error;
  if (!path.empty()) cleared_[path] = std::filesystem::last_write_time(path, error);
}

double Store::FreeBytes() const {
  return static_cast<double>(pelikon::FreeBytes(root_));
}

}  // namespace collector_sim
