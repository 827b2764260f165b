// The text form of points that crdtool reads and writes: one point a line,
// identifier, northing, easting, elevation and description separated by
// tabs. Numbers are written in their shortest exact form, so a point read
// back is the point written. A tab, line break or backslash inside a text
// is written as \t, \n, \r or \\.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "coord/crd/crd_point.h"

namespace pelikon {

std::string PointLine(const CrdPoint& point);

// `text` with tabs, line breaks and backslashes escaped as in a point line.
std::string EscapeField(std::string_view text);

// The point of one line; nothing (with `error` set) when the line is not
// five fields with three numbers in the middle.
std::optional<CrdPoint> ParsePointLine(std::string_view line, std::string& error);

}  // namespace pelikon
