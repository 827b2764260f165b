// Feeds arbitrary bytes to the Kermit receiver, as a hostile or broken
// sender might.
#include "link/kermit/kermit.h"
#include "receiver_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return pelikon::fuzzing::FuzzReceiver(data, size, [](pelikon::SerialPort& port, const std::filesystem::path& folder) {
    return pelikon::KermitReceive(port, folder, nullptr, nullptr, {});
  });
}
