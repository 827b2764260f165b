// An open CRD file: positioned reads and writes on a file that holds an
// exclusive lock on itself for as long as it is open (see crd_storage.h).
//
// The lock stands in for the deny-write sharing the file format was made
// for: while one stream has the file, every other attempt to open it as a
// stream (in this process or another) fails until it is closed. The lock
// belongs to the open file itself, not to the process, so two streams of
// one process exclude each other too, and closing one never drops
// another's lock.
//
// Reads that follow each other through the file (a walk record by record)
// are served from a block read ahead; any write, and opening or closing,
// forgets the block, so what is read is always what the file holds.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "coord/crd/crd_storage.h"

namespace pelikon {

class CrdStream {
 public:
  CrdStream() = default;
  CrdStream(CrdStream&& other) noexcept = default;
  CrdStream& operator=(CrdStream&& other) noexcept = default;

  // Opens an existing file for reading and writing and locks it. False
  // when it cannot be opened for writing or another stream has it.
  bool Open(const std::filesystem::path& path, CrdStorage& storage = SystemCrdStorage()) {
    Close();  // a stream reopening its own file must let go of it first
    file_ = storage.Open(path);
    return IsOpen();
  }
  // Creates the file, or empties an existing one, and locks it; the new
  // file gets the permissions of `like` when that names a file.
  bool Create(const std::filesystem::path& path, const std::filesystem::path& like = {},
              CrdStorage& storage = SystemCrdStorage()) {
    Close();
    file_ = storage.Create(path, like);
    return IsOpen();
  }
  bool IsOpen() const { return file_ != nullptr; }
  void Close() {
    Forget();
    file_.reset();
  }

  // True only when all `size` bytes were read.
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const { return ReadUpTo(offset, buffer, size) == size; }
  // The number of bytes read (fewer at the end of the file); 0 on failure.
  size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const {
    if (!file_) return 0;
    const bool follows = offset == next_offset_;
    next_offset_ = offset + size;
    if (offset >= ahead_offset_ && offset - ahead_offset_ < ahead_.size()) {
      const size_t at = static_cast<size_t>(offset - ahead_offset_);
      const size_t got = std::min(size, ahead_.size() - at);
      std::memcpy(buffer, ahead_.data() + at, got);
      if (got == size) return got;
      // The rest lies beyond the block: read it from the file.
      return got + ReadUpTo(offset + got, static_cast<char*>(buffer) + got, size - got);
    }
    if (!follows || size > kReadAhead / 4) return file_->ReadUpTo(offset, buffer, size);
    ahead_.resize(kReadAhead);
    ahead_.resize(file_->ReadUpTo(offset, ahead_.data(), kReadAhead));
    ahead_offset_ = offset;
    const size_t got = std::min(size, ahead_.size());
    std::memcpy(buffer, ahead_.data(), got);
    return got;
  }
  bool WriteAt(uint64_t offset, const void* data, size_t size) {
    Forget();
    return file_ && file_->WriteAt(offset, data, size);
  }
  std::optional<uint64_t> Size() const { return file_ ? file_->Size() : std::nullopt; }
  // Flushes the file's data to the disk.
  bool Sync() { return file_ && file_->Sync(); }

 private:
  static constexpr size_t kReadAhead = 64 * 1024;

  void Forget() {
    ahead_.clear();
    next_offset_ = UINT64_MAX;
  }

  std::unique_ptr<CrdOpenFile> file_;
  // The block read ahead (empty when none) and where it starts; where the
  // next read starts when the reads follow each other.
  mutable std::vector<char> ahead_;
  mutable uint64_t ahead_offset_ = 0;
  mutable uint64_t next_offset_ = UINT64_MAX;
};

// True when the file can be opened for writing and no stream has it now.
inline bool CanOpenForUpdate(const std::filesystem::path& path, CrdStorage& storage = SystemCrdStorage()) {
  return storage.CanOpenForUpdate(path);
}

}  // namespace pelikon
