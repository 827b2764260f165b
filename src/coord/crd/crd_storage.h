// Where CRD files live: the few things the CRD code does to files by their
// paths (open, create, look at, remove, rename, put a twin in place), behind
// one interface. The system's file system serves the program; an in-memory
// store (crd_memory_storage.h) serves tests and fuzzing, so that work on
// many files costs no system calls.
//
// An open file holds an exclusive lock for as long as it is open: while one
// open file has a path, every other attempt to open it (in this process or
// another) fails until it is closed. Removing or renaming a path leaves
// files already open on it working on the same bytes, as the system does.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

namespace pelikon {

// One open, locked file: positioned reads and writes.
class CrdOpenFile {
 public:
  virtual ~CrdOpenFile() = default;
  // The number of bytes read (fewer at the end of the file); 0 on failure.
  virtual size_t ReadUpTo(uint64_t offset, void* buffer, size_t size) const = 0;
  // False unless all `size` bytes were written.
  virtual bool WriteAt(uint64_t offset, const void* data, size_t size) = 0;
  virtual std::optional<uint64_t> Size() const = 0;
  // Makes what was written durable.
  virtual bool Sync() = 0;
};

class CrdStorage {
 public:
  virtual ~CrdStorage() = default;

  // Opens an existing regular file for reading and writing and locks it;
  // nullptr when it cannot be opened for writing or another open file has it.
  virtual std::unique_ptr<CrdOpenFile> Open(const std::filesystem::path& path) = 0;
  // Creates the file, or empties an existing one that nobody holds, and
  // locks it; the new file gets the permissions of `like` when that names
  // a file. nullptr on failure.
  virtual std::unique_ptr<CrdOpenFile> Create(const std::filesystem::path& path, const std::filesystem::path& like) = 0;
  // True when the file can be opened for writing and nobody holds it now.
  virtual bool CanOpenForUpdate(const std::filesystem::path& path) = 0;
  // Anything at all at `path`.
  virtual bool Exists(const std::filesystem::path& path) = 0;
  // The size of a regular file; nothing when there is none at `path`.
  virtual std::optional<uint64_t> RegularFileSize(const std::filesystem::path& path) = 0;
  // Reads the first bytes of a file without opening it for writing; the
  // number read (0 when it cannot be read).
  virtual size_t ReadStart(const std::filesystem::path& path, void* buffer, size_t size) = 0;
  // True when a file was removed.
  virtual bool Remove(const std::filesystem::path& path) = 0;
  virtual bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
  // Puts a fully written twin in place of `target` in one step, durably:
  // at every moment there is a whole file at `target`.
  virtual bool ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target) = 0;
};

// The system's file system.
CrdStorage& SystemCrdStorage();

}  // namespace pelikon
