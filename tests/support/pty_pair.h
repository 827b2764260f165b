// A pseudo-terminal pair for driving the serial driver through a real tty:
// the driver opens the slave by its path, the test plays the collector on
// the master side.
#pragma once

#include <string>
#include <string_view>

namespace pelikon::testing {

class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  const std::string& SlavePath() const { return slave_path_; }
  int MasterFd() const { return master_; }

  // Writes to the master and returns once the slave side can read it all
  // (the kernel hands pty data over asynchronously).
  void Send(std::string_view bytes);
  // Reads from the master until `count` bytes came or `timeout_ms` passed.
  std::string Receive(size_t count, int timeout_ms = 2000);
  // Closes the master: the slave side sees a hang-up.
  void HangUp();

 private:
  int master_ = -1;
  int slave_ = -1;  // kept open so the pair lives while the driver reopens it
  std::string slave_path_;
};

}  // namespace pelikon::testing
