// The library's two exports and the table that fronts the connector
// object. Nothing else of the library is visible to its users.
#include <unistd.h>

#include <cstdlib>
#include <new>
#include <utility>

#include "activesync/activesync_connect.h"
#include "activesync/activesync_connector.h"
#include "platform/settings_store.h"
#include "platform/text.h"

namespace {

using pelikon::activesync::ActiveSyncConnector;
using pelikon::activesync::ConnectorPlaces;

// The object as the program sees it (its table), with the connector behind.
struct ConnectObject : ActiveSyncConnect {
  ConnectObject(const ActiveSyncConnectOps* operations, ActiveSyncConnector&& impl)
      : ActiveSyncConnect{operations}, connector(std::move(impl)) {}
  ActiveSyncConnector connector;
};

ActiveSyncConnector& Of(ActiveSyncConnect* self) {
  return static_cast<ConnectObject*>(self)->connector;
}

std::string Text(const char* text) {
  return text ? std::string(text) : std::string();
}

// The user's "asyncroot" setting, read afresh at every connect.
ConnectorPlaces UserPlaces() {
  ConnectorPlaces places;
  places.configured_root = pelikon::OpenUserSettings()->GetValue("asyncroot");
  places.gvfs_folder = pelikon::activesync::DesktopMountFolder();
  places.state_folder = pelikon::DefaultSettingsFolder();
  return places;
}

void Destroy(ActiveSyncConnect* self, unsigned flags) {
  Of(self).Disconnect();
  if (flags & 1U) delete static_cast<ConnectObject*>(self);
}
int Connect(ActiveSyncConnect* self) {
  return Of(self).Connect();
}
void Disconnect(ActiveSyncConnect* self) {
  Of(self).Disconnect();
}
int IsConnected(ActiveSyncConnect* self) {
  return Of(self).IsConnected();
}
int GetCurrentFolder(ActiveSyncConnect* self, char* out) {
  return Of(self).GetCurrentFolder(out);
}
int SetCurrentFolder(ActiveSyncConnect* self, const char* path) {
  return Of(self).SetCurrentFolder(Text(path));
}
int GetHomeFolder(ActiveSyncConnect* self, char* out) {
  return Of(self).GetHomeFolder(out);
}
int SetMask(ActiveSyncConnect* self, const char* mask) {
  return Of(self).SetMask(Text(mask));
}
int FreeSpace(ActiveSyncConnect* self, char* out) {
  return Of(self).FreeSpace(out);
}
int WriteListing(ActiveSyncConnect* self, const char* folder, int show_hidden) {
  // The listing goes to the caller's current directory.
  return Of(self).WriteListing(Text(folder), show_hidden != 0, "dir_zzz.txt");
}
void ErrorText(ActiveSyncConnect* self, int /*code*/, char* out) {
  Of(self).ErrorText(out);
}
int GetFile(ActiveSyncConnect* self, const char* remote_path, const char* local_path) {
  return Of(self).GetFile(Text(remote_path), Text(local_path));
}
int PutFile(ActiveSyncConnect* self, const char* local_path, const char* remote_path) {
  return Of(self).PutFile(Text(local_path), Text(remote_path));
}
int DeleteFile(ActiveSyncConnect* self, const char* name) {
  return Of(self).DeleteFile(Text(name));
}
int RemoveFolder(ActiveSyncConnect* self, const char* name) {
  return Of(self).RemoveFolder(Text(name));
}
int MakeFolder(ActiveSyncConnect* self, const char* name) {
  return Of(self).MakeFolder(Text(name));
}
int Rename(ActiveSyncConnect* self, const char* old_name, const char* new_name, int fail_if_exists) {
  return Of(self).Rename(Text(old_name), Text(new_name), fail_if_exists != 0);
}
int SetAttributes(ActiveSyncConnect* self, const wchar_t* path, unsigned attributes) {
  return Of(self).SetAttributes(pelikon::Utf8FromWide(path ? path : L""), attributes);
}

constexpr ActiveSyncConnectOps kOperations = {
    Destroy,       Connect,    Disconnect,   IsConnected,  GetCurrentFolder, SetCurrentFolder,
    GetHomeFolder, SetMask,    FreeSpace,    WriteListing, ErrorText,        GetFile,
    PutFile,       DeleteFile, RemoveFolder, MakeFolder,   Rename,           SetAttributes,
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) ActiveSyncConnect* new_ActiveSyncConnect(void) {
  auto* object = new (std::nothrow) ConnectObject(&kOperations, ActiveSyncConnector(UserPlaces));
  return object;
}

__attribute__((visibility("default"))) void delete_ActiveSyncConnect(ActiveSyncConnect* object) {
  if (object) object->ops->destroy(object, 1);
}
}
