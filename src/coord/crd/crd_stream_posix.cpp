#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

#include "coord/crd/crd_stream.h"

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

}  // namespace

CrdStream::CrdStream(CrdStream&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}

CrdStream& CrdStream::operator=(CrdStream&& other) noexcept {
  if (this != &other) {
    Close();
    fd_ = std::exchange(other.fd_, -1);
  }
  return *this;
}

bool CrdStream::Open(const std::filesystem::path& path) {
  Close();
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !Lock(fd)) {
    ::close(fd);
    return false;
  }
  fd_ = fd;
  return true;
}

bool CrdStream::Create(const std::filesystem::path& path, const std::filesystem::path& like) {
  Close();
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  // Lock before emptying, so that a file another stream holds is left alone.
  if (!Lock(fd) || ::ftruncate(fd, 0) != 0) {
    ::close(fd);
    return false;
  }
  struct stat model {};
  if (!like.empty() && ::stat(like.c_str(), &model) == 0) ::fchmod(fd, model.st_mode & 07777);
  fd_ = fd;
  return true;
}

void CrdStream::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

size_t CrdStream::ReadUpTo(uint64_t offset, void* buffer, size_t size) const {
  if (fd_ < 0) return 0;
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

bool CrdStream::ReadAt(uint64_t offset, void* buffer, size_t size) const {
  return ReadUpTo(offset, buffer, size) == size;
}

bool CrdStream::WriteAt(uint64_t offset, const void* data, size_t size) {
  if (fd_ < 0) return false;
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

std::optional<uint64_t> CrdStream::Size() const {
  struct stat info {};
  if (fd_ < 0 || ::fstat(fd_, &info) != 0) return std::nullopt;
  return static_cast<uint64_t>(info.st_size);
}

bool CrdStream::Sync() {
  return fd_ >= 0 && ::fsync(fd_) == 0;
}

bool CanOpenForUpdate(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock lock = WholeFile(F_WRLCK);
  const bool free = ::fcntl(fd, F_OFD_GETLK, &lock) == 0 && lock.l_type == F_UNLCK;
  ::close(fd);
  return free;
}

}  // namespace pelikon
