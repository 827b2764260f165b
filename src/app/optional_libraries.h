// The libraries the program uses when they are installed and does without
// otherwise: the docked-device connector and the file-format converter.
// Both are looked up by name at start; a missing one is not reported — the
// features that need it say so when used.
#pragma once

#include <filesystem>
#include <memory>

#include "link/convert/converter.h"
#include "link/remote/device_connector.h"
#include "platform/dynamic_library.h"

namespace pelikon {

class OptionalLibraries {
 public:
  OptionalLibraries();
  // Hands the connector object back to its library.
  ~OptionalLibraries();
  OptionalLibraries(const OptionalLibraries&) = delete;
  OptionalLibraries& operator=(const OptionalLibraries&) = delete;

  // Looks both up, next to the program first, and makes the connector
  // object when the connector library has both of its entry points.
  void Bind(const std::filesystem::path& program_folder);
  // The connector object exists.
  bool DeviceConnectorAvailable() const { return device_ != nullptr; }
  // The docked-device carrier, or null.
  DeviceConnector* Device() const { return device_.get(); }
  // The converter with all five of its conversions.
  bool ConversionsAvailable() const { return converter_.Available(); }
  // The conversions; each returns 0 unless ConversionsAvailable().
  Converter& FileConverter() { return converter_; }

 private:
  DynamicLibrary connector_;
  std::unique_ptr<DeviceConnector> device_;
  Converter converter_;
};

}  // namespace pelikon
