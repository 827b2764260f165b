// The second carrier of the link: a connector to a docked device, used
// through its table of operations (the connector library implements it;
// tests use a fake). Texts are narrow-character paths in the device's
// Windows-style form; results are 1 for success unless said otherwise.
#pragma once

#include <string>

namespace pelikon {

class DeviceConnector {
 public:
  virtual ~DeviceConnector() = default;
  // 1, or -506 (initialisation failed), -507 (no device within 1 s), 0.
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
  // 1, -505, -500, or a listing error.
  virtual int WriteListing(const std::string& folder, bool show_hidden, const std::string& target_folder) = 0;
  // "Error = %x %x (%x)" for a code without a text of its own.
  virtual std::string ErrorText(int code) = 0;
  // 1, or -502, -503, -510, -511, -1.
  virtual int GetFile(const std::string& remote_path, const std::string& local_path) = 0;
  // 1, or -502, -503, -508, -509.
  virtual int PutFile(const std::string& local_path, const std::string& remote_path) = 0;
  // Nonzero on success.
  virtual int DeleteFile(const std::string& name) = 0;
  virtual int RemoveFolder(const std::string& name) = 0;
  virtual int MakeFolder(const std::string& name) = 0;
  // 1, 0, or -500 when the target exists and `fail_if_exists`.
  virtual int Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists) = 0;
  // Nonzero on success.
  virtual int SetAttributes(const std::string& path, int attributes) = 0;
};

}  // namespace pelikon
