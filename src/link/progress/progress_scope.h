// The progress window for as long as one operation runs: shown when the
// scope begins, hidden when it ends, whichever way the operation leaves.
// Scopes nest: an operation that runs inside another one's scope (a
// listing inside a transfer run) keeps the one window, which hides when the
// outermost scope ends.
#pragma once

#include <cstdint>

#include "link/progress/transfer_progress.h"

namespace pelikon {

class ProgressScope {
 public:
  // Shows the window and leaves the bar as it is: an operation that moves a
  // file the caller has sized keeps the caller's total.
  explicit ProgressScope(TransferProgress& progress) : progress_(progress) { progress_.OpenProgress(); }
  // Starts a new bar for `total` bytes (0: no percentage), then shows the window.
  ProgressScope(TransferProgress& progress, int64_t total) : progress_(progress) {
    progress_.SetTotal(total);
    progress_.OpenProgress();
  }
  ~ProgressScope() { progress_.CloseProgress(); }
  ProgressScope(const ProgressScope&) = delete;
  ProgressScope& operator=(const ProgressScope&) = delete;

 private:
  TransferProgress& progress_;
};

}  // namespace pelikon
