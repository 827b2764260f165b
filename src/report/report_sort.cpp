#include "report/report_sort.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <climits>
#include <cstring>
#include <deque>
#include <string>

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

// A string cell as the sort reads it, worked out once per cell.
struct SortText {
  bool is_date = false;
  int64_t date = 0;
  std::string_view text;
};

struct PreparedField {
  SortMode mode;
  std::vector<SortText> texts;        // per row, for Up and Down fields
  std::deque<std::string> rewritten;  // stays put while views point into it
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
  RowOrder(const std::vector<const ReportToken*>& cells, const std::vector<SortMode>& modes)
      : cells_(cells), fields_(modes.size()), rows_(modes.empty() ? 0 : cells.size() / modes.size()) {
    prepared_.resize(fields_);
    for (size_t f = 0; f < fields_; ++f) {
      PreparedField& field = prepared_[f];
      field.mode = modes[f];
      if (field.mode != SortMode::kUp && field.mode != SortMode::kDown) continue;
      field.texts.resize(rows_);
      for (size_t r = 0; r < rows_; ++r) {
        const ReportToken* token = cells_[r * fields_ + f];
        if (token == nullptr || token->type != kReportString) continue;
        SortText& text = field.texts[r];
        text.is_date = ReadReportDate(FirstWord(token->text), text.date);
        text.text = token->text;
        // Blank lines of a block sort as block 0.
        if (text.text.find(" <B:") != std::string_view::npos) {
          std::string copy(text.text);
          for (size_t at = copy.find(" <B:"); at != std::string::npos; at = copy.find(" <B:", at + 4))
            copy[at + 2] = '0';
          field.rewritten.push_back(std::move(copy));
          text.text = field.rewritten.back();
        }
      }
    }
  }

  // Negative when row a goes first.
  int Compare(uint32_t a, uint32_t b) const {
    for (size_t f = 0; f < fields_; ++f) {
      const PreparedField& field = prepared_[f];
      const ReportToken* x = cells_[a * fields_ + f];
      const ReportToken* y = cells_[b * fields_ + f];
      switch (field.mode) {
        case SortMode::kCollapse:
        case SortMode::kIgnore:
          continue;
        case SortMode::kHold: {
          if (x != nullptr && y != nullptr && x->type == y->type &&
              (x->type == kReportReal ? x->real == y->real : EqualsNoCase(x->text, y->text)))
            continue;
          if (a != b) return a < b ? -1 : 1;
          continue;
        }
        case SortMode::kUp:
        case SortMode::kDown: {
          const int d = field.mode == SortMode::kUp ? 1 : -1;
          if (x == nullptr) return -d;
          if (y == nullptr) return d;
          if (x->type == kReportReal && y->type == kReportReal) {
            if (x->real < y->real) return -d;
            if (x->real > y->real) return d;
            continue;
          }
          if (x->type != kReportString || y->type != kReportString) continue;
          const SortText& s = field.texts[a];
          const SortText& t = field.texts[b];
          if (s.is_date && t.is_date) {
            if (s.date != t.date) return s.date < t.date ? -d : d;
            continue;
          }
          const int r = NaturalCompare(s.text, t.text);
          if (r != 0) return r * d;
          continue;
        }
      }
    }
    return 0;
  }

 private:
  const std::vector<const ReportToken*>& cells_;
  size_t fields_;
  size_t rows_;
  std::vector<PreparedField> prepared_;
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
