// The device store over a folder that stands for the device: a mounted
// media device, a USB drive, or any folder. The folder is the device's
// root "\"; device paths map below it with "\" -> "/". Nothing outside the
// folder is ever reached: "..", drive prefixes and symbolic links that
// lead out of it are refused as a missing file (kNotFound). Links that
// stay inside are followed.
//
// Attributes: folder from the file type; read-only when the owner may not
// write; hidden for names starting with "."; system never. The archive bit
// is kept in a state file of Pelikon's own (see ArchiveState). When the
// folder lies on a FAT file system, read-only, hidden, system and archive
// are the file system's own attributes instead.
//
// Files are written through a hidden twin beside the target (".name.part"
// style), renamed over the target only when complete with its times set.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "activesync/archive_state.h"
#include "activesync/device_store.h"

namespace pelikon::activesync {

class FolderDeviceStore : public DeviceStore {
 public:
  // `root` is the device folder; `state_file` holds the archive records
  // for this root (created when first needed).
  FolderDeviceStore(std::filesystem::path root, std::filesystem::path state_file);

  // The host path a device path stands for, or nothing when it would
  // leave the root. The path need not exist, but its folder must.
  std::optional<std::filesystem::path> HostPath(std::string_view device_path) const;

  DeviceError Information(StoreInformation& info) override;
  bool StillThere() override;
  DeviceError FindFiles(std::string_view folder, std::string_view mask, std::vector<DeviceEntry>& entries) override;
  DeviceError GetAttributes(std::string_view path, uint32_t& attributes) override;
  DeviceError SetAttributes(std::string_view path, uint32_t attributes) override;
  DeviceError OpenForReading(std::string_view path, std::unique_ptr<DeviceReader>& reader) override;
  DeviceError CreateForWriting(std::string_view path, std::unique_ptr<DeviceWriter>& writer) override;
  DeviceError GetTimes(std::string_view path, DeviceFileTimes& times) override;
  DeviceError SetTimes(std::string_view path, const DeviceFileTimes& times) override;
  DeviceError Copy(std::string_view from, std::string_view to, bool fail_if_exists) override;
  DeviceError Delete(std::string_view path) override;
  DeviceError CreateFolder(std::string_view path) override;
  DeviceError RemoveFolder(std::string_view path) override;
  DeviceError Rename(std::string_view from, std::string_view to, bool fail_if_exists) override;

 private:
  struct Target {
    std::filesystem::path host;
    std::string relative;  // the archive record's key
    std::filesystem::path real_root;
  };
  std::optional<Target> Resolve(std::string_view device_path) const;
  // True when the resolved path is the root or lies below it.
  static bool Inside(const std::filesystem::path& real_root, const std::filesystem::path& resolved);
  bool OnFat() const;
  DeviceError AttributesOf(const Target& target, uint32_t& attributes) const;
  // The bits kept by Pelikon (not on FAT) of a file with status `st`.
  uint32_t KeptAttributes(const Target& target, const struct stat& st) const;
  DeviceError SetFatAttributes(const Target& target, uint32_t attributes);
  DeviceError SetKeptAttributes(const Target& target, uint32_t attributes);
  DeviceError CopyFile(const Target& from, const Target& to, bool fail_if_exists);
  DeviceError Rename(const Target& from, const Target& to, bool fail_if_exists);

  std::filesystem::path root_;
  ArchiveState archive_;
};

}  // namespace pelikon::activesync
