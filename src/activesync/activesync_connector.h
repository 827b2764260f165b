// The connector object behind the library's table of operations: the
// session with one docked device, its current folder and listing mask, and
// the copies between the device and the PC. The device is a `DeviceStore`
// over the device folder found at connect (see device_locator.h).
//
// Every operation answers in the table's codes (activesync_connect.h); the
// reasons behind the last failure are kept for errorText().
//
// Copies never leave a half-written file under the target's name: the PC
// copy of a device file and the device copy of a PC file are written to a
// hidden twin beside the target and put in place only when complete with
// their times set; a failure leaves an existing target as it was.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "activesync/device_locator.h"
#include "activesync/device_store.h"

namespace pelikon::activesync {

// Where the connector finds its device and keeps its state.
struct ConnectorPlaces {
  std::string configured_root;         // "asyncroot"; empty: the desktop's media mount
  std::filesystem::path gvfs_folder;   // where the desktop mounts media devices
  std::filesystem::path state_folder;  // the archive records, one file per device root
};

class ActiveSyncConnector {
 public:
  // `places` is asked at every connect (the user may have chosen another
  // folder in between).
  explicit ActiveSyncConnector(std::function<ConnectorPlaces()> places,
                               std::chrono::milliseconds patience = std::chrono::milliseconds(1000));

  int Connect();
  void Disconnect();
  int IsConnected();
  int GetCurrentFolder(char* out) const;
  int SetCurrentFolder(const std::string& path);
  int GetHomeFolder(char* out) const;
  int SetMask(const std::string& mask);
  int FreeSpace(char* out);
  // Writes `listing_file`.
  int WriteListing(const std::string& folder, bool show_hidden, const std::filesystem::path& listing_file);
  void ErrorText(char* out) const;
  int GetFile(const std::string& remote_path, const std::string& local_path);
  int PutFile(const std::string& local_path, const std::string& remote_path);
  int DeleteFile(const std::string& name);
  int RemoveFolder(const std::string& name);
  int MakeFolder(const std::string& name);
  int Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists);
  int SetAttributes(const std::string& path, uint32_t attributes);

 private:
  // `name` as a device path: as it is when it starts with "\", else in the
  // current folder.
  std::string Resolved(const std::string& name) const;
  // Keeps the reason of a failure; returns `code`.
  int Failed(int code, DeviceError error, int system_error = 0);
  int Succeeded(DeviceError error);
  int ListPattern(std::string& out, const std::string& folder, const std::string& pattern, int mode, bool show_hidden);

  std::function<ConnectorPlaces()> places_;
  std::chrono::milliseconds patience_;
  std::unique_ptr<DeviceStore> store_;
  std::string current_folder_ = "\\";
  std::string mask_ = "*.*";
  // The last failure: the device's reason, the connect outcome and the
  // system's error number, and the words of what connect found.
  DeviceError last_device_error_ = DeviceError::kNone;
  int last_connect_result_ = 0;
  int last_system_error_ = 0;
  std::string last_described_;
};

}  // namespace pelikon::activesync
