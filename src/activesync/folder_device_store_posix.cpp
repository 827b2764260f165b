#include <dirent.h>
#include <fcntl.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "activesync/device_path.h"
#include "activesync/folder_device_store.h"
#include "platform/file_info.h"

namespace pelikon::activesync {

namespace {

constexpr uint32_t kSettableBits = kDeviceReadOnly | kDeviceHidden | kDeviceSystem | kDeviceArchive;

DeviceError FromErrno(int error) {
  switch (error) {
    case 0:
      return DeviceError::kNone;
    case ENOENT:
    case ENOTDIR:
    case ELOOP:
    case ENAMETOOLONG:
      return DeviceError::kNotFound;
    case EEXIST:
      return DeviceError::kExists;
    case ENOTEMPTY:
      return DeviceError::kNotEmpty;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EBUSY:
      return DeviceError::kDenied;
    case ENOSPC:
    case EFBIG:
    case EDQUOT:
      return DeviceError::kNoSpace;
    case ENOTSUP:
    case ENOTTY:
      return DeviceError::kUnsupported;
    default:
      return DeviceError::kIo;
  }
}

DeviceError LastError() {
  return FromErrno(errno);
}

int64_t Nanoseconds(const struct timespec& time) {
  return static_cast<int64_t>(time.tv_sec) * 1000000000 + time.tv_nsec;
}

struct timespec Timespec(int64_t nanoseconds) {
  int64_t seconds = nanoseconds / 1000000000;
  int64_t rest = nanoseconds % 1000000000;
  if (rest < 0) {
    rest += 1000000000;
    --seconds;
  }
  return {static_cast<time_t>(seconds), static_cast<long>(rest)};
}

std::optional<std::filesystem::path> RealPath(const std::filesystem::path& path) {
  char resolved[PATH_MAX];
  if (!::realpath(path.c_str(), resolved)) return std::nullopt;
  return std::filesystem::path(resolved);
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now and tells whether the close reported an error.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

class FolderReader : public DeviceReader {
 public:
  explicit FolderReader(int fd) : fd_(fd) {}
  DeviceError Read(char* buffer, size_t capacity, size_t& got) override {
    got = 0;
    for (;;) {
      const ssize_t n = ::read(fd_.get(), buffer, capacity);
      if (n >= 0) {
        got = static_cast<size_t>(n);
        return DeviceError::kNone;
      }
      if (errno != EINTR) return LastError();
    }
  }
  DeviceError Times(DeviceFileTimes& times) override {
    struct stat st;
    if (::fstat(fd_.get(), &st) != 0) return LastError();
    times = {Nanoseconds(st.st_mtim), Nanoseconds(st.st_atim), Nanoseconds(st.st_mtim)};
    return DeviceError::kNone;
  }

 private:
  FileDescriptor fd_;
};

// Writes to a hidden twin in the target's folder and renames it over the
// target on Commit(); the twin is removed when the writer goes uncommitted.
class TwinWriter : public DeviceWriter {
 public:
  TwinWriter(int fd, std::filesystem::path twin, std::filesystem::path target, bool replace,
             std::function<void()> committed)
      : fd_(fd),
        twin_(std::move(twin)),
        target_(std::move(target)),
        replace_(replace),
        committed_(std::move(committed)) {}
  ~TwinWriter() override {
    if (!done_) {
      fd_.Close();
      ::unlink(twin_.c_str());
    }
  }

  DeviceError Write(const char* data, size_t size, size_t& written) override {
    written = 0;
    while (written < size) {
      const ssize_t n = ::write(fd_.get(), data + written, size - written);
      if (n < 0) {
        if (errno == EINTR) continue;
        return LastError();
      }
      if (n == 0) return DeviceError::kNoSpace;
      written += static_cast<size_t>(n);
    }
    return DeviceError::kNone;
  }

  DeviceError SetTimes(const DeviceFileTimes& times) override {
    times_ = times;
    has_times_ = true;
    return DeviceError::kNone;
  }

  DeviceError Commit() override {
    if (done_) return DeviceError::kIo;
    if (has_times_) {
      const struct timespec both[2] = {Timespec(times_.accessed), Timespec(times_.written)};
      // Media devices mounted through user-space file systems may keep no
      // times of their own: the file is still whole and goes in place.
      if (::futimens(fd_.get(), both) != 0 && errno != ENOTSUP && errno != ENOSYS && errno != EPERM) return LastError();
    }
    // Some file systems (network, user-space) report a failed write only here.
    if (!fd_.Close()) return LastError();
    DeviceError moved = DeviceError::kNone;
    if (replace_) {
      if (::rename(twin_.c_str(), target_.c_str()) != 0) moved = LastError();
    } else {
      moved = RenameNoReplace(twin_, target_);
    }
    if (moved != DeviceError::kNone) return moved;
    done_ = true;
    if (committed_) committed_();
    return DeviceError::kNone;
  }

  // Renames without ever replacing `to`: atomically where the file system
  // allows it, else by a hard link, else after a check.
  static DeviceError RenameNoReplace(const std::filesystem::path& from, const std::filesystem::path& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return DeviceError::kNone;
    if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return LastError();
    struct stat st;
    if (::lstat(from.c_str(), &st) != 0) return LastError();
    if (!S_ISDIR(st.st_mode)) {
      if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return DeviceError::kNone;
      }
      if (errno == EEXIST) return DeviceError::kExists;
      if (errno != EPERM && errno != ENOTSUP && errno != EMLINK) return LastError();
    }
    // No atomic way on this file system.
    if (::lstat(to.c_str(), &st) == 0) return DeviceError::kExists;
    if (::rename(from.c_str(), to.c_str()) != 0) return LastError();
    return DeviceError::kNone;
  }

 private:
  FileDescriptor fd_;
  std::filesystem::path twin_;
  std::filesystem::path target_;
  bool replace_;
  std::function<void()> committed_;
  DeviceFileTimes times_;
  bool has_times_ = false;
  bool done_ = false;
};

// Creates a hidden twin beside `target` with `mode`.
int CreateTwin(const std::filesystem::path& target, mode_t mode, std::filesystem::path& twin) {
  static std::atomic<unsigned> counter{0};
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name(1, '.');
    name.append(target.filename().string())
        .append(1, '.')
        .append(std::to_string(::getpid()))
        .append(1, '-')
        .append(std::to_string(counter++))
        .append(".part");
    twin = target.parent_path() / name;
    const int fd = ::open(twin.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

uint32_t OrNormal(uint32_t attributes) {
  return attributes == 0 ? static_cast<uint32_t>(kDeviceNormal) : attributes;
}

// The FAT attributes of an open file; false when the file system has none.
bool FatAttributes(int fd, uint32_t& attributes) {
  __u32 bits = 0;
  if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &bits) != 0) return false;
  attributes = OrNormal(bits & (kSettableBits | kDeviceFolder));
  return true;
}

}  // namespace

FolderDeviceStore::FolderDeviceStore(std::filesystem::path root, std::filesystem::path state_file)
    : root_(std::move(root)), archive_(std::move(state_file)) {}

std::optional<std::filesystem::path> FolderDeviceStore::HostPath(std::string_view device_path) const {
  const std::optional<Target> target = Resolve(device_path);
  if (!target) return std::nullopt;
  return target->host;
}

bool FolderDeviceStore::Inside(const std::filesystem::path& real_root, const std::filesystem::path& resolved) {
  const std::string root = real_root.string();
  const std::string path = resolved.string();
  if (root == "/") return true;
  return path == root ||
         (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

std::optional<FolderDeviceStore::Target> FolderDeviceStore::Resolve(std::string_view device_path) const {
  const std::optional<std::string> relative = RelativeDevicePath(device_path);
  if (!relative) return std::nullopt;
  // The root is looked up anew each time: the device may have been mounted
  // again since the last call.
  const std::optional<std::filesystem::path> real_root = RealPath(root_);
  if (!real_root) return std::nullopt;
  if (relative->empty()) return Target{*real_root, "", *real_root};

  const std::filesystem::path lexical = *real_root / *relative;
  const std::optional<std::filesystem::path> folder = RealPath(lexical.parent_path());
  if (!folder || !Inside(*real_root, *folder)) return std::nullopt;
  const std::filesystem::path host = *folder / lexical.filename();
  struct stat st;
  if (::lstat(host.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
    // A link is followed only when it ends inside the root.
    const std::optional<std::filesystem::path> destination = RealPath(host);
    if (!destination || !Inside(*real_root, *destination)) return std::nullopt;
  }
  const std::string root_text = real_root->string();
  std::string key = host.string().substr(root_text == "/" ? 1 : root_text.size() + 1);
  return Target{host, std::move(key), *real_root};
}

bool FolderDeviceStore::OnFat() const {
  struct statfs fs;
  return ::statfs(root_.c_str(), &fs) == 0 && fs.f_type == MSDOS_SUPER_MAGIC;
}

DeviceError FolderDeviceStore::Information(StoreInformation& info) {
  struct statvfs fs;
  if (::statvfs(root_.c_str(), &fs) != 0) return LastError();
  info.size = static_cast<uint64_t>(fs.f_blocks) * fs.f_frsize;
  info.free = static_cast<uint64_t>(fs.f_bavail) * fs.f_frsize;
  return DeviceError::kNone;
}

bool FolderDeviceStore::StillThere() {
  struct statvfs fs;
  struct stat st;
  return ::statvfs(root_.c_str(), &fs) == 0 && ::stat(root_.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

DeviceError FolderDeviceStore::AttributesOf(const Target& target, uint32_t& attributes) const {
  struct stat st;
  if (::stat(target.host.c_str(), &st) != 0) return LastError();
  if (OnFat()) {
    FileDescriptor fd(::open(target.host.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() >= 0 && FatAttributes(fd.get(), attributes)) return DeviceError::kNone;
  }
  attributes = KeptAttributes(target, st);
  return DeviceError::kNone;
}

uint32_t FolderDeviceStore::KeptAttributes(const Target& target, const struct stat& st) const {
  uint32_t bits = 0;
  if (S_ISDIR(st.st_mode)) bits |= kDeviceFolder;
  if ((st.st_mode & S_IWUSR) == 0) bits |= kDeviceReadOnly;
  const std::string name = target.host.filename().string();
  if (!target.relative.empty() && name[0] == '.') bits |= kDeviceHidden;
  if (!S_ISDIR(st.st_mode) && archive_.IsArchive(target.relative, Nanoseconds(st.st_mtim))) bits |= kDeviceArchive;
  return OrNormal(bits);
}

DeviceError FolderDeviceStore::FindFiles(std::string_view folder, std::string_view mask,
                                         std::vector<DeviceEntry>& entries) {
  entries.clear();
  const std::optional<Target> target = Resolve(folder);
  if (!target) return DeviceError::kNotFound;
  const int dir_fd = ::open(target->host.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir_fd < 0) return LastError();
  DIR* dir = ::fdopendir(dir_fd);
  if (!dir) {
    const DeviceError error = LastError();
    ::close(dir_fd);
    return error;
  }
  const bool fat = OnFat();
  const std::string prefix = target->relative.empty() ? "" : target->relative + "/";
  DeviceError error = DeviceError::kNone;
  for (;;) {
    // readdir() tells its end from a failure only by errno.
    errno = 0;
    const struct dirent* item = ::readdir(dir);
    if (!item) {
      error = errno != 0 ? LastError() : DeviceError::kNone;
      break;
    }
    const std::string name = item->d_name;
    if (name == "." || name == ".." || !MatchesMask(name, mask)) continue;
    Target child{target->host / name, prefix + name, target->real_root};
    struct stat st;
    if (::fstatat(dir_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISLNK(st.st_mode)) {
      const std::optional<std::filesystem::path> destination = RealPath(child.host);
      if (!destination || !Inside(target->real_root, *destination) || ::stat(child.host.c_str(), &st) != 0) continue;
    }
    DeviceEntry entry;
    entry.name = name;
    entry.written = Nanoseconds(st.st_mtim);
    entry.size = S_ISDIR(st.st_mode) ? 0 : static_cast<uint64_t>(st.st_size);
    bool have_attributes = false;
    if (fat) {
      FileDescriptor fd(::openat(dir_fd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
      have_attributes = fd.get() >= 0 && FatAttributes(fd.get(), entry.attributes);
    }
    if (!have_attributes) entry.attributes = KeptAttributes(child, st);
    entries.push_back(std::move(entry));
  }
  ::closedir(dir);
  return error;
}

DeviceError FolderDeviceStore::GetAttributes(std::string_view path, uint32_t& attributes) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  return AttributesOf(*target, attributes);
}

DeviceError FolderDeviceStore::SetAttributes(std::string_view path, uint32_t attributes) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  // "Normal" stands only alone; the folder bit is the file type's.
  attributes = attributes == kDeviceNormal ? 0 : attributes & ~static_cast<uint32_t>(kDeviceNormal | kDeviceFolder);
  if ((attributes & ~kSettableBits) != 0) return DeviceError::kUnsupported;
  if (OnFat()) return SetFatAttributes(*target, attributes);
  return SetKeptAttributes(*target, attributes);
}

DeviceError FolderDeviceStore::SetFatAttributes(const Target& target, uint32_t attributes) {
  FileDescriptor fd(::open(target.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return LastError();
  __u32 bits = 0;
  if (::ioctl(fd.get(), FAT_IOCTL_GET_ATTRIBUTES, &bits) != 0) return LastError();
  bits = (bits & ~kSettableBits) | attributes;
  if (::ioctl(fd.get(), FAT_IOCTL_SET_ATTRIBUTES, &bits) != 0) return LastError();
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::SetKeptAttributes(const Target& target, uint32_t attributes) {
  struct stat st;
  if (::stat(target.host.c_str(), &st) != 0) return LastError();
  // Hidden follows the name and there is no system bit: a request to
  // change either cannot take effect, so nothing is changed.
  const bool hidden = !target.relative.empty() && target.host.filename().string()[0] == '.';
  if ((attributes & kDeviceSystem) != 0 || ((attributes & kDeviceHidden) != 0) != hidden) {
    return DeviceError::kUnsupported;
  }
  const mode_t old_mode = st.st_mode & 07777;
  const mode_t new_mode =
      (attributes & kDeviceReadOnly) != 0 ? old_mode & ~static_cast<mode_t>(0222) : old_mode | S_IWUSR;
  if (new_mode != old_mode && ::chmod(target.host.c_str(), new_mode) != 0) return LastError();
  if (S_ISDIR(st.st_mode)) return DeviceError::kNone;
  const bool saved = (attributes & kDeviceArchive) != 0 ? archive_.Forget(target.relative)
                                                        : archive_.Reset(target.relative, Nanoseconds(st.st_mtim));
  if (saved) return DeviceError::kNone;
  if (new_mode != old_mode) ::chmod(target.host.c_str(), old_mode);
  return DeviceError::kIo;
}

DeviceError FolderDeviceStore::OpenForReading(std::string_view path, std::unique_ptr<DeviceReader>& reader) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  const int fd = ::open(target->host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastError();
  struct stat st;
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return DeviceError::kDenied;
  }
  reader = std::make_unique<FolderReader>(fd);
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::CreateForWriting(std::string_view path, std::unique_ptr<DeviceWriter>& writer) {
  const std::optional<Target> target = Resolve(path);
  if (!target || target->relative.empty()) return target ? DeviceError::kDenied : DeviceError::kNotFound;
  mode_t mode = 0666;
  struct stat st;
  if (::stat(target->host.c_str(), &st) == 0) {
    // An existing read-only file or a folder is not replaced.
    if (S_ISDIR(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return DeviceError::kDenied;
    mode = st.st_mode & 07777;
  }
  std::filesystem::path twin;
  const int fd = CreateTwin(target->host, mode, twin);
  if (fd < 0) return LastError();
  // A new content is a change since the last reset.
  writer = std::make_unique<TwinWriter>(fd, twin, target->host, true,
                                        [this, key = target->relative] { archive_.Forget(key); });
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::GetTimes(std::string_view path, DeviceFileTimes& times) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  struct stat st;
  if (::stat(target->host.c_str(), &st) != 0) return LastError();
  times = {Nanoseconds(st.st_mtim), Nanoseconds(st.st_atim), Nanoseconds(st.st_mtim)};
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::SetTimes(std::string_view path, const DeviceFileTimes& times) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  const struct timespec both[2] = {Timespec(times.accessed), Timespec(times.written)};
  if (::utimensat(AT_FDCWD, target->host.c_str(), both, 0) != 0) return LastError();
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::CopyFile(const Target& from, const Target& to, bool fail_if_exists) {
  FileDescriptor in(::open(from.host.c_str(), O_RDONLY | O_CLOEXEC));
  if (in.get() < 0) return LastError();
  struct stat st;
  if (::fstat(in.get(), &st) != 0) return LastError();
  if (S_ISDIR(st.st_mode)) return DeviceError::kDenied;
  struct stat existing;
  if (::stat(to.host.c_str(), &existing) == 0) {
    if (fail_if_exists) return DeviceError::kExists;
    if (S_ISDIR(existing.st_mode) || (existing.st_mode & S_IWUSR) == 0) return DeviceError::kDenied;
  }
  std::filesystem::path twin;
  const int fd = CreateTwin(to.host, st.st_mode & 07777, twin);
  if (fd < 0) return LastError();
  TwinWriter writer(fd, twin, to.host, !fail_if_exists, [this, key = to.relative] { archive_.Forget(key); });
  char buffer[64 * 1024];
  for (;;) {
    const ssize_t n = ::read(in.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    if (n == 0) break;
    size_t written = 0;
    const DeviceError error = writer.Write(buffer, static_cast<size_t>(n), written);
    if (error != DeviceError::kNone) return error;
  }
  writer.SetTimes({Nanoseconds(st.st_mtim), Nanoseconds(st.st_atim), Nanoseconds(st.st_mtim)});
  return writer.Commit();
}

DeviceError FolderDeviceStore::Copy(std::string_view from, std::string_view to, bool fail_if_exists) {
  const std::optional<Target> source = Resolve(from);
  const std::optional<Target> target = Resolve(to);
  if (!source || !target) return DeviceError::kNotFound;
  return CopyFile(*source, *target, fail_if_exists);
}

DeviceError FolderDeviceStore::Delete(std::string_view path) {
  const std::optional<Target> target = Resolve(path);
  if (!target || target->relative.empty()) return target ? DeviceError::kDenied : DeviceError::kNotFound;
  struct stat st;
  if (::lstat(target->host.c_str(), &st) != 0) return LastError();
  // Folders are removed with RemoveFolder; read-only files are protected.
  if (S_ISDIR(st.st_mode)) return DeviceError::kDenied;
  if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) return DeviceError::kDenied;
  if (::unlink(target->host.c_str()) != 0) return LastError();
  archive_.Forget(target->relative);
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::CreateFolder(std::string_view path) {
  const std::optional<Target> target = Resolve(path);
  if (!target) return DeviceError::kNotFound;
  if (::mkdir(target->host.c_str(), 0777) != 0) return LastError();
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::RemoveFolder(std::string_view path) {
  const std::optional<Target> target = Resolve(path);
  if (!target || target->relative.empty()) return target ? DeviceError::kDenied : DeviceError::kNotFound;
  if (::rmdir(target->host.c_str()) != 0) return errno == EEXIST ? DeviceError::kNotEmpty : LastError();
  return DeviceError::kNone;
}

DeviceError FolderDeviceStore::Rename(std::string_view from, std::string_view to, bool fail_if_exists) {
  const std::optional<Target> source = Resolve(from);
  const std::optional<Target> target = Resolve(to);
  if (!source || !target) return DeviceError::kNotFound;
  if (source->relative.empty() || target->relative.empty()) return DeviceError::kDenied;
  return Rename(*source, *target, fail_if_exists);
}

DeviceError FolderDeviceStore::Rename(const Target& from, const Target& to, bool fail_if_exists) {
  DeviceError error = DeviceError::kNone;
  if (fail_if_exists) {
    error = TwinWriter::RenameNoReplace(from.host, to.host);
  } else if (::rename(from.host.c_str(), to.host.c_str()) != 0) {
    error = LastError();
  }
  if (error == DeviceError::kIo && errno == EXDEV) {
    // The two names lie on different file systems: copy, then delete.
    error = CopyFile(from, to, fail_if_exists);
    if (error == DeviceError::kNone && ::unlink(from.host.c_str()) != 0) error = LastError();
  }
  if (error != DeviceError::kNone) return error;
  // The renamed file counts as changed until its next reset.
  archive_.Forget(from.relative);
  archive_.Forget(to.relative);
  return DeviceError::kNone;
}

}  // namespace pelikon::activesync
