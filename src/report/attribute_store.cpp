#include "report/attribute_store.h"

#include <optional>

#include "platform/text.h"
#include "report/format_store.h"

namespace pelikon {

namespace {

using report_data::Line;
using report_data::Span;

constexpr std::string_view kBlanks = " \t\r";

std::string_view Field(std::string_view text) {
  return Trim(text, kBlanks);
}

bool IsWholeNumber(std::string_view text) {
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) text.remove_prefix(1);
  return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::vector<std::string_view> Pieces(std::string_view line) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (;;) {
    const size_t bar = line.find('|', start);
    if (bar == std::string_view::npos) break;
    pieces.push_back(line.substr(start, bar - start));
    start = bar + 1;
  }
  pieces.push_back(line.substr(start));
  return pieces;
}

// The pieces [from, to) with the bars between them, trimmed.
std::string_view Joined(const std::vector<std::string_view>& pieces, size_t from, size_t to) {
  const char* begin = pieces[from].data();
  const char* end = pieces[to - 1].data() + pieces[to - 1].size();
  return Field(std::string_view(begin, static_cast<size_t>(end - begin)));
}

std::optional<std::string_view> SectionName(std::string_view line) {
  const std::string_view trimmed = Trim(line, kBlanks);
  if (trimmed.size() < 2 || trimmed.front() != '[' || trimmed.back() != ']') return std::nullopt;
  return trimmed.substr(1, trimmed.size() - 2);
}

bool HasBar(std::string_view text) {
  return text.find('|') != std::string_view::npos;
}

// Whether an entry's line reads back as that entry.
bool StorableLine(std::string_view key, std::string_view note, std::string_view line) {
  return !key.empty() && !HasBar(key) && !HasBar(note) && report_data::FitsOnOneLine(line) && !SectionName(line);
}

std::optional<UserAttribute> ParseUserAttribute(std::string_view line) {
  const std::vector<std::string_view> pieces = Pieces(line);
  if (Field(pieces[0]).empty()) return std::nullopt;
  UserAttribute attribute;
  attribute.key = Field(pieces[0]);
  if (pieces.size() > 1) attribute.note = Field(pieces[1]);
  const size_t n = pieces.size();
  const size_t tail = n > 2 ? n - 2 : 0;  // equation and what follows it
  size_t shown = 0;
  size_t decimals = 0;
  if (tail >= 3 && IsWholeNumber(Field(pieces[n - 1]))) {
    attribute.equation = Joined(pieces, 2, n - 2);
    shown = n - 2;
    decimals = n - 1;
  } else if (tail >= 4) {
    attribute.equation = Joined(pieces, 2, n - 3);
    shown = n - 3;
    decimals = n - 2;
    attribute.aver_key = std::string(Field(pieces[n - 1]));
  } else {
    // A short line: what is there, in place.
    if (tail >= 1) attribute.equation = Field(pieces[2]);
    if (tail >= 2) shown = 3;
    if (tail >= 3) decimals = 4;
  }
  if (shown) attribute.shown = LenientInt32(pieces[shown]) != 0;
  if (decimals) attribute.decimals = LenientInt32(pieces[decimals]);
  return attribute;
}

std::optional<std::string> UserAttributeLine(const UserAttribute& attribute) {
  const std::string_view key = Field(attribute.key);
  const std::string_view note = Field(attribute.note);
  std::string line = std::string(key) + "| " + std::string(note) + "| " + std::string(Field(attribute.equation)) +
                     "| " + std::to_string(attribute.shown ? 1 : 0) + "| " + std::to_string(attribute.decimals);
  if (attribute.aver_key) {
    const std::string_view aver_key = Field(*attribute.aver_key);
    if (HasBar(aver_key) || IsWholeNumber(aver_key)) return std::nullopt;
    line += "| ";
    line += aver_key;
  }
  if (!StorableLine(key, note, line)) return std::nullopt;
  return line + "\n";
}

std::optional<AttributeDisplay> ParseAttributeDisplay(std::string_view line) {
  std::vector<std::string_view> pieces = Pieces(line);
  if (pieces.size() > 1 && Field(pieces.back()).empty()) pieces.pop_back();  // the closing "|"
  if (Field(pieces[0]).empty()) return std::nullopt;
  AttributeDisplay display;
  display.key = Field(pieces[0]);
  if (pieces.size() > 1) display.note = Field(pieces[1]);
  if (pieces.size() > 2) display.decimals = LenientInt32(pieces[2]);
  if (pieces.size() > 3) display.aver_key = std::string(Field(pieces[3]));
  return display;
}

std::optional<std::string> AttributeDisplayLine(const AttributeDisplay& display) {
  const std::string_view key = Field(display.key);
  const std::string_view note = Field(display.note);
  std::string line = std::string(key) + "| " + std::string(note) + "| " + std::to_string(display.decimals) + "|";
  if (display.aver_key) {
    const std::string_view aver_key = Field(*display.aver_key);
    if (HasBar(aver_key)) return std::nullopt;
    line += " ";
    line += aver_key;
    line += "|";
  }
  if (!StorableLine(key, note, line)) return std::nullopt;
  return line + "\n";
}

struct Section {
  std::string_view name;
  size_t header = 0;      // its line
  size_t end_line = 0;    // the line after its last
  Span whole;             // header and body
  size_t body_begin = 0;  // after the header's line end
};

std::vector<Section> ParseSections(const std::vector<Line>& lines, size_t content_size) {
  std::vector<Section> sections;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::optional<std::string_view> name = SectionName(lines[i].text);
    if (!name) continue;
    if (!sections.empty()) {
      sections.back().end_line = i;
      sections.back().whole.end = lines[i].begin;
    }
    sections.push_back({*name, i, lines.size(), {lines[i].begin, content_size}, lines[i].end});
  }
  return sections;
}

template <typename Entry>
std::vector<Entry> ReadSection(const std::filesystem::path& file, std::string_view section,
                               std::optional<Entry> (*parse)(std::string_view)) {
  std::string content;
  std::vector<Entry> entries;
  if (!report_data::ReadForRewrite(file, content)) return entries;
  const std::vector<Line> lines = report_data::SplitLines(content);
  for (const Section& found : ParseSections(lines, content.size())) {
    if (!EqualsNoCase(found.name, section)) continue;
    for (size_t i = found.header + 1; i < found.end_line; ++i) {
      if (std::optional<Entry> entry = parse(lines[i].text)) entries.push_back(std::move(*entry));
    }
    break;
  }
  return entries;
}

template <typename Entry>
bool WriteSection(const std::filesystem::path& file, std::string_view section, const std::vector<Entry>& entries,
                  std::optional<std::string> (*line_of)(const Entry&)) {
  std::string header(1, '[');
  header.append(section).append("]\n");
  if (!report_data::FitsOnOneLine(std::string_view(header).substr(0, header.size() - 1))) return false;
  std::string body;
  for (const Entry& entry : entries) {
    const std::optional<std::string> line = line_of(entry);
    if (!line) return false;
    body += *line;
  }
  std::string content;
  if (!report_data::ReadForRewrite(file, content)) return false;
  std::vector<Span> spans;
  for (const Section& found : ParseSections(report_data::SplitLines(content), content.size())) {
    if (!EqualsNoCase(found.name, section)) continue;
    // The first keeps its header; later ones of the same name go whole.
    spans.push_back(spans.empty() ? Span{found.body_begin, found.whole.end} : found.whole);
  }
  // A header on the file's last line needs a line end before the body.
  std::string replacement;
  if (!spans.empty() && content[spans.front().begin - 1] != '\n') replacement = "\n";
  replacement += body;
  header += body;
  return report_data::RewriteSpans(file, content, spans, replacement, header);
}

}  // namespace

TotalOption TotalOptionOf(const std::optional<std::string>& aver_key) {
  if (!aver_key) return TotalOption::kSum;
  if (aver_key->empty()) return TotalOption::kNone;
  if (*aver_key == kRecalculateKey) return TotalOption::kRecalculate;
  return TotalOption::kAverage;
}

std::vector<UserAttribute> ReadUserAttributes(const std::filesystem::path& file, std::string_view section) {
  return ReadSection(file, section, &ParseUserAttribute);
}

std::vector<AttributeDisplay> ReadAttributeDisplays(const std::filesystem::path& file, std::string_view section) {
  return ReadSection(file, section, &ParseAttributeDisplay);
}

std::vector<std::string> AttributeSections(const std::filesystem::path& file) {
  std::string content;
  std::vector<std::string> names;
  if (!report_data::ReadForRewrite(file, content)) return names;
  for (const Section& section : ParseSections(report_data::SplitLines(content), content.size()))
    names.emplace_back(section.name);
  return names;
}

bool WriteUserAttributes(const std::filesystem::path& file, std::string_view section,
                         const std::vector<UserAttribute>& attributes) {
  return WriteSection(file, section, attributes, &UserAttributeLine);
}

bool WriteAttributeDisplays(const std::filesystem::path& file, std::string_view section,
                            const std::vector<AttributeDisplay>& displays) {
  return WriteSection(file, section, displays, &AttributeDisplayLine);
}

}  // namespace pelikon
