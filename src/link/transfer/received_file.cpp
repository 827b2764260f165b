#include "link/transfer/received_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>

#include "platform/trace.h"

namespace pelikon {

std::string SafeReceivedName(std::string_view sent) {
  const size_t cut = sent.find_last_of("\\:/");
  const std::string_view bare = cut == std::string_view::npos ? sent : sent.substr(cut + 1);
  if (bare.empty() || bare == "." || bare == "..") return {};
  for (const char c : bare)
    if (static_cast<unsigned char>(c) < 32 || c == 127) return {};
  return std::string(bare);
}

namespace {

// A replaced file keeps its permissions; a new one gets the usual ones.
mode_t ModeFor(const std::filesystem::path& destination) {
  struct stat existing {};
  if (::stat(destination.c_str(), &existing) == 0) return existing.st_mode & 07777;
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

}  // namespace

bool ReceivedFile::Open(const std::filesystem::path& folder, const std::string& name, bool keep_existing) {
  Discard();
  destination_ = folder / name;
  std::string pattern = (folder / (".pelikon-" + name + ".XXXXXX")).string();
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return false;
  temporary_ = pattern;
  ::fchmod(fd, ModeFor(destination_));
  file_ = ::fdopen(fd, "wb");
  if (!file_) {
    ::close(fd);
    Discard();
    return false;
  }
  length_ = 0;
  if (keep_existing) {
    std::FILE* existing = std::fopen(destination_.c_str(), "rb");
    if (existing) {
      uint8_t buffer[65536];
      size_t n;
      bool ok = true;
      while (ok && (n = std::fread(buffer, 1, sizeof buffer, existing)) > 0) ok = Write(buffer, n);
      ok = ok && !std::ferror(existing);
      std::fclose(existing);
      if (!ok) {
        Discard();
        return false;
      }
    }
  }
  return true;
}

bool ReceivedFile::Write(const uint8_t* data, size_t length) {
  if (!file_) return false;
  const size_t written = std::fwrite(data, 1, length, file_);
  length_ += static_cast<int64_t>(written);
  return written == length;
}

bool ReceivedFile::Commit(int64_t modified) {
  if (!file_) return false;
  bool ok = std::fflush(file_) == 0 && ::fsync(::fileno(file_)) == 0;
  ok = (std::fclose(file_) == 0) && ok;
  file_ = nullptr;
  if (ok && modified >= 0) {
    const struct timespec times[2] = {{static_cast<time_t>(modified), 0}, {static_cast<time_t>(modified), 0}};
    ::utimensat(AT_FDCWD, temporary_.c_str(), times, 0);
  }
  if (ok && ::rename(temporary_.c_str(), destination_.c_str()) != 0) ok = false;
  if (!ok) {
    Trace("\nReceive: could not store %s", destination_.c_str());
    Discard();
    return false;
  }
  temporary_.clear();
  return true;
}

void ReceivedFile::Discard() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
  temporary_.clear();
}

int64_t LocalStampToEpoch(int64_t stamp) {
  const std::time_t as_utc = static_cast<std::time_t>(stamp);
  std::tm parts{};
  if (!::gmtime_r(&as_utc, &parts)) return -1;
  parts.tm_isdst = -1;
  const std::time_t epoch = std::mktime(&parts);
  if (epoch == static_cast<std::time_t>(-1)) return -1;
  return static_cast<int64_t>(epoch) & ~int64_t{1};
}

int64_t EpochToLocalStamp(int64_t epoch) {
  const std::time_t moment = static_cast<std::time_t>(epoch);
  std::tm parts{};
  if (!::localtime_r(&moment, &parts)) {
    const std::time_t now = std::time(nullptr);
    if (!::localtime_r(&now, &parts)) return 315532800;  // 1980-01-01 00:00
  }
  const int64_t stamp = static_cast<int64_t>(::timegm(&parts));
  return stamp < 0 ? 0 : stamp;
}

}  // namespace pelikon
