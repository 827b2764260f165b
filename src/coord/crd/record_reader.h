// Reads a file's records front to back in large blocks, so that walking a
// whole file costs a few system calls rather than one per record.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "coord/crd/crd_stream.h"

namespace pelikon {

class RecordReader {
 public:
  // `count` records of `record_size` bytes from `first_offset`; `block`
  // holds up to `block_bytes` of them at a time.
  RecordReader(const CrdStream& stream, uint64_t first_offset, size_t record_size, int64_t count,
               std::vector<uint8_t>& block, size_t block_bytes)
      : stream_(stream),
        first_(first_offset),
        size_(record_size),
        count_(count),
        block_(block),
        per_block_(static_cast<int64_t>(std::max<size_t>(1, block_bytes / record_size))) {}

  // Record `index` (read in order), or nullptr when it cannot be read. The
  // bytes stay valid until the next call.
  const uint8_t* At(int64_t index) {
    if (index < start_ || index >= start_ + loaded_) {
      loaded_ = std::min(per_block_, count_ - index);
      start_ = index;
      block_.resize(static_cast<size_t>(std::max<int64_t>(loaded_, 0)) * size_);
      if (loaded_ <= 0 ||
          !stream_.ReadAt(first_ + static_cast<uint64_t>(index) * size_, block_.data(), block_.size())) {
        loaded_ = 0;
        return nullptr;
      }
    }
    return block_.data() + static_cast<size_t>(index - start_) * size_;
  }

 private:
  const CrdStream& stream_;
  uint64_t first_;
  size_t size_;
  int64_t count_;
  std::vector<uint8_t>& block_;
  int64_t per_block_;
  int64_t start_ = 0;
  int64_t loaded_ = 0;
};

}  // namespace pelikon
