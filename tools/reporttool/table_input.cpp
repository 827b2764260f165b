#include "table_input.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/expression.h"

namespace pelikon_tools {

std::vector<std::string> SplitTableLine(std::string_view line, char separator) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"')
        cells.back().push_back(c);
      else if (i + 1 < line.size() && line[i + 1] == '"')
        cells.back().push_back(line[++i]);
      else
        quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == separator) {
      cells.emplace_back();
    } else {
      cells.back().push_back(c);
    }
  }
  return cells;
}

namespace {

int DecimalsOf(std::string_view number) {
  const size_t point = number.find('.');
  if (point == std::string_view::npos) return 0;
  size_t end = point + 1;
  while (end < number.size() && number[end] >= '0' && number[end] <= '9') ++end;
  return static_cast<int>(std::min<size_t>(end - point - 1, 14));
}

}  // namespace

bool ReadInputTable(const std::filesystem::path& file, InputTable& table, std::string& error) {
  std::string content;
  if (!pelikon::ReadWholeFile(file, content)) {
    error = pelikon::StrPrintf(pelikon::Tr("cannot read %s"), file.c_str());
    return false;
  }
  std::vector<std::string_view> lines;
  for (size_t at = 0; at < content.size();) {
    size_t end = content.find('\n', at);
    if (end == std::string::npos) end = content.size();
    std::string_view line(content.data() + at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
    at = end + 1;
  }
  if (lines.empty()) {
    error = pelikon::StrPrintf(pelikon::Tr("%s has no row of keys"), file.c_str());
    return false;
  }
  const char separator = lines.front().find('\t') != std::string_view::npos ? '\t' : ',';
  for (std::string& key : SplitTableLine(lines.front(), separator)) {
    TableColumn column;
    column.key = std::string(pelikon::Trim(key));
    column.note = column.key;
    table.columns.push_back(std::move(column));
  }
  size_t first_row = 1;
  if (lines.size() > 1 && !lines[1].empty() && lines[1].front() == '#') {
    const std::vector<std::string> notes = SplitTableLine(lines[1].substr(1), separator);
    for (size_t c = 0; c < notes.size() && c < table.columns.size(); ++c)
      if (!pelikon::Trim(notes[c]).empty()) table.columns[c].note = std::string(pelikon::Trim(notes[c]));
    first_row = 2;
  }
  std::vector<bool> numeric(table.columns.size(), true);
  std::vector<bool> filled(table.columns.size(), false);
  table.rows.reserve(lines.size() - first_row);
  for (size_t l = first_row; l < lines.size(); ++l) {
    std::vector<std::string> cells = SplitTableLine(lines[l], separator);
    cells.resize(table.columns.size());
    for (size_t c = 0; c < cells.size(); ++c) {
      if (cells[c].empty() || !numeric[c]) continue;
      filled[c] = true;
      double value = 0;
      if (!pelikon::ReadWholeNumber(cells[c], value))
        numeric[c] = false;
      else
        table.columns[c].places = std::max(table.columns[c].places, DecimalsOf(cells[c]));
    }
    table.rows.push_back(std::move(cells));
  }
  for (size_t c = 0; c < table.columns.size(); ++c) table.columns[c].real = numeric[c] && filled[c];
  return true;
}

}  // namespace pelikon_tools
