// Mapping a device path onto the folder that stands for the device.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelikon::activesync {

// The path of `device_path` relative to the device's root, with "/"
// between the parts ("" for the root itself). Both "\" and "/" separate
// parts; empty parts and "." are dropped. Nothing when the path could
// leave the root: a ".." part, a NUL byte, or a drive or device prefix
// ("C:", "\\?\").
std::optional<std::string> RelativeDevicePath(std::string_view device_path);

}  // namespace pelikon::activesync
