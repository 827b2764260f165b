// Feeds arbitrary bytes to the Zmodem receiver, as a hostile or broken
// sender might.
#include "link/transfer/start_options.h"
#include "link/zmodem/zmodem.h"
#include "receiver_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pelikon::fuzzing::FuzzReceiver(data, size, [](pelikon::SerialPort& port, const std::filesystem::path& folder) {
    return pelikon::ZmodemReceive(port, folder, nullptr, nullptr, {pelikon::kOptRetryLimit, 3});
  });
}
