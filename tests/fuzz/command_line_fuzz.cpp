// Feeds arbitrary argument lists (arguments separated by zero bytes) to the
// switch parser.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<std::string> arguments(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      arguments.emplace_back();
    } else {
      arguments.back() += static_cast<char>(data[i]);
    }
  }
  const pelikon::CommandLineRequest request = pelikon::ParseArguments(arguments);
  if (request.job != pelikon::CommandLineJob::kBatch && !request.batch_file.empty()) std::abort();
  if (request.batch_file.size() > size) std::abort();
  if (request.error.empty() && (request.create_folders || request.overwrite) && !request.no_gui) std::abort();
  return 0;
}
