// An open CRD file: positioned reads and writes on a file that holds an
// exclusive lock on itself for as long as it is open (see crd_storage.h).
//
// The lock stands in for the deny-write sharing the file format was made
// for: while one stream has the file, every other attempt to open it as a
// stream (in this process or another) fails until it is closed. The lock
// belongs to the open file itself, not to the process, so two streams of
// one process exclude each other too, and closing one never drops
// another's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

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
  void Close() { file_.reset(); }

  // True only when all `size` bytes were read.
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const { return ReadUpTo(offset, buffer, size) == size; }
  // The number of bytes read (fewer at the end of the file); 0 on failure.
  size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const {
    return file_ ? file_->ReadUpTo(offset, buffer, size) : 0;
  }
  bool WriteAt(uint64_t offset, const void* data, size_t size) { return file_ && file_->WriteAt(offset, data, size); }
  std::optional<uint64_t> Size() const { return file_ ? file_->Size() : std::nullopt; }
  // Flushes the file's data to the disk.
  bool Sync() { return file_ && file_->Sync(); }

 private:
  std::unique_ptr<CrdOpenFile> file_;
};

// True when the file can be opened for writing and no stream has it now.
inline bool CanOpenForUpdate(const std::filesystem::path& path, CrdStorage& storage = SystemCrdStorage()) {
  return storage.CanOpenForUpdate(path);
}

}  // namespace pelikon
