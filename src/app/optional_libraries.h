// The libraries the program uses when they are installed and does without
// otherwise: the docked-device connector and the file-format converter.
// Both are looked up by name at start; a missing one is not reported — the
// features that need it say so when used.
#pragma once

#include <filesystem>

#include "platform/dynamic_library.h"

namespace pelikon {

class OptionalLibraries {
 public:
  // Looks both up, next to the program first.
  void Bind(const std::filesystem::path& program_folder);
  // The connector library with both of its entry points.
  bool DeviceConnectorAvailable() const { return connector_available_; }
  // The converter with all five of its conversions.
  bool ConversionsAvailable() const { return conversions_available_; }

 private:
  DynamicLibrary connector_;
  DynamicLibrary converter_;
  bool connector_available_ = false;
  bool conversions_available_ = false;
};

}  // namespace pelikon
