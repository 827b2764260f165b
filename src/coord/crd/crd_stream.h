// An open CRD file: positioned reads and writes on a descriptor that holds
// an exclusive advisory lock on the whole file for as long as it is open.
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
#include <optional>

namespace pelikon {

class CrdStream {
 public:
  CrdStream() = default;
  ~CrdStream() { Close(); }
  CrdStream(const CrdStream&) = delete;
  CrdStream& operator=(const CrdStream&) = delete;
  CrdStream(CrdStream&& other) noexcept;
  CrdStream& operator=(CrdStream&& other) noexcept;

  // Opens an existing file for reading and writing and locks it. False
  // when it cannot be opened for writing or another stream has it.
  bool Open(const std::filesystem::path& path);
  // Creates the file, or empties an existing one, and locks it; the new
  // file gets the permissions of `like` when that names a file.
  bool Create(const std::filesystem::path& path, const std::filesystem::path& like = {});
  bool IsOpen() const { return fd_ >= 0; }
  void Close();

  // True only when all `size` bytes were read.
  bool ReadAt(uint64_t offset, void* buffer, size_t size) const;
  // The number of bytes read (fewer at the end of the file); 0 on failure.
  size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const;
  bool WriteAt(uint64_t offset, const void* data, size_t size);
  std::optional<uint64_t> Size() const;
  // Flushes the file's data to the disk.
  bool Sync();

 private:
  int fd_ = -1;
};

// True when the file can be opened for writing and no stream has it now.
bool CanOpenForUpdate(const std::filesystem::path& path);

}  // namespace pelikon
