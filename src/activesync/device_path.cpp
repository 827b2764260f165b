#include "activesync/device_path.h"

namespace pelikon::activesync {

std::optional<std::string> RelativeDevicePath(std::string_view device_path) {
  if (device_path.find('\0') != std::string_view::npos) return std::nullopt;
  if (device_path.find(':') != std::string_view::npos) return std::nullopt;
  std::string relative;
  size_t start = 0;
  while (start <= device_path.size()) {
    size_t end = device_path.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = device_path.size();
    const std::string_view part = device_path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part == "..") return std::nullopt;
    // Windows ignores trailing dots and blanks; here they would name
    // another file, and "..." would be read as "..".
    if (part.find_first_not_of('.') == std::string_view::npos) return std::nullopt;
    if (!relative.empty()) relative += '/';
    relative += part;
  }
  return relative;
}

}  // namespace pelikon::activesync
