// CRD files kept in memory, for tests and fuzzing: the same locking,
// replacing and removing rules as the file system (crd_storage.h), without
// a single system call. Paths are plain keys; there are no folders.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "coord/crd/crd_storage.h"

namespace pelikon {

class MemoryCrdStorage final : public CrdStorage {
 public:
  // Puts a file with `bytes` at `path`, replacing whatever was there.
  void Put(const std::filesystem::path& path, const uint8_t* bytes, size_t size);
  void Put(const std::filesystem::path& path, const std::string& bytes);
  // The bytes at `path`; nothing when there is no file.
  std::optional<std::string> Get(const std::filesystem::path& path) const;
  // Every path that holds a file.
  std::vector<std::filesystem::path> Paths() const;
  // Makes writes to `path` fail (as on a full disk); opening still works.
  void SetReadOnly(const std::filesystem::path& path, bool read_only);

  std::unique_ptr<CrdOpenFile> Open(const std::filesystem::path& path) override;
  std::unique_ptr<CrdOpenFile> Create(const std::filesystem::path& path, const std::filesystem::path& like) override;
  bool CanOpenForUpdate(const std::filesystem::path& path) override;
  bool Exists(const std::filesystem::path& path) override;
  std::optional<uint64_t> RegularFileSize(const std::filesystem::path& path) override;
  size_t ReadStart(const std::filesystem::path& path, void* buffer, size_t size) override;
  bool Remove(const std::filesystem::path& path) override;
  bool Rename(const std::filesystem::path& from, const std::filesystem::path& to) override;
  bool ReplaceWithTwin(const std::filesystem::path& twin, const std::filesystem::path& target) override;

  // What an open file shares with its path, like an inode.
  struct Content {
    std::vector<uint8_t> bytes;
    bool locked = false;
    bool read_only = false;
  };

 private:
  std::shared_ptr<Content> Find(const std::filesystem::path& path) const;

  std::map<std::string, std::shared_ptr<Content>> files_;
};

}  // namespace pelikon
