#include "geoid/grid_remarks.h"

#include <cstdint>
#include <string_view>
#include <unordered_map>

#include "platform/text.h"

namespace pelikon {

namespace {

constexpr uint64_t kRunBase = 1'000'003;

uint64_t LineHash(std::string_view line) {
  uint64_t hash = 14695981039346656037ull;
  for (char c : line) hash = (hash ^ static_cast<unsigned char>(AsciiLower(c))) * 1099511628211ull;
  return hash;
}

// Polynomial hashes of runs, from prefix sums over line hashes.
class RunHashes {
 public:
  explicit RunHashes(size_t block) {
    power_ = 1;
    for (size_t i = 0; i < block; ++i) power_ *= kRunBase;
    prefix_.push_back(0);
  }
  void Add(uint64_t line_hash) { prefix_.push_back(prefix_.back() * kRunBase + line_hash); }
  // The hash of the `block` lines starting at `first`.
  uint64_t Run(size_t first, size_t block) const { return prefix_[first + block] - prefix_[first] * power_; }

 private:
  uint64_t power_;
  std::vector<uint64_t> prefix_;
};

bool SameRun(const std::vector<std::string>& a, size_t a_first, const std::vector<std::string>& b, size_t b_first,
             size_t block) {
  for (size_t i = 0; i < block; ++i)
    if (!EqualsNoCase(a[a_first + i], b[b_first + i])) return false;
  return true;
}

}  // namespace

bool DropRepeatedRuns(std::vector<std::string>& lines, size_t block) {
  if (block == 0 || lines.size() < 2 * block) return false;
  RunHashes input(block);
  for (const auto& line : lines) input.Add(LineHash(line));

  std::vector<std::string> kept;
  RunHashes kept_hashes(block);
  std::unordered_multimap<uint64_t, size_t> kept_runs;  // run hash -> first line in `kept`
  bool removed = false;
  for (size_t at = 0; at < lines.size();) {
    if (at + block <= lines.size() && kept.size() >= block) {
      const uint64_t hash = input.Run(at, block);
      bool repeat = false;
      for (auto [it, end] = kept_runs.equal_range(hash); it != end && !repeat; ++it)
        repeat = SameRun(kept, it->second, lines, at, block);
      if (repeat) {
        at += block;
        removed = true;
        continue;
      }
    }
    kept.push_back(std::move(lines[at]));
    kept_hashes.Add(LineHash(kept.back()));
    if (kept.size() >= block) kept_runs.emplace(kept_hashes.Run(kept.size() - block, block), kept.size() - block);
    ++at;
  }
  lines = std::move(kept);
  return removed;
}

void DropRepeatedRemarkBlocks(std::vector<std::string>& lines) {
  DropRepeatedRuns(lines, 1000);
  if (DropRepeatedRuns(lines, 100)) DropRepeatedRuns(lines, 10);
}

}  // namespace pelikon
