// A levelling network as `adjust` reads it: fixed benchmarks and observed
// height differences, from text lines
//   FIX <name> <height>
//   OBS <from> <to> <height difference> <standard deviation>
// where the difference is the height of `to` minus the height of `from`.
// `#` starts a comment; blank lines are skipped; the words FIX and OBS may
// be in any case; fields are separated by blanks or tabs. Point names are
// case-sensitive.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon_tools {

struct FixedPoint {
  std::string name;
  double height = 0;
  std::size_t line = 0;
};

struct LevelledDifference {
  std::string from;
  std::string to;
  double difference = 0;
  double deviation = 0;  // the standard deviation, > 0
  std::size_t line = 0;
};

struct LevellingNetwork {
  std::vector<FixedPoint> fixed;
  std::vector<LevelledDifference> observations;
};

// What is wrong with the input, and on which line (0: the file as a whole).
struct NetworkError {
  std::size_t line = 0;
  std::string message;  // translated
};

// Reads `text` into `network`. False with the first fault in `error`: a
// line that is neither FIX nor OBS, a wrong number of fields, a field that
// is not a finite number, a standard deviation that is not greater than
// zero, an observation from a point to itself, a point fixed twice.
bool ParseLevellingNetwork(std::string_view text, LevellingNetwork& network, NetworkError& error);

}  // namespace pelikon_tools
