#include "pointid/point_id.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "platform/text.h"
#include "pointid/decimal_text.h"

namespace pelikon {

namespace {

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt64Min = std::numeric_limits<int64_t>::min();

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool IsLetter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool IsTopLetter(char c) {
  return c == 'Z' || c == 'z';
}

int Sign(int64_t v) {
  return (v > 0) - (v < 0);
}

// Case-insensitive comparison as the C library's stricmp: bytes compared
// unsigned after lower-casing a to z; a proper prefix is smaller.
int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t shorter = std::min(a.size(), b.size());
  for (size_t i = 0; i < shorter; ++i) {
    const auto ca = static_cast<unsigned char>(AsciiLower(a[i]));
    const auto cb = static_cast<unsigned char>(AsciiLower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return Sign(static_cast<int64_t>(a.size()) - static_cast<int64_t>(b.size()));
}

int64_t SaturatingAdd(int64_t a, int64_t b) {
  int64_t sum;
  if (__builtin_add_overflow(a, b, &sum)) return b > 0 ? kInt64Max : kInt64Min;
  return sum;
}

// A text without any digit: a lone letter moves to its neighbour, longer
// texts get a "2", and a larger step is written out after the text.
std::string AdvanceWithoutDigits(std::string_view text, int64_t step) {
  const std::string prefix(text.substr(0, text.find('-')));
  if (step > 1 || step < -1) return prefix + DecimalText(step);
  if (prefix.size() == 1 && IsLetter(prefix[0])) {
    const char c = prefix[0];
    if (step > 0) return (c == 'Z' || c == 'z') ? prefix + "2" : std::string(1, static_cast<char>(c + 1));
    return (c == 'A' || c == 'a') ? prefix + "2" : std::string(1, static_cast<char>(c - 1));
  }
  return prefix + "2";
}

// Counts the letters after a number upward `step` times: each time the last
// letter that is not yet "Z" moves on; when none can, every letter starts
// again at "A" and the number grows by one.
void AdvanceLetters(std::string& suffix, int64_t& number, int64_t step) {
  if (step <= 0) return;
  std::vector<size_t> letters;
  for (size_t i = 0; i < suffix.size(); ++i)
    if (IsLetter(suffix[i])) letters.push_back(i);
  if (letters.empty()) {
    number = SaturatingAdd(number, step);
    return;
  }
  // Index (into `letters`) of the last letter that can still move.
  auto last_movable = [&](int64_t from) {
    while (from >= 0 && IsTopLetter(suffix[letters[static_cast<size_t>(from)]])) --from;
    return from;
  };
  int64_t movable = last_movable(static_cast<int64_t>(letters.size()) - 1);
  auto one_step = [&]() -> bool {  // true when the letters wrapped around
    if (movable < 0) {
      for (size_t pos : letters) suffix[pos] = suffix[pos] == 'Z' ? 'A' : 'a';
      number = SaturatingAdd(number, 1);
      movable = static_cast<int64_t>(letters.size()) - 1;
      return true;
    }
    char& c = suffix[letters[static_cast<size_t>(movable)]];
    ++c;
    if (IsTopLetter(c)) movable = last_movable(movable - 1);
    return false;
  };
  // Up to the first wrap the letters may start anywhere; after it they run
  // through a fixed cycle from all "A" to all "Z" and one more step, so a
  // large step needs no more than one cycle of work.
  int64_t left = step;
  while (left > 0) {
    --left;
    if (one_step()) break;
  }
  const int64_t cycle = 25 * static_cast<int64_t>(letters.size()) + 1;
  number = SaturatingAdd(number, left / cycle);
  for (left %= cycle; left > 0; --left) one_step();
}

// Advances a non-empty identifier; the outer levels of "prefix number
// suffix" are kept when the suffix holds a number of its own.
std::string Advance(std::string_view text, int64_t step) {
  std::string head;  // prefix and number of the outer levels, kept as written
  for (;;) {
    if (text.size() == 2 && text[0] == '0' && IsDigit(text[1])) {
      const int64_t v = SaturatingAdd(text[1] - '0', step);
      if (v > 0 && v < 10) return head + "0" + DecimalText(v);
    }
    if (text.find_first_of("0123456789") == std::string_view::npos) return head + AdvanceWithoutDigits(text, step);

    const size_t number_start = text.find_first_of("0123456789-");
    std::string digits;
    size_t dot = std::string::npos;  // position of a dropped "." within `digits`
    size_t i = number_start;
    for (; i < text.size(); ++i) {
      const char c = text[i];
      if (IsDigit(c) || c == '-') {
        digits += c;
      } else if (c == '.' && dot == std::string::npos && i + 1 < text.size() && IsDigit(text[i + 1])) {
        dot = digits.size();
      } else {
        break;
      }
    }
    const std::string_view prefix = text.substr(0, number_start);
    std::string suffix(text.substr(i));

    if (suffix.find_first_of("0123456789-") != std::string::npos) {
      head.append(text.substr(0, i));
      text = text.substr(i);
      continue;
    }

    int64_t number = LenientInt64(digits);
    if (suffix.empty() || !prefix.empty()) {
      number = SaturatingAdd(number, step);
    } else {
      AdvanceLetters(suffix, number, step);
    }
    if (number < 0) number = number == kInt64Min ? kInt64Max : -number;
    std::string printed = DecimalText(number);
    if (dot != std::string::npos && dot > 0 && dot < printed.size()) printed.insert(dot, ".");
    return head + std::string(prefix) + printed + suffix;
  }
}

}  // namespace

std::string DecimalText(int64_t value) {
  return StrPrintf("%lld", static_cast<long long>(value));
}

std::string NormaliseId(std::string_view text, bool numeric) {
  if (numeric) {
    std::string_view id = Trim(text, " ");
    const size_t first = id.find_first_not_of('0');
    if (first == std::string_view::npos) return id.empty() ? std::string() : std::string("0");
    return std::string(id.substr(first));
  }
  std::string id(TrimRight(TrimLeft(text, " "), " \r\n"));
  for (char& c : id) {
    if (c == '-' || c == ',') c = '_';
    c = AsciiUpper(c);
  }
  return id;
}

namespace {

// An int64_t holds every number of this many decimal digits.
constexpr size_t kDigitsThatCannotSaturate = 18;

// How many digits `text` starts with.
size_t DigitRun(std::string_view text) {
  size_t n = 0;
  while (n < text.size() && IsDigit(text[n])) ++n;
  return n;
}

}  // namespace

int ComparePointIds(std::string_view a, std::string_view b) {
  if (a.empty() && b.empty()) return 0;
  // Whether a "." lies at or after position i is a question of where the last one is.
  const size_t last_dot_a = a.rfind('.');
  const size_t last_dot_b = b.rfind('.');
  const size_t shorter = std::min(a.size(), b.size());
  for (size_t i = 0; i < shorter; ++i) {
    if (IsDigit(a[i]) && IsDigit(b[i])) {
      const std::string_view rest_a = a.substr(i);
      const std::string_view rest_b = b.substr(i);
      const bool decimals = (last_dot_a != std::string_view::npos && last_dot_a >= i) ||
                            (last_dot_b != std::string_view::npos && last_dot_b >= i);
      if (decimals) {
        const double da = LenientDouble(rest_a);
        const double db = LenientDouble(rest_b);
        if (da < db) return -1;
        if (da > db) return 1;
      } else {
        const size_t run_a = DigitRun(rest_a), run_b = DigitRun(rest_b);
        if (run_a == run_b) {
          size_t k = 0;
          while (k < run_a && rest_a[k] == rest_b[k]) ++k;
          // Runs of the same digits read as the same number from every one
          // of their positions, so the walk may go on after them at once.
          if (k == run_a) {
            i += run_a - 1;
            continue;
          }
          // Runs of one length too short to saturate: the first digit that
          // differs orders the numbers.
          if (run_a <= kDigitsThatCannotSaturate) return rest_a[k] < rest_b[k] ? -1 : 1;
        }
        const int64_t la = LenientInt64(rest_a);
        const int64_t lb = LenientInt64(rest_b);
        if (la != lb) return la < lb ? -1 : 1;
      }
      continue;
    }
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return CompareNoCase(a.substr(i), b.substr(i));
  }
  return CompareNoCase(a, b);
}

bool IsPlainDecimal(std::string_view text, int64_t* value) {
  const int64_t v = LenientInt64(text);
  if (value) *value = v;
  return !text.empty() && DecimalText(v) == text;
}

int NextPointId(std::string& text, int64_t step, bool numeric) {
  if (step == 0) return 1;
  text = text.empty() ? DecimalText(step) : Advance(text, step);
  if (!numeric) return 1;
  int64_t value = LenientInt64(text);
  int result = 1;
  if (value < kLowestNumericId) {
    value = kLowestNumericId;
    result = 0;
  } else if (value > kHighestNumericId) {
    value = kHighestNumericId;
    result = 0;
  }
  text = DecimalText(value);
  return result;
}

}  // namespace pelikon
