// The libraries the program uses when they are installed and does without
// otherwise: the docked-device connector and the file-format converter.
// Both are looked up by name at start; a missing one is not reported — the
// features that need it say so when used.
#pragma once

#include <filesystem>

#include "link/convert/converter.h"
#include "platform/dynamic_library.h"

namespace pelikon {

class OptionalLibraries {
 public:
  // Looks both up, next to the program first.
  void Bind(const std::filesystem::path& program_folder);
  // The connector library with both of its entry points.
  bool DeviceConnectorAvailable() const { return connector_available_; }
  // The converter with all five of its conversions.
  bool ConversionsAvailable() const { return converter_.Available(); }
  // The conversions; each returns 0 unless ConversionsAvailable().
  Converter& FileConverter() { return converter_; }

 private:
  DynamicLibrary connector_;
  Converter converter_;
  bool connector_available_ = false;
};

}  // namespace pelikon
