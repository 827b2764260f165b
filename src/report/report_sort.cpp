#include "report/report_sort.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>
#include <deque>
#include <string>
#include <unordered_map>

#include "platform/text.h"

namespace pelikon {

namespace {

int Sign(int value) {
  return (value > 0) - (value < 0);
}

// strcasecmp on views: the sign of the first difference of the upper-cased
// bytes, a shorter text first.
int CompareNoCase(std::string_view a, std::string_view b) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const int ca = static_cast<unsigned char>(AsciiLower(a[i]));
    const int cb = static_cast<unsigned char>(AsciiLower(b[i]));
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

long ReadLong(std::string_view text) {
  long value = 0;
  size_t i = 0;
  for (; i < text.size() && IsDigit(text[i]); ++i) {
    const int digit = text[i] - '0';
    if (value > (LONG_MAX - digit) / 10) return LONG_MAX;
    value = value * 10 + digit;
  }
  return value;
}

// "%d" as sscanf reads it: blanks, a sign, digits.
bool ReadInt(std::string_view text, size_t& at, long& value) {
  while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
  if (at >= text.size() || !IsDigit(text[at])) return false;
  const size_t start = at;
  while (at < text.size() && IsDigit(text[at])) ++at;
  value = ReadLong(text.substr(start, at - start));
  if (negative) value = -value;
  return true;
}

}  // namespace

int NaturalCompare(std::string_view a, std::string_view b) {
  if (a.empty() && b.empty()) return 0;
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    if (IsDigit(a[i]) && IsDigit(b[i])) {
      const long x = ReadLong(a.substr(i));
      const long y = ReadLong(b.substr(i));
      if (x != y) return x < y ? -1 : 1;
      continue;
    }
    if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return Sign(CompareNoCase(a.substr(i), b.substr(i)));
  }
  return Sign(CompareNoCase(a, b));
}

bool ReadReportDate(std::string_view word, int64_t& yyyymmdd) {
  size_t at = 0;
  long month = 0, day = 0, year = 0;
  if (!ReadInt(word, at, month) || at >= word.size() || word[at++] != '/') return false;
  if (!ReadInt(word, at, day) || at >= word.size() || word[at++] != '/') return false;
  if (!ReadInt(word, at, year)) return false;
  if (month < 1 || month > 12 || day < 1 || day > 31 || year < 0) return false;
  if (year < 51)
    year += 2000;
  else if (year < 100)
    year += 1900;
  yyyymmdd = static_cast<int64_t>(year) * 10000 + month * 100 + day;
  return true;
}

namespace {

// What the sort needs of one cell, worked out once and kept with the other
// cells of its row, so that a comparison reads one small block of memory.
struct SortCell {
  enum Kind : uint8_t { kMissing, kReal, kString, kOther };
  const char* text = nullptr;
  double number = 0;  // a real's value, or a date's yyyymmdd
  uint32_t length = 0;
  uint32_t text_id = 0;  // equal texts of a field share one
  Kind kind = kMissing;
  bool is_date = false;
};

std::string_view FirstWord(std::string_view text) {
  size_t start = 0;
  while (start < text.size() && std::isspace(static_cast<unsigned char>(text[start]))) ++start;
  size_t end = start;
  while (end < text.size() && !std::isspace(static_cast<unsigned char>(text[end]))) ++end;
  return text.substr(start, end - start);
}

class RowOrder {
 public:
  RowOrder(const std::vector<const ReportToken*>& cells, const std::vector<SortMode>& modes) {
    const size_t fields = modes.size();
    const size_t rows = fields == 0 ? 0 : cells.size() / fields;
    for (size_t f = 0; f < fields; ++f)
      if (modes[f] != SortMode::kCollapse && modes[f] != SortMode::kIgnore) active_.push_back({f, modes[f]});
    keys_.resize(rows * active_.size());
    for (size_t a = 0; a < active_.size(); ++a) {
      std::unordered_map<std::string_view, uint32_t> ids;
      for (size_t r = 0; r < rows; ++r) {
        const ReportToken* token = cells[r * fields + active_[a].field];
        SortCell& cell = keys_[r * active_.size() + a];
        if (token == nullptr) continue;
        if (token->type == kReportReal) {
          cell.kind = SortCell::kReal;
          cell.number = token->real;
          continue;
        }
        if (token->type != kReportString) {
          cell.kind = SortCell::kOther;
          continue;
        }
        cell.kind = SortCell::kString;
        std::string_view text = token->text;
        // Blank lines of a block sort as block 0.
        if (text.find(" <B:") != std::string_view::npos) {
          std::string copy(text);
          for (size_t at = copy.find(" <B:"); at != std::string::npos; at = copy.find(" <B:", at + 4))
            copy[at + 2] = '0';
          rewritten_.push_back(std::move(copy));
          text = rewritten_.back();
        }
        cell.text = text.data();
        cell.length = static_cast<uint32_t>(text.size());
        cell.text_id = ids.emplace(text, static_cast<uint32_t>(ids.size())).first->second;
        int64_t date = 0;
        cell.is_date = ReadReportDate(FirstWord(token->text), date);
        cell.number = static_cast<double>(date);
      }
    }
  }

  // Negative when row a goes first.
  int Compare(uint32_t a, uint32_t b) const {
    // No field to sort by leaves no cells at all: nothing to index.
    const SortCell* x = keys_.data() + a * active_.size();
    const SortCell* y = keys_.data() + b * active_.size();
    for (size_t f = 0; f < active_.size(); ++f, ++x, ++y) {
      if (active_[f].mode == SortMode::kHold) {
        if (x->kind != SortCell::kMissing && x->kind == y->kind &&
            (x->kind == SortCell::kReal ? x->number == y->number
                                        : x->kind != SortCell::kString || x->text_id == y->text_id ||
                                              EqualsNoCase({x->text, x->length}, {y->text, y->length})))
          continue;
        if (a != b) return a < b ? -1 : 1;
        continue;
      }
      const int d = active_[f].mode == SortMode::kUp ? 1 : -1;
      if (x->kind == SortCell::kMissing) return -d;
      if (y->kind == SortCell::kMissing) return d;
      if (x->kind == SortCell::kReal && y->kind == SortCell::kReal) {
        if (x->number < y->number) return -d;
        if (x->number > y->number) return d;
        continue;
      }
      if (x->kind != SortCell::kString || y->kind != SortCell::kString || x->text_id == y->text_id) continue;
      if (x->is_date && y->is_date) {
        if (x->number != y->number) return x->number < y->number ? -d : d;
        continue;
      }
      const int r = NaturalCompare({x->text, x->length}, {y->text, y->length});
      if (r != 0) return r * d;
    }
    return 0;
  }

 private:
  struct ActiveField {
    size_t field;
    SortMode mode;
  };
  std::vector<ActiveField> active_;
  std::vector<SortCell> keys_;
  std::deque<std::string> rewritten_;  // stays put while cells point into it
};

}  // namespace

void SortReportRows(std::vector<uint32_t>& order, const std::vector<const ReportToken*>& cells,
                    const std::vector<SortMode>& modes) {
  if (modes.empty() || order.size() < 2) return;
  const RowOrder compare(cells, modes);
  std::vector<uint32_t> merged(order.size());
  // Runs of 1, 2, 4, ...; on a tie the earlier run's entry stays first.
  for (size_t run = 1; run < order.size(); run *= 2) {
    for (size_t start = 0; start < order.size(); start += 2 * run) {
      const size_t middle = std::min(start + run, order.size());
      const size_t end = std::min(start + 2 * run, order.size());
      size_t i = start, j = middle, out = start;
      while (i < middle && j < end) merged[out++] = compare.Compare(order[j], order[i]) < 0 ? order[j++] : order[i++];
      while (i < middle) merged[out++] = order[i++];
      while (j < end) merged[out++] = order[j++];
    }
    order.swap(merged);
  }
}

}  // namespace pelikon
