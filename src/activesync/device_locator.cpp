#include "activesync/device_locator.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon::activesync {

namespace {

constexpr std::chrono::milliseconds kPollInterval{50};
constexpr std::string_view kMediaMountPrefix = "mtp:host=";

// The sub-folders of `folder` in name order ("." entries left out).
std::vector<std::string> SubFolders(const std::filesystem::path& folder, std::string_view prefix = {}) {
  std::vector<std::string> names;
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return names;
  while (const struct dirent* item = ::readdir(dir)) {
    const std::string name = item->d_name;
    if (name == "." || name == ".." || name.compare(0, prefix.size(), prefix) != 0) continue;
    struct stat st;
    if (::stat((folder / name).c_str(), &st) == 0 && S_ISDIR(st.st_mode)) names.push_back(name);
  }
  ::closedir(dir);
  std::sort(names.begin(), names.end());
  return names;
}

// One look at the file system, without waiting.
LocatedDevice LookOnce(const std::string& configured, const std::filesystem::path& gvfs_folder) {
  LocatedDevice found;
  if (configured.empty()) {
    const std::vector<std::string> devices = SubFolders(gvfs_folder, kMediaMountPrefix);
    if (devices.size() != 1) {
      found.described = devices.empty()
                            ? StrPrintf(Tr("no media device is mounted under %s"), gvfs_folder.c_str())
                            : StrPrintf(Tr("%zu media devices are mounted under %s; choose one of them in Options"),
                                        devices.size(), gvfs_folder.c_str());
      return found;
    }
    const std::filesystem::path device = gvfs_folder / devices.front();
    const std::vector<std::string> storages = SubFolders(device);
    found.root = storages.empty() ? device : device / storages.front();
  } else {
    found.root = configured;
  }
  const char* root = found.root.c_str();
  struct stat st;
  if (::stat(root, &st) != 0 || !S_ISDIR(st.st_mode)) {
    found.described = StrPrintf(Tr("the device folder %s does not exist"), root);
    return found;
  }
  DIR* dir = ::access(root, R_OK | X_OK) == 0 ? ::opendir(root) : nullptr;
  if (!dir) {
    found.result = LocateResult::kUnreadable;
    found.described = StrPrintf(Tr("the device folder %s cannot be read"), root);
    return found;
  }
  ::closedir(dir);
  found.result = LocateResult::kFound;
  found.described = root;
  return found;
}

}  // namespace

LocatedDevice LocateDevice(const std::string& configured, const std::filesystem::path& gvfs_folder,
                           std::chrono::milliseconds patience) {
  // The looking runs on a thread of its own, so that a hung mount costs
  // the caller no more than its patience; such a thread finishes (or
  // stays blocked in the kernel) on its own.
  struct Shared {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool stop = false;
    LocatedDevice latest;
  };
  auto shared = std::make_shared<Shared>();
  const auto deadline = std::chrono::steady_clock::now() + patience;
  std::thread([shared, configured, gvfs_folder, deadline] {
    for (;;) {
      LocatedDevice seen = LookOnce(configured, gvfs_folder);
      const bool last = seen.result != LocateResult::kNotFound || std::chrono::steady_clock::now() >= deadline;
      std::unique_lock<std::mutex> lock(shared->mutex);
      shared->latest = std::move(seen);
      if (last || shared->stop) {
        shared->finished = true;
        shared->done.notify_all();
        return;
      }
      shared->done.wait_for(lock, kPollInterval, [&] { return shared->stop; });
    }
  }).detach();
  std::unique_lock<std::mutex> lock(shared->mutex);
  const bool finished = shared->done.wait_until(lock, deadline + kPollInterval, [&] { return shared->finished; });
  shared->stop = true;
  shared->done.notify_all();
  LocatedDevice result = shared->latest;
  if (!finished) {
    result.result = LocateResult::kNotFound;
    result.described = StrPrintf(Tr("the device folder %s does not answer"),
                                 configured.empty() ? gvfs_folder.c_str() : configured.c_str());
  }
  return result;
}

std::filesystem::path DesktopMountFolder() {
  if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && *runtime)
    return std::filesystem::path(runtime) / "gvfs";
  return std::filesystem::path("/run/user") / std::to_string(::getuid()) / "gvfs";
}

}  // namespace pelikon::activesync
