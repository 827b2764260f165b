#include "point_lines.h"

#include <charconv>
#include <vector>

namespace pelikon {

std::string EscapeField(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\\':
        out += "\\\\";
        break;
      default:
        out += c;
    }
  }
  return out;
}

namespace {

std::string Unescape(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char next = text[++i];
    out += next == 't' ? '\t' : next == 'n' ? '\n' : next == 'r' ? '\r' : next;
  }
  return out;
}

std::string Number(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

bool ParseNumber(std::string_view text, double& value) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && result.ptr == text.data() + text.size();
}

}  // namespace

std::string PointLine(const CrdPoint& point) {
  return EscapeField(point.Id()) + "\t" + Number(point.northing) + "\t" + Number(point.easting) + "\t" +
         Number(point.elevation) + "\t" + EscapeField(point.Description());
}

std::optional<CrdPoint> ParsePointLine(std::string_view line, std::string& error) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (fields.size() != 5) {
    error = "expected 5 tab-separated fields, found " + std::to_string(fields.size());
    return std::nullopt;
  }
  double coordinates[3];
  static const char* const kNames[] = {"northing", "easting", "elevation"};
  for (int i = 0; i < 3; ++i) {
    if (!ParseNumber(fields[1 + i], coordinates[i])) {
      error = std::string(kNames[i]) + " is not a number: \"" + std::string(fields[1 + i]) + "\"";
      return std::nullopt;
    }
  }
  return CrdPoint(Unescape(fields[0]), coordinates[0], coordinates[1], coordinates[2], Unescape(fields[4]));
}

}  // namespace pelikon
