#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <vector>

#include "platform/file_info.h"

namespace pelikon {

namespace {

// Decides read-only from the mode bits the way the kernel would for the
// effective user; the superuser may write anything that has any write bit.
class WriteCheck {
 public:
  WriteCheck() : uid_(::geteuid()), gid_(::getegid()) {
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
      groups_.resize(static_cast<size_t>(count));
      groups_.resize(static_cast<size_t>(std::max(0, ::getgroups(count, groups_.data()))));
    }
  }

  bool Writable(const struct stat& info) const {
    if (uid_ == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
    if (info.st_uid == uid_) return (info.st_mode & S_IWUSR) != 0;
    if (info.st_gid == gid_ || std::find(groups_.begin(), groups_.end(), info.st_gid) != groups_.end())
      return (info.st_mode & S_IWGRP) != 0;
    return (info.st_mode & S_IWOTH) != 0;
  }

 private:
  uid_t uid_;
  gid_t gid_;
  std::vector<gid_t> groups_;
};

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

bool EnumerateFolder(const std::filesystem::path& folder, std::string_view mask,
                     const std::function<void(const FileInfo&)>& visit) {
  const int folder_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder_fd < 0) return false;
  DIR* dir = ::fdopendir(folder_fd);
  if (!dir) {
    ::close(folder_fd);
    return false;
  }
  struct stat self {
  }, parent{};
  const bool at_root = ::fstat(folder_fd, &self) == 0 && ::fstatat(folder_fd, "..", &parent, 0) == 0 &&
                       self.st_dev == parent.st_dev && self.st_ino == parent.st_ino;
  const WriteCheck write_check;
  FileInfo info;
  while (const struct dirent* entry = ::readdir(dir)) {
    const char* name = entry->d_name;
    if (at_root && name[0] == '.' && name[1] == '.' && name[2] == 0) continue;
    if (!MatchesMask(name, mask)) continue;
    struct stat st {};
    if (::fstatat(folder_fd, name, &st, 0) != 0 && ::fstatat(folder_fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
      continue;  // vanished while we looked
    info.name = name;
    info.size = S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0;
    info.modified = st.st_mtime;
    info.attributes = 0;
    if (S_ISDIR(st.st_mode)) info.attributes |= kAttrFolder;
    if (S_ISREG(st.st_mode)) info.attributes |= kAttrArchive;
    if (name[0] == '.' && !IsDotOrDotDot(name)) info.attributes |= kAttrHidden;
    if (!write_check.Writable(st)) info.attributes |= kAttrReadOnly;
    visit(info);
  }
  ::closedir(dir);
  return true;
}

uint64_t FreeBytes(const std::filesystem::path& path) {
  struct statvfs info {};
  if (::statvfs(path.c_str(), &info) != 0) return 0;
  return static_cast<uint64_t>(info.f_bavail) * info.f_frsize;
}

}  // namespace pelikon
