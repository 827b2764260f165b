// Levelling networks from arbitrary bytes: reading must end and stay in
// bounds; a network read either adjusts to finite heights and standard
// deviations for every unknown point or says why not, naming a line of
// the text.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "levelling_adjustment.h"
#include "levelling_network.h"

namespace {

// Small networks only: a debug build's dense algebra on a thousand
// unknowns would take the fuzzer's whole time.
constexpr std::size_t kMostObservations = 80;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::size_t lines = static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1;
  pelikon_tools::LevellingNetwork network;
  pelikon_tools::NetworkError error;
  if (!pelikon_tools::ParseLevellingNetwork(text, network, error)) {
    if (error.message.empty() || error.line == 0 || error.line > lines) std::abort();
    return 0;
  }
  if (network.observations.size() > kMostObservations) return 0;
  pelikon_tools::LevellingAdjustment adjustment;
  if (!pelikon_tools::AdjustLevellingNetwork(network, adjustment, error)) {
    if (error.message.empty() || error.line > lines) std::abort();
    return 0;
  }
  if (adjustment.points.empty() || !std::isfinite(adjustment.variance_factor)) std::abort();
  for (const pelikon_tools::AdjustedPoint& point : adjustment.points)
    if (!std::isfinite(point.height) || !(point.deviation >= 0) || !std::isfinite(point.deviation)) std::abort();
  return 0;
}
