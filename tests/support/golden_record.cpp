// golden-record [--peer-first] [--logs DIR] --ours-dir D --peer-dir D OURS... --peer PEER...
//
// Runs OURS (our side, normally the xfer tool) and PEER, each on its own
// pseudo-terminal in its folder, relays every byte between them and prints
// the stream lines of a golden capture on standard output. The second
// program starts 1.5 s after the first, so the one that waits is ready.
// Once our side has ended, the peer gets 5 s to end too (some wait for a
// closing handshake that never comes) before it is stopped. Exit status 0
// when our side ended with 0; both statuses go to standard error.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "support/golden_capture.h"
#include "support/peer_process.h"
#include "support/recording_relay.h"

namespace {

using pelikon::testing::PeerProcess;

struct Arguments {
  bool peer_first = false;
  std::string logs;
  std::string ours_dir;
  std::string peer_dir;
  std::vector<std::string> ours;
  std::vector<std::string> peer;
};

bool Parse(int argc, char** argv, Arguments& args) {
  std::vector<std::string>* command = nullptr;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (command == &args.peer) {
      args.peer.push_back(arg);
    } else if (arg == "--peer") {
      command = &args.peer;
    } else if (command == &args.ours) {
      args.ours.push_back(arg);
    } else if (arg == "--peer-first") {
      args.peer_first = true;
    } else if ((arg == "--logs" || arg == "--ours-dir" || arg == "--peer-dir") && i + 1 < argc) {
      (arg == "--logs" ? args.logs : arg == "--ours-dir" ? args.ours_dir : args.peer_dir) = argv[++i];
    } else if (!arg.empty() && arg[0] != '-') {
      command = &args.ours;
      args.ours.push_back(arg);
    } else {
      return false;
    }
  }
  return !args.ours.empty() && !args.peer.empty() && !args.ours_dir.empty() && !args.peer_dir.empty();
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  if (!Parse(argc, argv, args)) {
    std::fprintf(stderr,
                 "usage: golden-record [--peer-first] [--logs DIR] --ours-dir D --peer-dir D OURS... --peer PEER...\n");
    return 2;
  }
  pelikon::testing::RecordingRelay relay;
  const std::string log_dir = args.logs.empty() ? std::string() : args.logs + "/";
  std::unique_ptr<PeerProcess> ours, peer;
  auto start_ours = [&] {
    ours = std::make_unique<PeerProcess>(args.ours, relay.OursDevice(), args.ours_dir,
                                         log_dir.empty() ? "" : log_dir + "ours.log");
  };
  auto start_peer = [&] {
    peer = std::make_unique<PeerProcess>(args.peer, relay.PeerDevice(), args.peer_dir,
                                         log_dir.empty() ? "" : log_dir + "peer.log");
  };
  if (args.peer_first) {
    start_peer();
    relay.RunFor(1500);
    start_ours();
  } else {
    start_ours();
    relay.RunFor(1500);
    start_peer();
  }
  for (int waited = 0; ours->Running() && waited < 120000; waited += 20) relay.RunFor(20);
  if (ours->Running()) ours->Kill();
  for (int waited = 0; peer->Running() && waited < 5000; waited += 20) relay.RunFor(20);
  if (peer->Running()) peer->Kill();
  relay.RunFor(200);

  for (const auto& piece : relay.Pieces())
    std::fputs(pelikon::testing::FormatPiece(piece.ours, piece.bytes).c_str(), stdout);
  const int ours_status = ours->Wait(0);
  const int peer_status = peer->Wait(0);
  std::fprintf(stderr, "golden-record: our side ended with %d, the peer with %d\n", ours_status, peer_status);
  return ours_status == 0 ? 0 : 1;
}
