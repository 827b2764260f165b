#include "app/library_device_connector.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>

#include "platform/text.h"

namespace pelikon {

LibraryDeviceConnector::LibraryDeviceConnector(ActiveSyncConnect* object, DeleteActiveSyncConnectFunction destroy)
    : object_(object), destroy_(destroy) {}

LibraryDeviceConnector::~LibraryDeviceConnector() {
  if (destroy_) destroy_(object_);
}

template <typename Operation, typename... Args>
int LibraryDeviceConnector::ReadOut(Operation operation, std::string& out, Args... args) {
  // A margin past the interface's size, and a terminator whatever comes back.
  std::array<char, 2 * ACTIVESYNC_PATH_CHARS> buffer{};
  const int result = operation(object_, args..., buffer.data());
  buffer.back() = '\0';
  out = buffer.data();
  return result;
}

int LibraryDeviceConnector::Connect() {
  return object_->ops->connect(object_);
}

void LibraryDeviceConnector::Disconnect() {
  object_->ops->disconnect(object_);
}

int LibraryDeviceConnector::IsConnected() {
  return object_->ops->isConnected(object_);
}

int LibraryDeviceConnector::GetCurrentFolder(std::string& folder) {
  return ReadOut(object_->ops->getCurrentFolder, folder);
}

int LibraryDeviceConnector::SetCurrentFolder(const std::string& folder) {
  return object_->ops->setCurrentFolder(object_, folder.c_str());
}

int LibraryDeviceConnector::GetHomeFolder(std::string& folder) {
  return ReadOut(object_->ops->getHomeFolder, folder);
}

int LibraryDeviceConnector::SetMask(const std::string& mask) {
  return object_->ops->setMask(object_, mask.c_str());
}

int LibraryDeviceConnector::FreeSpace(std::string& bytes) {
  return ReadOut(object_->ops->freeSpace, bytes);
}

int LibraryDeviceConnector::WriteListing(const std::string& folder, bool show_hidden,
                                         const std::string& target_folder) {
  const int previous = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (previous < 0 || ::chdir(target_folder.c_str()) != 0) {
    if (previous >= 0) ::close(previous);
    return kDeviceListingWrite;
  }
  const int result = object_->ops->writeListing(object_, folder.c_str(), show_hidden ? 1 : 0);
  // Going back cannot be helped if it fails; the program uses no relative paths.
  [[maybe_unused]] const int restored = ::fchdir(previous);
  ::close(previous);
  return result;
}

std::string LibraryDeviceConnector::ErrorText(int code) {
  std::array<char, 2 * ACTIVESYNC_PATH_CHARS> buffer{};
  object_->ops->errorText(object_, code, buffer.data());
  buffer.back() = '\0';
  return buffer.data();
}

int LibraryDeviceConnector::GetFile(const std::string& remote_path, const std::string& local_path) {
  return object_->ops->getFile(object_, remote_path.c_str(), local_path.c_str());
}

int LibraryDeviceConnector::PutFile(const std::string& local_path, const std::string& remote_path) {
  return object_->ops->putFile(object_, local_path.c_str(), remote_path.c_str());
}

int LibraryDeviceConnector::DeleteFile(const std::string& name) {
  return object_->ops->deleteFile(object_, name.c_str());
}

int LibraryDeviceConnector::RemoveFolder(const std::string& name) {
  return object_->ops->removeFolder(object_, name.c_str());
}

int LibraryDeviceConnector::MakeFolder(const std::string& name) {
  return object_->ops->makeFolder(object_, name.c_str());
}

int LibraryDeviceConnector::Rename(const std::string& old_name, const std::string& new_name, bool fail_if_exists) {
  return object_->ops->rename(object_, old_name.c_str(), new_name.c_str(), fail_if_exists ? 1 : 0);
}

int LibraryDeviceConnector::SetAttributes(const std::string& path, int attributes) {
  const std::wstring wide = WideFromUtf8(path);
  return object_->ops->setAttributes(object_, wide.c_str(), static_cast<unsigned>(attributes));
}

}  // namespace pelikon
