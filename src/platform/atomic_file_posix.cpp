#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/atomic_file.h"

namespace pelikon {

namespace {

std::error_code LastError() {
  return {errno, std::generic_category()};
}

std::error_code WriteAll(int fd, std::string_view content) {
  const char* p = content.data();
  size_t left = content.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return LastError();
    }
    p += n;
    left -= static_cast<size_t>(n);
  }
  return {};
}

// Flushes the folder entry of a rename so that it survives a crash.
void SyncFolderOf(const std::filesystem::path& path) {
  const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    ::fsync(fd);
    ::close(fd);
  }
}

}  // namespace

std::filesystem::path TwinPath(const std::filesystem::path& target) {
  std::filesystem::path twin = target;
  twin += ".new";
  return twin;
}

std::error_code WriteFileAtomically(const std::filesystem::path& target, std::string_view content) {
  const std::filesystem::path twin = TwinPath(target);
  const int fd = ::open(twin.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return LastError();
  std::error_code error = WriteAll(fd, content);
  if (!error && ::fsync(fd) != 0) error = LastError();
  if (::close(fd) != 0 && !error) error = LastError();
  if (!error && ::rename(twin.c_str(), target.c_str()) != 0) error = LastError();
  if (error) {
    ::unlink(twin.c_str());
    return error;
  }
  SyncFolderOf(target);
  return {};
}

std::error_code ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target) {
  const int fd = ::open(twin.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return LastError();
  std::error_code error;
  if (::fsync(fd) != 0) error = LastError();
  ::close(fd);
  if (!error && ::rename(twin.c_str(), target.c_str()) != 0) error = LastError();
  if (!error) SyncFolderOf(target);
  return error;
}

bool ReadWholeFile(const std::filesystem::path& path, std::string& content) {
  content.clear();
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    content.append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

}  // namespace pelikon
