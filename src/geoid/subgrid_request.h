// What the "Set Geoid Area" dialog asks before a sub-grid is cut: the
// position near the job's centre (dd.mmss texts and hemispheres), the
// size and its unit, and the file name. These checks are shared by the
// dialog's OK and by `geoidtool subgrid`, so both refuse the same input
// with the same text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelikon {

enum class GridSizeUnit { kMiles, kKilometres, kDegrees };

// The number a field starts with, read in the C locale whatever the
// user's locale (blanks and a "+" before it allowed); nothing when the
// field starts with no number.
std::optional<double> ParseFieldNumber(std::string_view text);

// dd.mmss (45.302512 is 45° 30' 25.12") in decimal degrees, with the
// text's sign; nothing when the text holds no number (or none that could
// be a position).
std::optional<double> DmsToDegrees(std::string_view text);

// Latitude positive north; longitude east-positive from 0 to 360 (a
// western longitude of 0 is 360).
double SignedLatitude(double degrees, bool south);
double EastLongitude(double degrees, bool west);

// The size in degrees, or the refusal ("Error: Supported size in … is …").
struct GridSize {
  double degrees = 0;
  std::string error;
};
GridSize SizeInDegrees(std::string_view text, GridSizeUnit unit);

// The estimate the dialog shows beside the size: "(140K)" for 2 degrees,
// empty outside 1 to 5 degrees or for a size that is refused.
std::string SizeEstimate(std::string_view text, GridSizeUnit unit);

// The file name: everything from the first "." on cut, ".gsf" appended;
// empty for an empty name.
std::string SubGridFileName(std::string_view name);

}  // namespace pelikon
