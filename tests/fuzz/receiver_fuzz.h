// The shared body of the receiver fuzz targets: arbitrary bytes arrive on
// an in-memory line; whatever they say, nothing may land outside the
// receive folder and no temporary file may be left behind.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "support/memory_port.h"

namespace pelikon::fuzzing {

// `receive(port, folder)` runs one engine's receiver and returns its result.
template <typename Receive>
int FuzzReceiver(const uint8_t* data, size_t size, Receive receive) {
  static const std::filesystem::path folder = [] {
    char pattern[] = "/tmp/pelikon-fuzz-XXXXXX";
    if (!::mkdtemp(pattern)) std::abort();
    return std::filesystem::path(pattern) / "in";
  }();
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  std::filesystem::create_directories(folder);
  FakeClock clock;
  testing::MemorySerialPort port(clock);
  port.Feed(std::string_view(reinterpret_cast<const char*>(data), size));
  const int result = receive(port, folder);
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

}  // namespace pelikon::fuzzing
