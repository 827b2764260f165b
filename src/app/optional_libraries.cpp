#include "app/optional_libraries.h"

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

void OptionalLibraries::Bind(const std::filesystem::path& program_folder) {
  if (!connector_.Load("tolvane.DLL", program_folder)) Trace("no device connector: %s", connector_.LastError().c_str());
  connector_available_ = HasAll(connector_, {"new_ActiveSyncConnect", "delete_ActiveSyncConnect"});
  converter_.Bind(program_folder);
}

}  // namespace pelikon
