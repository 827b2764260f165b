// Contents for transfer tests: random bytes from a seed, and a file's
// contents in one call.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>

namespace pelikon::testing {

// `size` bytes from a fixed generator seeded with `seed`.
std::string RandomBytes(size_t size, uint32_t seed);
// Every byte value 0-255 in order, `rounds` times.
std::string EveryByteValue(int rounds);
// The whole file, or "(missing)" when it cannot be read.
std::string Contents(const std::filesystem::path& file);
// The names of the entries of `folder` (hidden ones included).
std::set<std::string> EntryNames(const std::filesystem::path& folder);

}  // namespace pelikon::testing
