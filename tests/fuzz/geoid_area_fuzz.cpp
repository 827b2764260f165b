// Arbitrary text in the "Set Geoid Area" fields: dd.mmss positions, sizes
// in every unit and names must be read without reading past the text, and
// what comes out must make sense (a position within its degrees, a size
// within its unit's range, a name ending in ".gsf").
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "geoid/subgrid_request.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  if (const std::optional<double> degrees = pelikon::DmsToDegrees(text)) {
    if (!std::isfinite(*degrees)) std::abort();
    const std::optional<double> typed = pelikon::ParseFieldNumber(text);
    // Minutes and seconds add less than two degrees to the whole degrees.
    if (!typed || std::fabs(*degrees) < std::trunc(std::fabs(*typed)) - 1e-9 ||
        std::fabs(*degrees) > std::trunc(std::fabs(*typed)) + 2)
      std::abort();
    const double longitude = pelikon::EastLongitude(*degrees, true);
    if (longitude > 360) std::abort();
  }
  for (const pelikon::GridSizeUnit unit :
       {pelikon::GridSizeUnit::kMiles, pelikon::GridSizeUnit::kKilometres, pelikon::GridSizeUnit::kDegrees}) {
    const pelikon::GridSize grid_size = pelikon::SizeInDegrees(text, unit);
    if (grid_size.error.empty() && !(grid_size.degrees >= 1 - 1e-9 && grid_size.degrees <= 8 + 1e-9)) std::abort();
    pelikon::SizeEstimate(text, unit);
  }
  const std::string name = pelikon::SubGridFileName(text);
  if (!name.empty() && (name.size() < 4 || name.compare(name.size() - 4, 4, ".gsf") != 0)) std::abort();
  return 0;
}
