#include "report/format_store.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using report_data::Line;
using report_data::Span;

constexpr std::string_view kSortMarks = "!^~`";

char MarkOf(SortMode mode) {
  switch (mode) {
    case SortMode::kHold:
      return '!';
    case SortMode::kDown:
      return '^';
    case SortMode::kCollapse:
      return '~';
    case SortMode::kIgnore:
      return '`';
    case SortMode::kUp:
      break;
  }
  return 0;
}

SortMode ModeOfMark(char mark) {
  switch (mark) {
    case '!':
      return SortMode::kHold;
    case '^':
      return SortMode::kDown;
    case '~':
      return SortMode::kCollapse;
    case '`':
      return SortMode::kIgnore;
    default:
      return SortMode::kUp;
  }
}

// Reads the options line the way its "%d ... '%c' ..." layout would be
// scanned: each value after optional white space, stopping at the first
// one that is not there.
class OptionScanner {
 public:
  explicit OptionScanner(std::string_view text) : text_(text) {}

  std::optional<int32_t> Number() {
    SkipSpace();
    const size_t start = pos_;
    size_t digits = pos_;
    if (digits < text_.size() && (text_[digits] == '+' || text_[digits] == '-')) ++digits;
    size_t end = digits;
    while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') ++end;
    if (end == digits) return std::nullopt;
    pos_ = end;
    return LenientInt32(text_.substr(start, end - start));
  }

  // "'%c'": a quote after optional white space, any character, a quote.
  bool QuotedCharacter() {
    SkipSpace();
    if (pos_ + 3 > text_.size() || text_[pos_] != '\'' || text_[pos_ + 2] != '\'') return false;
    pos_ += 3;
    return true;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && std::string_view(" \t\n\v\f\r").find(text_[pos_]) != std::string_view::npos) ++pos_;
  }

  std::string_view text_;
  size_t pos_ = 0;
};

// The eleven numbers of the options line, as many as could be read.
std::vector<int32_t> ScanOptionNumbers(std::string_view line) {
  OptionScanner scanner(line);
  std::vector<int32_t> numbers;
  for (int i = 0; i < 11; ++i) {
    if (i == 7 && !scanner.QuotedCharacter()) break;
    const std::optional<int32_t> number = scanner.Number();
    if (!number) break;
    numbers.push_back(*number);
  }
  return numbers;
}

void ReadOptions(std::string_view line, FormatOptions& options) {
  const std::vector<int32_t> numbers = ScanOptionNumbers(line);
  for (size_t i = 0; i < numbers.size(); ++i) {
    const int32_t n = numbers[i];
    switch (i) {
      case 0:
        options.columns = n != 0;
        break;
      case 1:
        options.fixed = n != 0;
        break;
      case 2:
        options.width = n;
        break;
      case 3:
        options.totals_only = n != 0;
        break;
      case 4:
        options.totals_depth = n;
        break;
      case 7:
        options.excel_total = n != 0;
        break;
      case 8:
        options.use_commas = n != 0;
        break;
      case 9:
        options.ignore_repeats = n != 0;
        break;
      case 10:
        options.excel_text = n != 0;
        break;
      default:
        break;  // the sixth and seventh carry nothing
    }
  }
}

std::string OptionsLine(const FormatOptions& o) {
  return StrPrintf("%d %d %d %d %d %d %d '%c' %d %d %d %d\n", o.columns, o.fixed, o.width, o.totals_only,
                   o.totals_depth, 0, 1, ' ', o.excel_total, o.use_commas, o.ignore_repeats, o.excel_text);
}

struct StoredFormat {
  ReportFormat format;
  Span span;
};

std::vector<StoredFormat> ParseFormats(std::string_view content) {
  const std::vector<Line> lines = report_data::SplitLines(content);
  std::vector<StoredFormat> formats;
  size_t i = 0;
  while (i < lines.size()) {
    if (lines[i].text.empty()) {
      ++i;
      continue;
    }
    StoredFormat stored;
    stored.format.name = lines[i].text;
    stored.span = {lines[i].begin, lines[i].end};
    ++i;
    if (i < lines.size()) {
      stored.format.used = ParseFormatFieldsLine(lines[i].text);
      stored.span.end = lines[i++].end;
    }
    if (i < lines.size()) {
      ReadOptions(lines[i].text, stored.format.options);
      stored.span.end = lines[i++].end;
    }
    formats.push_back(std::move(stored));
  }
  return formats;
}

// Whether the format reads back exactly as it is written.
bool Storable(const ReportFormat& format) {
  if (format.name.empty() || !report_data::FitsOnOneLine(format.name)) return false;
  for (const FormatField& field : format.used) {
    if (field.key.empty() || field.key.find('|') != std::string::npos) return false;
    // An unmarked key must not start with what reads as a mark.
    if (field.sort == SortMode::kUp && kSortMarks.find(field.key.front()) != std::string_view::npos) return false;
  }
  return report_data::FitsOnOneLine(FormatFieldsLine(format.used));
}

std::string FormatText(const ReportFormat& format) {
  return format.name + "\n" + FormatFieldsLine(format.used) + "\n" + OptionsLine(format.options);
}

struct StoredChoice {
  FormatChoice choice;
  Span span;
};

std::vector<StoredChoice> ParseChoices(std::string_view content) {
  std::vector<StoredChoice> choices;
  for (const Line& line : report_data::SplitLines(content)) {
    const size_t bar = line.text.find('|');
    if (bar == std::string_view::npos) continue;
    choices.push_back(
        {{std::string(line.text.substr(0, bar)), std::string(line.text.substr(bar + 1))}, {line.begin, line.end}});
  }
  return choices;
}

std::string ReadOrNothing(const std::filesystem::path& file) {
  std::string content;
  if (!ReadWholeFile(file, content)) content.clear();
  return content;
}

}  // namespace

SortMode SortModeFromNumber(int number) {
  return number >= 0 && number <= 4 ? static_cast<SortMode>(number) : SortMode::kUp;
}

std::string FormatFieldsLine(const std::vector<FormatField>& fields) {
  std::string line;
  for (const FormatField& field : fields) {
    if (!line.empty()) line += '|';
    if (const char mark = MarkOf(field.sort)) line += mark;
    line += field.key;
  }
  return line;
}

std::vector<FormatField> ParseFormatFieldsLine(std::string_view line) {
  std::vector<FormatField> fields;
  size_t start = 0;
  while (start <= line.size()) {
    size_t bar = line.find('|', start);
    if (bar == std::string_view::npos) bar = line.size();
    std::string_view item = line.substr(start, bar - start);
    start = bar + 1;
    if (item.empty()) continue;
    FormatField field;
    if (kSortMarks.find(item.front()) != std::string_view::npos) {
      field.sort = ModeOfMark(item.front());
      item.remove_prefix(1);
    }
    item = TrimRight(item, "\r");  // a key never ends a line with a CR of its own
    if (item.empty()) continue;
    field.key = item;
    fields.push_back(std::move(field));
  }
  return fields;
}

std::vector<ReportFormat> ReadFormats(const std::filesystem::path& file) {
  std::vector<ReportFormat> formats;
  for (StoredFormat& stored : ParseFormats(ReadOrNothing(file))) formats.push_back(std::move(stored.format));
  return formats;
}

std::optional<ReportFormat> FindFormat(const std::filesystem::path& file, std::string_view name) {
  for (ReportFormat& format : ReadFormats(file)) {
    if (EqualsNoCase(format.name, name)) return std::move(format);
  }
  return std::nullopt;
}

bool SaveFormat(const std::filesystem::path& file, const ReportFormat& format) {
  std::string content;
  if (!Storable(format) || !report_data::ReadForRewrite(file, content)) return false;
  std::vector<Span> spans;
  for (const StoredFormat& stored : ParseFormats(content)) {
    if (EqualsNoCase(stored.format.name, format.name)) spans.push_back(stored.span);
  }
  const std::string text = FormatText(format);
  return report_data::RewriteSpans(file, content, spans, text, text);
}

bool DeleteFormat(const std::filesystem::path& file, std::string_view name) {
  std::string content;
  if (!report_data::ReadForRewrite(file, content)) return false;
  std::vector<Span> spans;
  for (const StoredFormat& stored : ParseFormats(content)) {
    if (EqualsNoCase(stored.format.name, name)) spans.push_back(stored.span);
  }
  return !spans.empty() && report_data::RewriteSpans(file, content, spans, "", "");
}

std::vector<FormatChoice> ReadFormatChoices(const std::filesystem::path& file) {
  std::vector<FormatChoice> choices;
  for (StoredChoice& stored : ParseChoices(ReadOrNothing(file))) choices.push_back(std::move(stored.choice));
  return choices;
}

std::string LastUsedFormat(const std::filesystem::path& file, std::string_view report_format_name) {
  for (FormatChoice& choice : ReadFormatChoices(file)) {
    if (EqualsNoCase(choice.report_format, report_format_name)) return std::move(choice.format);
  }
  return {};
}

bool RecordUsedFormat(const std::filesystem::path& file, std::string_view report_format_name,
                      std::string_view format_name) {
  std::string line = std::string(report_format_name) + "|" + std::string(format_name);
  if (report_format_name.find('|') != std::string_view::npos || !report_data::FitsOnOneLine(line)) return false;
  std::string content;
  if (!report_data::ReadForRewrite(file, content)) return false;
  std::vector<Span> spans;
  for (const StoredChoice& stored : ParseChoices(content)) {
    if (EqualsNoCase(stored.choice.report_format, report_format_name)) spans.push_back(stored.span);
  }
  line += '\n';
  return report_data::RewriteSpans(file, content, spans, line, line);
}

namespace report_data {

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  size_t begin = 0;
  while (begin < content.size()) {
    const size_t feed = content.find('\n', begin);
    const size_t stop = feed == std::string_view::npos ? content.size() : feed;
    std::string_view text = content.substr(begin, std::min(stop - begin, kReportLineLimit));
    text = TrimRight(text, "\r");
    const size_t end = feed == std::string_view::npos ? content.size() : feed + 1;
    lines.push_back({text, begin, end});
    begin = end;
  }
  return lines;
}

bool ReadForRewrite(const std::filesystem::path& file, std::string& content) {
  if (ReadWholeFile(file, content)) return true;
  content.clear();
  std::error_code error;
  return std::filesystem::symlink_status(file, error).type() == std::filesystem::file_type::not_found;
}

bool RewriteSpans(const std::filesystem::path& file, std::string_view content, const std::vector<Span>& spans,
                  std::string_view replacement, std::string_view appended) {
  std::string out;
  out.reserve(content.size() + replacement.size() + appended.size() + 1);
  if (spans.empty()) {
    out = content;
    if (!out.empty() && out.back() != '\n') out += '\n';
    out += appended;
  } else {
    size_t copied = 0;
    for (size_t i = 0; i < spans.size(); ++i) {
      out.append(content.substr(copied, spans[i].begin - copied));
      if (i == 0) out += replacement;
      copied = spans[i].end;
    }
    out.append(content.substr(copied));
  }
  return !WriteFileAtomically(file, out);
}

bool FitsOnOneLine(std::string_view text) {
  return text.size() <= kReportLineLimit && text.find('\n') == std::string_view::npos &&
         (text.empty() || text.back() != '\r');
}

}  // namespace report_data

}  // namespace pelikon
