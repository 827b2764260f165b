#include "pointid/point_range.h"

#include <algorithm>
#include <limits>

#include "platform/catalogue.h"
#include "platform/text.h"
#include "pointid/point_id.h"

namespace pelikon {

namespace {

constexpr const char* kAll = N_("ALL");

// True when `next` is `n` + 1 (without overflowing).
bool Follows(int64_t next, int64_t n) {
  return n != std::numeric_limits<int64_t>::max() && next == n + 1;
}

}  // namespace

std::string AllKeyword() {
  return Tr(kAll);
}

bool IsAllKeyword(std::string_view range) {
  const std::string upper = AsciiUpper(Trim(range, " "));
  return upper == kAll || upper == AsciiUpper(AllKeyword());
}

std::string NormaliseRange(std::string_view text) {
  const std::string_view trimmed = Trim(text, " ");
  if (trimmed.empty()) return AllKeyword();
  std::string out;
  out.reserve(trimmed.size());
  int brackets = 0;
  for (char c : trimmed) {
    if (c == '[') ++brackets;
    if (c == ']' && brackets > 0) --brackets;
    if (c == ' ' && brackets == 0) continue;
    out += AsciiUpper(c);
  }
  return out;
}

std::optional<RangeItem> NextRangeItem(std::string_view range) {
  if (range.empty() || range.front() == '-') return std::nullopt;
  const size_t comma = range.find(',');
  const std::string_view item = range.substr(0, comma);
  RangeItem out;
  out.rest = comma == std::string_view::npos ? std::string_view() : range.substr(comma + 1);
  const size_t dash = item.find('-');
  out.first = std::string(item.substr(0, std::min(dash, kRangeEndLimit)));
  if (dash != std::string_view::npos) out.second = std::string(item.substr(dash + 1, kRangeEndLimit));
  if (out.second.empty()) out.second = out.first;
  return out;
}

bool InRange(std::string_view id, std::string_view range) {
  if (IsAllKeyword(range)) return true;
  const std::string upper = AsciiUpper(Trim(range, " "));
  std::string_view rest = upper;
  while (const std::optional<RangeItem> item = NextRangeItem(rest)) {
    std::string_view low = item->first, high = item->second;
    if (ComparePointIds(low, high) > 0) std::swap(low, high);
    if (ComparePointIds(id, low) >= 0 && ComparePointIds(id, high) <= 0) return true;
    rest = item->rest;
  }
  return false;
}

void AddToRange(std::string& range, std::string_view id) {
  int64_t n = 0;
  if (!IsPlainDecimal(id, &n)) {
    if (range.empty()) {
      range = std::string(id);
    } else if (!InRange(id, range)) {
      range += ',';
      range += id;
    }
    return;
  }
  if (InRange(id, range)) return;
  if (range.empty()) {
    range = DecimalText(n);
    return;
  }
  const size_t item_start = range.rfind(',') == std::string::npos ? 0 : range.rfind(',') + 1;
  const std::string_view last = std::string_view(range).substr(item_start);
  const size_t dash = last.find('-');
  int64_t a = 0, b = 0;
  if (dash != std::string_view::npos && dash > 0) {
    if (IsPlainDecimal(last.substr(0, dash), &a) && IsPlainDecimal(last.substr(dash + 1), &b) &&
        ((a < b && Follows(n, b)) || (b < a && Follows(b, n)))) {
      range.replace(item_start + dash + 1, std::string::npos, DecimalText(n));
      return;
    }
  } else if (dash == std::string_view::npos && IsPlainDecimal(last, &a) && (Follows(n, a) || Follows(a, n))) {
    range += "-" + DecimalText(n);
    return;
  }
  range += "," + DecimalText(n);
}

}  // namespace pelikon
