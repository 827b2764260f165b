// Point identifiers: the short texts ("17", "A10", "17B") that name survey
// points. They are compared in a natural order (runs of digits as numbers,
// letters without regard to case), normalised before they are stored, and
// advanced when a free identifier is wanted.
//
// Every function is a pure text function over arbitrary bytes; bytes above
// 127 are left as they are.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace pelikon {

// The stored form of an identifier.
// Alphanumeric files: blanks trimmed from both ends (CR and LF too at the
// end), "-" and "," become "_", a to z upper-cased.
// Numeric files: blanks trimmed, leading zeros removed ("000" gives "0").
std::string NormaliseId(std::string_view text, bool numeric);

// -1, 0 or +1. Where both texts have a digit at the same position the
// numbers starting there are compared (as decimals when either rest holds a
// ".", else as integers); equal numbers move on by one character. The first
// other difference, and in the end the whole texts, are compared without
// regard to case. So "2" < "10", "A9" < "A10", "a5" == "A5", "01" < "1".
int ComparePointIds(std::string_view a, std::string_view b);

// "%ld" of a number: the plain decimal text identifiers are compared with.
std::string DecimalText(int64_t value);

// True when `text` is exactly the "%ld" text of its value ("7", "-3"; not
// "07", "+7" or "7A").
bool IsPlainDecimal(std::string_view text, int64_t* value = nullptr);

// Lowest and highest identifier of a numeric file.
inline constexpr int64_t kLowestNumericId = 1;
inline constexpr int64_t kHighestNumericId = 99999;

// Advances `text` by `step` in place, the way renumbering picks the next
// free identifier: "17" -> "18", "A17" -> "A18", "17A" -> "17B",
// "1Z" -> "2A", "Z" -> "Z2", "1.5" -> "1.6". With `numeric` the result is
// kept within 1..99999 and printed as a plain number. Returns 1, or 0 when
// that clamp had to act.
int NextPointId(std::string& text, int64_t step, bool numeric);

}  // namespace pelikon
