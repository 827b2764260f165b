// Two pseudo-terminal pairs joined by a relay thread: one end for our
// engine, the other for a peer program (or a second engine). The relay can
// pace bytes like a real line (a byte rate and a one-way latency) and
// inject faults: flipped bits, dropped bytes, a stalled line.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "support/pty_pair.h"

namespace pelikon::testing {

struct LineModel {
  double bytes_per_second = 0;  // 0: as fast as the system goes
  uint32_t latency_ms = 0;      // one way
  double bit_error_rate = 0;    // per bit, both directions
  double drop_rate = 0;         // per byte, both directions
  uint32_t seed = 1;
  // After this many bytes from end A, nothing passes for `stall_ms`.
  int64_t stall_after_bytes = -1;
  uint32_t stall_ms = 0;
};

class PtyRelay {
 public:
  explicit PtyRelay(LineModel model = {});
  ~PtyRelay();
  PtyRelay(const PtyRelay&) = delete;
  PtyRelay& operator=(const PtyRelay&) = delete;

  // The slave devices of the two ends.
  const std::string& EndA() const { return a_.SlavePath(); }
  const std::string& EndB() const { return b_.SlavePath(); }
  // Bytes that went from A to B and from B to A (before faults).
  int64_t BytesAtoB() const { return a_to_b_; }
  int64_t BytesBtoA() const { return b_to_a_; }
  int FaultsInjected() const { return faults_; }
  void Stop();

 private:
  void Run();

  LineModel model_;
  PtyPair a_;
  PtyPair b_;
  std::atomic<bool> stop_{false};
  std::atomic<int64_t> a_to_b_{0};
  std::atomic<int64_t> b_to_a_{0};
  std::atomic<int> faults_{0};
  std::thread thread_;
};

}  // namespace pelikon::testing
