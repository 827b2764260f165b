#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "geoid/swap_file.h"

namespace pelikon {

namespace {

// Cells move through a buffer of this many at a time.
constexpr int64_t kChunkCells = 8192;

}  // namespace

std::unique_ptr<SwapFile> SwapFile::Create(const std::filesystem::path& folder) {
  std::string pattern = (folder / "grdXXXXXX").string();
  const int descriptor = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (descriptor < 0) return nullptr;
  return std::unique_ptr<SwapFile>(new SwapFile(descriptor, pattern));
}

SwapFile::~SwapFile() {
  ::close(descriptor_);
  ::unlink(path_.c_str());
}

int64_t SwapFile::Read(int64_t first, GridCell* cells, int64_t count) {
  std::vector<unsigned char> bytes(static_cast<size_t>(std::min(count, kChunkCells)) * kGridCellBytes);
  int64_t done = 0;
  while (done < count) {
    const int64_t want = std::min(count - done, kChunkCells);
    const off_t offset = static_cast<off_t>((first + done) * static_cast<int64_t>(kGridCellBytes));
    const size_t size = static_cast<size_t>(want) * kGridCellBytes;
    size_t got = 0;
    while (got < size) {
      const ssize_t n = ::pread(descriptor_, bytes.data() + got, size - got, offset + static_cast<off_t>(got));
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) return -1;
      if (n == 0) break;
      got += static_cast<size_t>(n);
    }
    const int64_t whole = static_cast<int64_t>(got / kGridCellBytes);
    for (int64_t i = 0; i < whole; ++i) cells[done + i] = DecodeGridCell(bytes.data() + i * kGridCellBytes);
    done += whole;
    if (whole < want) break;
  }
  return done;
}

bool SwapFile::Write(int64_t first, const GridCell* cells, int64_t count) {
  std::vector<unsigned char> bytes(static_cast<size_t>(std::min(count, kChunkCells)) * kGridCellBytes);
  for (int64_t done = 0; done < count;) {
    const int64_t want = std::min(count - done, kChunkCells);
    for (int64_t i = 0; i < want; ++i) EncodeGridCell(cells[done + i], bytes.data() + i * kGridCellBytes);
    const off_t offset = static_cast<off_t>((first + done) * static_cast<int64_t>(kGridCellBytes));
    const size_t size = static_cast<size_t>(want) * kGridCellBytes;
    for (size_t put = 0; put < size;) {
      const ssize_t n = ::pwrite(descriptor_, bytes.data() + put, size - put, offset + static_cast<off_t>(put));
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      put += static_cast<size_t>(n);
    }
    done += want;
  }
  return true;
}

}  // namespace pelikon
