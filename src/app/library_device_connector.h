// The docked-device carrier as the link sees it (`DeviceConnector`), over
// the connector object of the loaded library, used only through the
// object's table of operations. Owns the object: it is handed back to the
// library's delete function when this goes.
#pragma once

#include <string>

#include "activesync/activesync_connect.h"
#include "link/remote/device_connector.h"

namespace pelikon {

class LibraryDeviceConnector final : public DeviceConnector {
 public:
  LibraryDeviceConnector(ActiveSyncConnect* object, DeleteActiveSyncConnectFunction destroy);
  ~LibraryDeviceConnector() override;
  LibraryDeviceConnector(const LibraryDeviceConnector&) = delete;
  LibraryDeviceConnector& operator=(const LibraryDeviceConnector&) = delete;

  int Connect() override;
  void Disconnect() override;
  int IsConnected() override;
  int GetCurrentFolder(std::string& folder) override;
  int SetCurrentFolder(const std::string& folder) override;
  int GetHomeFolder(std::string& folder) override;
  int SetMask(const std::string& mask) override;
  int FreeSpace(std::string& bytes) override;
  // The library writes the listing into the process's current directory:
  // it is made `target_folder` for the call and restored after it.
  int WriteListing(const std::string& folder, bool show_hidden, const std::string& target_folder) override;
  std::string ErrorText(int code) override;
  int GetFile(const std::string& remote_path, const std::string& local_path) override;
  int PutFile(const std::string& local_path, const std::string& remote_path) override;
  int DeleteFile(const std::string& name) override;
  int RemoveFolder(const std::string& name) override;
  int MakeFolder(const std::string& name) override;
  int Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists) override;
  int SetAttributes(const std::string& path, int attributes) override;

 private:
  // Calls an operation that writes into an out buffer.
  template <typename Operation, typename... Args>
  int ReadOut(Operation operation, std::string& out, Args... args);

  ActiveSyncConnect* object_;
  DeleteActiveSyncConnectFunction destroy_;
};

}  // namespace pelikon
