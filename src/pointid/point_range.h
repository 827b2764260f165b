// Range texts: the selections of points a user types, such as
// "1-10,15,20-18" or "A1-A9". Items are separated by ","; an item is one
// identifier or two joined by "-", in either order ("5-1" selects what
// "1-5" does); "A-" means "A-A"; a text starting with "-" selects nothing.
// The keyword "ALL" (or its translation) selects every point.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pelikon {

// The keyword that selects every point, as shown to the user.
std::string AllKeyword();
// True when `range`, trimmed and upper-cased, is the keyword.
bool IsAllKeyword(std::string_view range);

// The stored form: trimmed, blanks outside "[...]" removed, upper-cased;
// an empty text becomes the keyword.
std::string NormaliseRange(std::string_view text);

// Each end of an item is cut to this many characters.
inline constexpr size_t kRangeEndLimit = 255;

struct RangeItem {
  std::string first;
  std::string second;     // equals `first` for a single identifier
  std::string_view rest;  // the text after the item's ","
};

// The first item of `range`; nothing when the text is empty or starts with "-".
std::optional<RangeItem> NextRangeItem(std::string_view range);

// True when some item of `range` holds `id` between its ends (inclusive, by
// `ComparePointIds`), or the range is the keyword.
bool InRange(std::string_view id, std::string_view range);

// Adds `id` to `range` in place, as a selection of points is turned into a
// range text: consecutive numbers extend the last item ("1-3" + 4 gives
// "1-4"), anything else is appended after a ","; an id already inside
// changes nothing.
void AddToRange(std::string& range, std::string_view id);

}  // namespace pelikon
