#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "coord/crd/crd_storage.h"
#include "platform/atomic_file.h"

// Locks of the open file description where the system has them; plain
// process locks otherwise.
#ifndef F_OFD_SETLK
#define F_OFD_SETLK F_SETLK
#define F_OFD_GETLK F_GETLK
#endif

namespace pelikon {

namespace {

struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;  // to the end, however far it grows
  return lock;
}

bool Lock(int fd) {
  struct flock lock = WholeFile(F_WRLCK);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

class DescriptorFile final : public CrdOpenFile {
 public:
  explicit DescriptorFile(int fd) : fd_(fd) {}
  ~DescriptorFile() override { ::close(fd_); }
  DescriptorFile(const DescriptorFile&) = delete;
  DescriptorFile& operator=(const DescriptorFile&) = delete;

  size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const override {
    size_t done = 0;
    auto* out = static_cast<char*>(buffer);
    while (done < size) {
      const ssize_t n = ::pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    return done;
  }

  bool WriteAt(uint64_t offset, const void* data, size_t size) override {
    size_t done = 0;
    const auto* in = static_cast<const char*>(data);
    while (done < size) {
      const ssize_t n = ::pwrite(fd_, in + done, size - done, static_cast<off_t>(offset + done));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      done += static_cast<size_t>(n);
    }
    return true;
  }

  std::optional<uint64_t> Size() const override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
  }

  bool Sync() override { return ::fsync(fd_) == 0; }

 private:
  int fd_;
};

class PosixCrdStorage final : public CrdStorage {
 public:
  std::unique_ptr<CrdOpenFile> Open(const std::filesystem::path& path) override {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return nullptr;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !Lock(fd)) {
      ::close(fd);
      return nullptr;
    }
    return std::make_unique<DescriptorFile>(fd);
  }

  std::unique_ptr<CrdOpenFile> Create(const std::filesystem::path& path, const std::filesystem::path& like) override {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return nullptr;
    // Lock before emptying, so that a file another stream holds is left alone.
    if (!Lock(fd) || ::ftruncate(fd, 0) != 0) {
      ::close(fd);
      return nullptr;
    }
    struct stat model {};
    if (!like.empty() && ::stat(like.c_str(), &model) == 0) ::fchmod(fd, model.st_mode & 07777);
    return std::make_unique<DescriptorFile>(fd);
  }

  bool CanOpenForUpdate(const std::filesystem::path& path) override {
    const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return false;
    struct flock lock = WholeFile(F_WRLCK);
    const bool free = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
    ::close(fd);
    return free;
  }

  bool Exists(const std::filesystem::path& path) override {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
  }

  std::optional<uint64_t> RegularFileSize(const std::filesystem::path& path) override {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    return static_cast<uint64_t>(info.st_size);
  }

  size_t ReadStart(const std::filesystem::path& path, void* buffer, size_t size) override {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    const size_t got = DescriptorFile(fd).ReadUpTo(0, buffer, size);  // closes it
    return got;
  }

  bool Remove(const std::filesystem::path& path) override { return ::unlink(path.c_str()) == 0; }

  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override {
    return ::rename(from.c_str(), to.c_str()) == 0;
  }

  bool ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target) override {
    return !pelikon::ReplaceWithTwin(twin, target);
  }
};

}  // namespace

CrdStorage& SystemCrdStorage() {
  static PosixCrdStorage storage;
  return storage;
}

}  // namespace pelikon
