// Feeds arbitrary bytes to the Zmodem receiver, as a hostile or broken
// sender might. Whatever arrives, nothing may land outside the folder and
// no temporary file may be left behind.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "link/transfer/start_options.h"
#include "link/zmodem/zmodem.h"
#include "support/memory_port.h"

namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    char pattern[] = "/tmp/pelikon-zfuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    return std::filesystem::path(pattern) / "in";
  }();
  return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::filesystem::path& folder = Folder();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  pelikon::FakeClock clock;
  pelikon::testing::MemorySerialPort port(clock);
  port.Feed(std::string_view(reinterpret_cast<const char*>(data), size));
  const int result = pelikon::ZmodemReceive(port, folder, nullptr, nullptr, {pelikon::kOptRetryLimit, 3});
  // Received files are the only entries, and none is a temporary one.
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    if (entry.path().filename().string().rfind(".pelikon-", 0) == 0) std::abort();
    if (!entry.is_regular_file()) std::abort();
    ++files;
  }
  if (result >= 0 && files < result) std::abort();
  for (const auto& entry : std::filesystem::directory_iterator(folder.parent_path()))
    if (entry.path() != folder) std::abort();
  return 0;
}
