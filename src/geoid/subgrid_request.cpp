#include "geoid/subgrid_request.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

struct UnitRule {
  double to_degrees;
  double lowest;
  double highest;
  const char* refusal;
};

UnitRule RuleOf(GridSizeUnit unit) {
  switch (unit) {
    case GridSizeUnit::kMiles:
      return {0.02, 50, 400, N_("Error: Supported size in miles is 50 to 400.")};
    case GridSizeUnit::kKilometres:
      return {0.0125, 80, 600, N_("Error: Supported size in km is 80 to 600.")};
    case GridSizeUnit::kDegrees:
      break;
  }
  return {1.0, 1, 8, N_("Error: Supported size in degrees is 1 to 8.")};
}

double Digits(std::string_view digits) {
  double value = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), value);
  return value;
}

}  // namespace

std::optional<double> ParseFieldNumber(std::string_view text) {
  text = Trim(text);
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc()) return std::nullopt;
  return value;
}

std::optional<double> DmsToDegrees(std::string_view text) {
  const std::optional<double> typed = ParseFieldNumber(text);
  if (!typed || !std::isfinite(*typed) || std::fabs(*typed) > 1e9) return std::nullopt;
  // The digits after the point are minutes (two), seconds (two) and the
  // seconds' fraction: printed with twelve decimals, they are read back
  // as digits, so no rounding of the sum moves a minute into the seconds.
  char digits[64];
  const auto printed_end =
      std::to_chars(digits, digits + sizeof digits, std::fabs(*typed), std::chars_format::fixed, 12).ptr;
  const std::string_view printed(digits, static_cast<size_t>(printed_end - digits));
  const size_t point = printed.find('.');
  const double whole = Digits(printed.substr(0, point));
  const std::string_view decimals = printed.substr(point + 1);
  const double minutes = Digits(decimals.substr(0, 2));
  const double seconds = Digits(std::string(decimals.substr(2, 2)) + "." + std::string(decimals.substr(4)));
  const double value = whole + minutes / 60.0 + seconds / 3600.0;
  return *typed < 0 ? -value : value;
}

double SignedLatitude(double degrees, bool south) {
  return south ? -std::fabs(degrees) : std::fabs(degrees);
}

double EastLongitude(double degrees, bool west) {
  return west ? 360.0 - std::fabs(degrees) : std::fabs(degrees);
}

GridSize SizeInDegrees(std::string_view text, GridSizeUnit unit) {
  const UnitRule rule = RuleOf(unit);
  const double typed = ParseFieldNumber(text).value_or(0.0);
  if (!(typed >= rule.lowest && typed <= rule.highest)) return {0, Tr(rule.refusal)};  // NaN too
  return {typed * rule.to_degrees, {}};
}

std::string SizeEstimate(std::string_view text, GridSizeUnit unit) {
  const GridSize size = SizeInDegrees(text, unit);
  if (!size.error.empty() || size.degrees < 1 || size.degrees > 5) return {};
  return StrPrintf("(%.0fK)", 35 * size.degrees * size.degrees);
}

std::string SubGridFileName(std::string_view name) {
  const std::string_view base = name.substr(0, name.find('.'));
  return base.empty() ? std::string() : std::string(base) + ".gsf";
}

}  // namespace pelikon
