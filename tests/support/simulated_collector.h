// The collector simulator run as a separate program for whole-session
// tests: it serves `store` on a pseudo-terminal whose path is `Line()`, and
// logs every line it hears ("< ") and says ("> ").
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "link/remote/remote_link.h"
#include "support/peer_process.h"
#include "support/temp_dir.h"

namespace pelikon::testing {

class SimulatedCollector {
 public:
  // Starts the simulator with `knobs` (its command-line switches) serving
  // `store`; false when its line did not appear.
  bool Start(const std::filesystem::path& store, const std::vector<std::string>& knobs = {});
  std::filesystem::path Line() const { return work_ / "line"; }
  std::filesystem::path Log() const { return work_ / "collector.log"; }
  // Opens COM ports on the simulator's line.
  PortOpener Opener(Ui* ui = nullptr) const;
  // The command lines the simulator heard, in order.
  std::vector<std::string> Heard() const;

 private:
  TempDir work_;
  std::unique_ptr<PeerProcess> process_;
};

}  // namespace pelikon::testing
