#include "app/optional_libraries.h"

#include "app/library_device_connector.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

bool HasAll(const DynamicLibrary& library, std::initializer_list<const char*> names) {
  if (!library.IsLoaded()) return false;
  for (const char* name : names)
    if (!library.Symbol(name)) return false;
  return true;
}

}  // namespace

OptionalLibraries::OptionalLibraries() = default;

OptionalLibraries::~OptionalLibraries() = default;

void OptionalLibraries::Bind(const std::filesystem::path& program_folder) {
  device_.reset();
  if (!connector_.Load("tolvane.DLL", program_folder)) Trace("no device connector: %s", connector_.LastError().c_str());
  if (HasAll(connector_, {"new_ActiveSyncConnect", "delete_ActiveSyncConnect"})) {
    // The connector may leave threads of its own behind (a device that
    // does not answer): it stays loaded.
    connector_.KeepLoaded();
    const auto make = connector_.Bind<NewActiveSyncConnectFunction>("new_ActiveSyncConnect");
    const auto destroy = connector_.Bind<DeleteActiveSyncConnectFunction>("delete_ActiveSyncConnect");
    if (ActiveSyncConnect* object = make()) device_ = std::make_unique<LibraryDeviceConnector>(object, destroy);
  }
  converter_.Bind(program_folder);
}

}  // namespace pelikon
