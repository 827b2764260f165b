// Writes a file front to back through a buffer, so that a whole file's
// records go out in a few large writes. The buffer grows with what is put
// up to its limit, so a small file costs a small buffer. The first failure
// sticks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "coord/crd/crd_stream.h"

namespace pelikon {

class SequentialWriter {
 public:
  SequentialWriter(CrdStream& stream, size_t buffer_bytes) : stream_(stream), limit_(buffer_bytes) {}

  void Put(const uint8_t* data, size_t size) {
    if (buffer_.size() + size > limit_) Flush();
    buffer_.insert(buffer_.end(), data, data + size);
  }

  // Writes what is buffered; false when any write so far failed.
  bool Flush() {
    if (ok_ && !buffer_.empty()) ok_ = stream_.WriteAt(offset_, buffer_.data(), buffer_.size());
    offset_ += buffer_.size();
    buffer_.clear();
    return ok_;
  }

 private:
  CrdStream& stream_;
  size_t limit_;
  std::vector<uint8_t> buffer_;
  uint64_t offset_ = 0;
  bool ok_ = true;
};

}  // namespace pelikon
