#include "levelling_network.h"

#include <charconv>
#include <cmath>
#include <map>
#include <system_error>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon_tools {

namespace {

using pelikon::StrPrintf;
using pelikon::Tr;

constexpr std::string_view kBlanks = " \t\r\v\f";

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const size_t start = line.find_first_not_of(kBlanks);
    if (start == std::string_view::npos) return fields;
    line.remove_prefix(start);
    const size_t end = std::min(line.find_first_of(kBlanks), line.size());
    fields.push_back(line.substr(0, end));
    line.remove_prefix(end);
  }
}

// A whole field as a finite number ("+1.5", "-0.25", "2e-3").
bool ReadNumber(std::string_view field, double& value) {
  if (field.size() > 1 && field.front() == '+' && field[1] != '-') field.remove_prefix(1);
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  return error == std::errc() && end == field.data() + field.size() && std::isfinite(value);
}

class LineReader {
 public:
  LineReader(LevellingNetwork& network, NetworkError& error) : network_(network), error_(error) {}

  bool Read(std::size_t line, const std::vector<std::string_view>& fields) {
    line_ = line;
    if (pelikon::EqualsNoCase(fields[0], "FIX")) return Fixed(fields);
    if (pelikon::EqualsNoCase(fields[0], "OBS")) return Observed(fields);
    return Fail(StrPrintf(Tr("unknown record \"%s\": a line starts with FIX or OBS"), std::string(fields[0]).c_str()));
  }

 private:
  bool Fixed(const std::vector<std::string_view>& fields) {
    if (fields.size() != 3) return Fail(Tr("FIX takes a point name and a height"));
    FixedPoint point{std::string(fields[1]), 0, line_};
    if (!Number(fields[2], point.height)) return false;
    const auto [earlier, added] = fixed_lines_.emplace(point.name, line_);
    if (!added)
      return Fail(StrPrintf(Tr("point %s is fixed already on line %zu"), point.name.c_str(), earlier->second));
    network_.fixed.push_back(std::move(point));
    return true;
  }

  bool Observed(const std::vector<std::string_view>& fields) {
    if (fields.size() != 5) return Fail(Tr("OBS takes two point names, a height difference and a standard deviation"));
    LevelledDifference observation{std::string(fields[1]), std::string(fields[2]), 0, 0, line_};
    if (observation.from == observation.to)
      return Fail(StrPrintf(Tr("an observation from point %s to itself"), observation.from.c_str()));
    if (!Number(fields[3], observation.difference) || !Number(fields[4], observation.deviation)) return false;
    if (observation.deviation <= 0)
      return Fail(
          StrPrintf(Tr("the standard deviation must be greater than zero, not %s"), std::string(fields[4]).c_str()));
    network_.observations.push_back(std::move(observation));
    return true;
  }

  bool Number(std::string_view field, double& value) {
    return ReadNumber(field, value) || Fail(StrPrintf(Tr("\"%s\" is not a number"), std::string(field).c_str()));
  }

  bool Fail(std::string message) {
    error_ = {line_, std::move(message)};
    return false;
  }

  LevellingNetwork& network_;
  NetworkError& error_;
  std::size_t line_ = 0;
  std::map<std::string, std::size_t> fixed_lines_;
};

}  // namespace

bool ParseLevellingNetwork(std::string_view text, LevellingNetwork& network, NetworkError& error) {
  network = {};
  LineReader reader(network, error);
  std::size_t number = 0;
  while (!text.empty()) {
    const size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++number;
    line = line.substr(0, line.find('#'));
    const std::vector<std::string_view> fields = Fields(line);
    if (!fields.empty() && !reader.Read(number, fields)) return false;
  }
  return true;
}

}  // namespace pelikon_tools
