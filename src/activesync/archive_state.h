// The archive bit ("changed since the last attribute reset") for a device
// whose file system keeps none. A small state file records, per file
// (by its path relative to the device root), the last-write time it had
// when its attributes were last reset; a file reads as archive when it has
// no record or its time has changed since.
//
// File format: one line per file, "<nanoseconds>\t<relative path>".
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <unordered_map>

namespace pelikon::activesync {

class ArchiveState {
 public:
  // Reads the state file when it exists; a missing or unreadable one
  // starts empty (every file reads as archive).
  explicit ArchiveState(std::filesystem::path state_file);

  bool IsArchive(const std::string& relative_path, int64_t written) const;
  // Records `written` as the file's time at its reset and saves the state
  // file; false when it cannot be saved (the record is then dropped).
  bool Reset(const std::string& relative_path, int64_t written);
  // Forgets the file (it reads as archive again); false when it cannot be saved.
  bool Forget(const std::string& relative_path);

 private:
  bool Save() const;

  std::filesystem::path state_file_;
  std::unordered_map<std::string, int64_t> reset_times_;
};

}  // namespace pelikon::activesync
