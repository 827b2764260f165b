#include "support/test_files.h"

#include <random>

#include "platform/atomic_file.h"

namespace pelikon::testing {

std::string RandomBytes(size_t size, uint32_t seed) {
  std::mt19937 random(seed);
  std::string out(size, '\0');
  for (char& c : out) c = static_cast<char>(random());
  return out;
}

std::string EveryByteValue(int rounds) {
  std::string out;
  for (int round = 0; round < rounds; ++round)
    for (int b = 0; b < 256; ++b) out += static_cast<char>(b);
  return out;
}

std::string Contents(const std::filesystem::path& file) {
  std::string text;
  if (!ReadWholeFile(file, text)) return "(missing)";
  return text;
}

std::set<std::string> EntryNames(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

}  // namespace pelikon::testing
