// A scratch file: a binary file of the program's own, with a unique name
// in a folder the caller gives (the private working folder), read and
// written at byte offsets, and deleted when it is closed. For data that
// does not fit in memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>

namespace pelikon {

class ScratchFile {
 public:
  // A new empty file named `prefix` and a unique ending; nothing when it
  // cannot be made.
  static std::unique_ptr<ScratchFile> Create(const std::filesystem::path& folder, const std::string& prefix);
  ~ScratchFile();  // closes and deletes the file
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  // Reads up to `size` bytes at `offset`; the number read (fewer at the end
  // of the file), -1 on an error.
  int64_t ReadAt(uint64_t offset, void* data, size_t size);
  // Writes all `size` bytes at `offset`; false on an error.
  bool WriteAt(uint64_t offset, const void* data, size_t size);

 private:
  ScratchFile(int descriptor, std::filesystem::path path) : descriptor_(descriptor), path_(std::move(path)) {}
  int descriptor_;
  std::filesystem::path path_;
};

}  // namespace pelikon
