// Feeds arbitrary device paths to the device folder store and checks that
// whatever a path maps to lies inside the device's root. The root holds
// links that lead out of it ("up" to its parent, "etc" to /etc) and one
// that stays inside, so that the path through a link is exercised too.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "activesync/device_path.h"
#include "activesync/folder_device_store.h"

namespace {

namespace fs = std::filesystem;

struct Device {
  Device() {
    char pattern[] = "/tmp/pelikon-device-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    base = fs::canonical(pattern);
    root = base / "device";
    fs::create_directories(root / "Jobs" / "Old");
    fs::create_directory_symlink("..", root / "up");
    fs::create_directory_symlink("/etc", root / "etc");
    fs::create_directory_symlink("Jobs/Old", root / "in");
    fs::create_symlink("../../..", root / "Jobs" / "top");
    store = std::make_unique<pelikon::activesync::FolderDeviceStore>(root, base / "state");
  }
  ~Device() {
    std::error_code ignored;
    fs::remove_all(base, ignored);
  }
  fs::path base;
  fs::path root;
  std::unique_ptr<pelikon::activesync::FolderDeviceStore> store;
};

bool Inside(const fs::path& root, const fs::path& path) {
  const std::string text = path.string();
  const std::string prefix = root.string();
  return text == prefix ||
         (text.size() > prefix.size() && text.compare(0, prefix.size(), prefix) == 0 && text[prefix.size()] == '/');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Device device;
  const std::string_view path(reinterpret_cast<const char*>(data), size);

  if (const auto relative = pelikon::activesync::RelativeDevicePath(path)) {
    if (!relative->empty() && (relative->front() == '/' || relative->back() == '/')) std::abort();
    for (const auto& part : fs::path(*relative)) {
      if (part == ".." || part == ".") std::abort();
    }
    if (!Inside(device.root, (device.root / *relative).lexically_normal())) std::abort();
  }

  if (const auto host = device.store->HostPath(path)) {
    if (!Inside(device.root, *host)) std::abort();
    // What the host path finally names, links followed, is inside too.
    std::error_code missing;
    const fs::path real = fs::canonical(*host, missing);
    if (!missing && !Inside(device.root, real)) std::abort();
  }
  return 0;
}
