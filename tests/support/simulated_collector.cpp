#include "support/simulated_collector.h"

#include <chrono>
#include <fstream>
#include <thread>

#include "link/serial/serial_port.h"

namespace pelikon::testing {

bool SimulatedCollector::Start(const std::filesystem::path& store, const std::vector<std::string>& knobs) {
  std::vector<std::string> argv = {std::string(PELIKON_BIN_DIR) + "/collector-sim",
                                   "--root",
                                   store.string(),
                                   "--link",
                                   Line().string(),
                                   "--log",
                                   Log().string()};
  argv.insert(argv.end(), knobs.begin(), knobs.end());
  process_ = std::make_unique<PeerProcess>(argv, "/dev/null", work_.Path());
  // The simulator makes its line within milliseconds of starting.
  for (int i = 0; i < 500 && !std::filesystem::exists(Line()); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return std::filesystem::exists(Line());
}

PortOpener SimulatedCollector::Opener(Ui* ui) const {
  const std::string line = Line().string();
  return [line, ui](int index, int baud) {
    SerialHooks hooks;
    hooks.ui = ui;
    return OpenSerialLink(index, baud, line, hooks);
  };
}

std::vector<std::string> SimulatedCollector::Heard() const {
  std::ifstream log(Log());
  std::vector<std::string> lines;
  for (std::string line; std::getline(log, line);)
    if (line.rfind("< ", 0) == 0) lines.push_back(line.substr(2));
  return lines;
}

}  // namespace pelikon::testing
