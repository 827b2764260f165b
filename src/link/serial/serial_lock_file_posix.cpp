#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <optional>

#include "link/serial/serial_lock_file.h"
#include "link/serial/serial_port.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// Attempts at taking a lock while other programs take and drop theirs.
constexpr int kAttempts = 3;

// The process a lock file names: nothing when there is no lock file, 0
// when it names no process (empty, damaged).
std::optional<pid_t> LockOwner(const std::filesystem::path& path) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (fd < 0) {
    if (errno == ENOENT) return std::nullopt;
    return 0;
  }
  char text[32] = {};
  ssize_t got;
  do {
    got = ::read(fd, text, sizeof text - 1);
  } while (got < 0 && errno == EINTR);
  ::close(fd);
  if (got <= 0) return 0;
  const std::string_view content(text, static_cast<size_t>(got));
  const std::string_view digits = Trim(content, " \t\r\n");
  int64_t pid = 0;
  if (!digits.empty() && digits.find_first_not_of("0123456789") == std::string_view::npos && digits.size() <= 10) {
    for (char c : digits) pid = pid * 10 + (c - '0');
  } else if (got == 4) {
    int32_t binary = 0;  // the older form, in this machine's byte order
    std::memcpy(&binary, text, sizeof binary);
    pid = binary;
  }
  return pid > 0 && pid <= INT32_MAX ? static_cast<pid_t>(pid) : 0;
}

bool IsLive(pid_t pid) {
  // Another user's process cannot be signalled but is there all the same.
  return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

enum class Published { kTaken, kHeldByAnother, kNotPossible };

// Writes this process's lock beside `path` and links it into place, so the
// lock appears whole or not at all.
Published Publish(const std::filesystem::path& path, int& error) {
  const std::filesystem::path temporary = path.parent_path() / ("LTMP." + std::to_string(::getpid()));
  ::unlink(temporary.c_str());
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
  if (fd < 0) {
    error = errno;
    return Published::kNotPossible;
  }
  const std::string content = StrPrintf("%10d\n", static_cast<int>(::getpid()));
  const bool written = ::write(fd, content.data(), content.size()) == static_cast<ssize_t>(content.size());
  ::fchmod(fd, 0644);  // readable by every program that checks, whatever the umask
  ::close(fd);
  error = written ? 0 : EIO;
  if (!error && ::link(temporary.c_str(), path.c_str()) != 0) error = errno;
  ::unlink(temporary.c_str());
  if (error == 0) return Published::kTaken;
  return error == EEXIST ? Published::kHeldByAnother : Published::kNotPossible;
}

}  // namespace

std::filesystem::path SystemSerialLockFolder() {
  std::error_code error;
  for (const char* folder : {"/run/lock", "/var/lock"})
    if (std::filesystem::is_directory(folder, error)) return folder;
  return {};
}

std::string SerialLockFileName(const std::string& device) {
  std::error_code error;
  std::filesystem::path real = std::filesystem::canonical(device, error);
  if (error) real = std::filesystem::absolute(device, error).lexically_normal();
  const std::filesystem::path relative = real.lexically_relative("/dev");
  std::string name;
  if (!relative.empty() && *relative.begin() != "..") {
    name = relative.string();
    for (char& c : name)
      if (c == '/') c = '_';
  } else {
    name = real.filename().string();
  }
  return "LCK.." + name;
}

int SerialLockFile::Acquire(const std::filesystem::path& folder, const std::string& device) {
  Release();
  if (folder.empty()) return kSerialOk;
  const std::filesystem::path path = folder / SerialLockFileName(device);
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    if (const std::optional<pid_t> owner = LockOwner(path)) {
      if (*owner != ::getpid() && IsLive(*owner)) {
        Trace("\nSerial: %s is in use by process %d (%s)", device.c_str(), static_cast<int>(*owner), path.c_str());
        return kSerialInUse;
      }
      // Its owner is gone (or it names this process, which holds no port
      // on the device, or nobody): stale.
      Trace("\nSerial: removing the stale lock %s", path.c_str());
      if (::unlink(path.c_str()) != 0 && errno != ENOENT) return kSerialOk;  // not ours to tidy
    }
    int error = 0;
    switch (Publish(path, error)) {
      case Published::kTaken:
        path_ = path;
        return kSerialOk;
      case Published::kNotPossible:
        Trace("\nSerial: no lock file for %s in %s: %s", device.c_str(), folder.c_str(), std::strerror(error));
        return kSerialOk;
      case Published::kHeldByAnother:
        break;  // another program locked it meanwhile: look at its lock
    }
  }
  return kSerialInUse;
}

void SerialLockFile::Release() {
  if (path_.empty()) return;
  // Only a lock that still names this process is ours to remove.
  if (LockOwner(path_) == ::getpid()) ::unlink(path_.c_str());
  path_.clear();
}

}  // namespace pelikon
