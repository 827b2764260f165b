// Reading a decimal number from text the lenient way the C library's atof
// does: leading white space, an optional sign, as much of a number as is
// there, 0 when nothing is. Always with "." as the decimal point, whatever
// the user's language.
#pragma once

#include <string_view>

namespace pelikon {

double LenientDouble(std::string_view text);

}  // namespace pelikon
