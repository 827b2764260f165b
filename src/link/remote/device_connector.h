// The second carrier of the link: a connector to a docked device, used
// through its table of operations (the connector library implements it;
// tests use a fake). Texts are narrow-character paths in the device's
// Windows-style form; results are 1 for success unless said otherwise.
#pragma once

#include <string>

namespace pelikon {

// The connector's failure codes; `ReportTransferError` gives them words.
enum DeviceResult : int {
  kDeviceTargetExists = -500,     // a rename that must not replace met an existing file
  kDeviceNoFiles = -501,          // "Found No Files"
  kDeviceLocalCreate = -502,      // "Can't Create File on Local Machine"
  kDeviceRemoteCreate = -503,     // "Can't Create File on Remote Machine"
  kDeviceClearAttributes = -504,  // "Unable to Clear Attributes"
  kDeviceListingWrite = -505,     // "Unable to write directory listing"
  kDeviceInitFailed = -506,       // "Remote Device Initilization Failed"
  kDeviceNotFound = -507,         // no device answered within a second
  kDeviceLocalRead = -508,        // "Unable to read local file"
  kDeviceRemoteWrite = -509,      // "Unable to write remote file"
  kDeviceRemoteRead = -510,       // "Unable to read remote file"
  kDeviceLocalWrite = -511,       // "Unable to write local file"
};

class DeviceConnector {
 public:
  virtual ~DeviceConnector() = default;
  // 1, kDeviceInitFailed, kDeviceNotFound (no device within 1 s), or 0.
  virtual int Connect() = 0;
  virtual void Disconnect() = 0;
  // Nonzero when the device answers.
  virtual int IsConnected() = 0;
  // The current folder, always ending in "\".
  virtual int GetCurrentFolder(std::string& folder) = 0;
  // 0 when the folder does not exist on the device.
  virtual int SetCurrentFolder(const std::string& folder) = 0;
  virtual int GetHomeFolder(std::string& folder) = 0;
  virtual int SetMask(const std::string& mask) = 0;
  // The free bytes as "%.0f", or 0.
  virtual int FreeSpace(std::string& bytes) = 0;
  // Writes the listing "dir_zzz.txt" of `folder` into `target_folder`.
  // 1, kDeviceListingWrite, kDeviceTargetExists, or a listing error.
  virtual int WriteListing(const std::string& folder, bool show_hidden, const std::string& target_folder) = 0;
  // "Error = %x %x (%x)" for a code without a text of its own.
  virtual std::string ErrorText(int code) = 0;
  // 1, or kDeviceLocalCreate, kDeviceRemoteCreate, kDeviceRemoteRead,
  // kDeviceLocalWrite, -1.
  virtual int GetFile(const std::string& remote_path, const std::string& local_path) = 0;
  // 1, or kDeviceLocalCreate, kDeviceRemoteCreate, kDeviceLocalRead,
  // kDeviceRemoteWrite.
  virtual int PutFile(const std::string& local_path, const std::string& remote_path) = 0;
  // Nonzero on success.
  virtual int DeleteFile(const std::string& name) = 0;
  virtual int RemoveFolder(const std::string& name) = 0;
  virtual int MakeFolder(const std::string& name) = 0;
  // 1, 0, or kDeviceTargetExists when the target exists and `fail_if_exists`.
  virtual int Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists) = 0;
  // Nonzero on success.
  virtual int SetAttributes(const std::string& path, int attributes) = 0;
};

}  // namespace pelikon
