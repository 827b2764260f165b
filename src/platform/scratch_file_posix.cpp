#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/scratch_file.h"

namespace pelikon {

std::unique_ptr<ScratchFile> ScratchFile::Create(const std::filesystem::path& folder, const std::string& prefix) {
  std::string pattern = (folder / (prefix + "XXXXXX")).string();
  const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  return std::unique_ptr<ScratchFile>(new ScratchFile(descriptor, pattern));
}

ScratchFile::~ScratchFile() {
  ::close(descriptor_);
  ::unlink(path_.c_str());
}

int64_t ScratchFile::ReadAt(uint64_t offset, void* data, size_t size) {
  size_t got = 0;
  while (got < size) {
    const ssize_t n =
        ::pread(descriptor_, static_cast<char*>(data) + got, size - got, static_cast<off_t>(offset + got));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return -1;
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  return static_cast<int64_t>(got);
}

bool ScratchFile::WriteAt(uint64_t offset, const void* data, size_t size) {
  for (size_t put = 0; put < size;) {
    const ssize_t n =
        ::pwrite(descriptor_, static_cast<const char*>(data) + put, size - put, static_cast<off_t>(offset + put));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    put += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace pelikon
