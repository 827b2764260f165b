// Feeds arbitrary command lines to the switch parser.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view line(reinterpret_cast<const char*>(data), size);
  const pelikon::CommandLineRequest request = pelikon::ParseCommandLine(line);
  if (request.job != pelikon::CommandLineJob::kBatch && !request.batch_file.empty()) std::abort();
  if (request.batch_file.size() > size) std::abort();
  return 0;
}
