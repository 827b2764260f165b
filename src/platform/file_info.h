// What the program needs to know of a folder's entries, the same on every
// system: name, size, last-write time, and the classic attribute bits.
//
// On this system: hidden = the name starts with "." ("." and ".." excepted);
// read-only = the effective user may not write it by its mode bits; system
// is never set; archive is set on regular files; folder on folders (a link
// counts as what it points to).
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace pelikon {

enum FileAttributeBits : int32_t {
  kAttrReadOnly = 0x01,
  kAttrHidden = 0x02,
  kAttrSystem = 0x04,
  kAttrFolder = 0x10,
  kAttrArchive = 0x20,
};

struct FileInfo {
  std::string name;
  uint64_t size = 0;
  std::time_t modified = 0;  // last write, seconds since the epoch
  int32_t attributes = 0;
  bool IsFolder() const { return (attributes & kAttrFolder) != 0; }
};

// True when `name` matches `mask` as the collector's file system matches:
// "*" any run of characters, "?" any one character, letters without regard
// to case; a mask ending in ".*" also matches the name without an
// extension, so "*.*" matches every name.
bool MatchesMask(std::string_view name, std::string_view mask);

// Calls `visit` for each entry of `folder` whose name matches `mask`, in
// the order the file system returns them, "." and ".." included (".." is
// left out at the root, which has no parent). False when the folder cannot
// be read.
bool EnumerateFolder(const std::filesystem::path& folder, std::string_view mask,
                     const std::function<void(const FileInfo&)>& visit);

// Free bytes available to the user on the file system of `path`; 0 when
// unknown.
uint64_t FreeBytes(const std::filesystem::path& path);

}  // namespace pelikon
