// Two pseudo-terminals joined by a relay that writes down every byte that
// passes, in the order it sees them: one end for our side, the other for a
// peer program. Used to record golden wire captures; the relay runs on the
// caller's thread, a slice at a time, so the caller can start and watch
// the programs in between.
#pragma once

#include <string>
#include <vector>

#include "support/golden_capture.h"
#include "support/pty_pair.h"

namespace pelikon::testing {

class RecordingRelay {
 public:
  RecordingRelay() = default;
  RecordingRelay(const RecordingRelay&) = delete;
  RecordingRelay& operator=(const RecordingRelay&) = delete;

  const std::string& OursDevice() const { return ours_.SlavePath(); }
  const std::string& PeerDevice() const { return peer_.SlavePath(); }
  // Relays for `ms` milliseconds.
  void RunFor(int ms);
  // What passed, consecutive bytes from one side joined into one piece.
  const std::vector<Capture::Piece>& Pieces() const { return pieces_; }

 private:
  struct Direction {
    PtyPair* from;
    PtyPair* to;
    bool ours;
    std::string pending;  // taken in, not yet passed on
  };
  void Take(Direction& direction);
  void Pass(Direction& direction);

  PtyPair ours_;
  PtyPair peer_;
  Direction directions_[2] = {{&ours_, &peer_, true, {}}, {&peer_, &ours_, false, {}}};
  std::vector<Capture::Piece> pieces_;
};

}  // namespace pelikon::testing
