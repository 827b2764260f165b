// The device as the connector sees it: a store of files and folders with
// Windows-style paths ("\Jobs\JOB1.CRD", always absolute from the device's
// root "\"), classic attribute bits and file times. Every call reports its
// outcome as a DeviceError value; nothing is thrown across this interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon::activesync {

// What went wrong, coarse enough for the connector to choose its code.
enum class DeviceError {
  kNone = 0,
  kNotFound,     // no such file or folder, or a path that would leave the root
  kExists,       // the target name is taken
  kNotEmpty,     // a folder to remove still holds entries
  kDenied,       // permission, a read-only file system, or a folder where a file is wanted
  kNoSpace,      // the device or a file-size limit is full
  kUnsupported,  // the device cannot represent the requested change
  kIo,           // any other failure of the device
};

// Attribute bits, as the collector reports them.
enum DeviceAttribute : uint32_t {
  kDeviceReadOnly = 0x01,
  kDeviceHidden = 0x02,
  kDeviceSystem = 0x04,
  kDeviceFolder = 0x10,
  kDeviceArchive = 0x20,
  kDeviceNormal = 0x80,  // no other bit set; as a request, clears them all
};

// Nanoseconds since 1970-01-01 UTC.
struct DeviceFileTimes {
  int64_t created = 0;
  int64_t accessed = 0;
  int64_t written = 0;
};

struct StoreInformation {
  uint64_t size = 0;  // bytes
  uint64_t free = 0;  // bytes available to the user
};

struct DeviceEntry {
  std::string name;  // the entry's own name, no folder
  uint32_t attributes = 0;
  int64_t written = 0;  // last write, nanoseconds since the epoch
  uint64_t size = 0;    // 0 for folders
};

// A device file open for reading.
class DeviceReader {
 public:
  virtual ~DeviceReader() = default;
  // Reads up to `capacity` bytes; `got` is 0 at the end of the file.
  virtual DeviceError Read(char* buffer, size_t capacity, size_t& got) = 0;
  virtual DeviceError Times(DeviceFileTimes& times) = 0;
};

// A device file being written. Nothing is visible under the file's name
// until Commit() succeeds; dropping the writer without committing leaves
// an existing file of that name exactly as it was.
class DeviceWriter {
 public:
  virtual ~DeviceWriter() = default;
  // Writes the bytes; `written` tells how many were taken before an error.
  virtual DeviceError Write(const char* data, size_t size, size_t& written) = 0;
  // The times the file will carry.
  virtual DeviceError SetTimes(const DeviceFileTimes& times) = 0;
  // Puts the written file in place under its name.
  virtual DeviceError Commit() = 0;
};

class DeviceStore {
 public:
  virtual ~DeviceStore() = default;

  // Size and free space of the device's store.
  virtual DeviceError Information(StoreInformation& info) = 0;
  // True while the device still answers.
  virtual bool StillThere() = 0;

  // The entries of `folder` whose names match `mask` ("*.*", "*.txt", …),
  // "." and ".." left out.
  virtual DeviceError FindFiles(std::string_view folder, std::string_view mask, std::vector<DeviceEntry>& entries) = 0;

  virtual DeviceError GetAttributes(std::string_view path, uint32_t& attributes) = 0;
  // Sets read-only, hidden, system and archive as given (kDeviceNormal: none
  // of them); the folder bit is ignored. A change the device cannot make
  // fails as a whole.
  virtual DeviceError SetAttributes(std::string_view path, uint32_t attributes) = 0;

  virtual DeviceError OpenForReading(std::string_view path, std::unique_ptr<DeviceReader>& reader) = 0;
  // Starts a new content for `path` (created or replaced on Commit()).
  // Readers and writers must not outlive the store that made them.
  virtual DeviceError CreateForWriting(std::string_view path, std::unique_ptr<DeviceWriter>& writer) = 0;

  virtual DeviceError GetTimes(std::string_view path, DeviceFileTimes& times) = 0;
  virtual DeviceError SetTimes(std::string_view path, const DeviceFileTimes& times) = 0;

  // Copies a file with its times; kExists when `to` exists and
  // `fail_if_exists` is set.
  virtual DeviceError Copy(std::string_view from, std::string_view to, bool fail_if_exists) = 0;
  // Deletes a file (never a folder).
  virtual DeviceError Delete(std::string_view path) = 0;
  virtual DeviceError CreateFolder(std::string_view path) = 0;
  // Removes an empty folder.
  virtual DeviceError RemoveFolder(std::string_view path) = 0;
  // Renames a file or folder; with `fail_if_exists` an existing target is
  // never replaced (kExists), and both entries stay as they were.
  virtual DeviceError Rename(std::string_view from, std::string_view to, bool fail_if_exists) = 0;
};

}  // namespace pelikon::activesync
