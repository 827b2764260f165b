#include "table_input.h"

#include <algorithm>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"
#include "report/expression.h"

namespace pelikon_tools {

std::vector<std::string_view> SplitTableLine(std::string_view line, char separator, std::deque<std::string>& unquoted) {
  std::vector<std::string_view> cells;
  size_t at = 0;
  while (true) {
    const size_t end = line.find(separator, at);
    const std::string_view plain = line.substr(at, end == std::string_view::npos ? end : end - at);
    if (plain.find('"') == std::string_view::npos) {
      cells.push_back(plain);
      if (end == std::string_view::npos) return cells;
      at = end + 1;
      continue;
    }
    // A cell with quotes: read it character by character.
    std::string cell;
    bool quoted = false;
    size_t i = at;
    for (; i < line.size(); ++i) {
      const char c = line[i];
      if (quoted) {
        if (c != '"')
          cell.push_back(c);
        else if (i + 1 < line.size() && line[i + 1] == '"')
          cell.push_back(line[++i]);
        else
          quoted = false;
      } else if (c == '"') {
        quoted = true;
      } else if (c == separator) {
        break;
      } else {
        cell.push_back(c);
      }
    }
    unquoted.push_back(std::move(cell));
    cells.push_back(unquoted.back());
    if (i >= line.size()) return cells;
    at = i + 1;
  }
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
  if (!pelikon::ReadWholeFile(file, table.content)) {
    error = pelikon::StrPrintf(pelikon::Tr("cannot read %s"), file.c_str());
    return false;
  }
  std::vector<std::string_view> lines;
  const std::string_view content = table.content;
  for (size_t at = 0; at < content.size();) {
    size_t end = content.find('\n', at);
    if (end == std::string_view::npos) end = content.size();
    std::string_view line = content.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
    at = end + 1;
  }
  if (lines.empty()) {
    error = pelikon::StrPrintf(pelikon::Tr("%s has no row of keys"), file.c_str());
    return false;
  }
  const char separator = lines.front().find('\t') != std::string_view::npos ? '\t' : ',';
  for (std::string_view key : SplitTableLine(lines.front(), separator, table.unquoted)) {
    TableColumn column;
    column.key = std::string(pelikon::Trim(key));
    column.note = column.key;
    table.columns.push_back(std::move(column));
  }
  const size_t columns = table.columns.size();
  size_t first_row = 1;
  if (lines.size() > 1 && lines[1].front() == '#') {
    const std::vector<std::string_view> notes = SplitTableLine(lines[1].substr(1), separator, table.unquoted);
    for (size_t c = 0; c < notes.size() && c < columns; ++c)
      if (!pelikon::Trim(notes[c]).empty()) table.columns[c].note = std::string(pelikon::Trim(notes[c]));
    first_row = 2;
  }
  std::vector<bool> numeric(columns, true);
  std::vector<bool> filled(columns, false);
  table.cells.reserve((lines.size() - first_row) * columns);
  for (size_t l = first_row; l < lines.size(); ++l) {
    std::vector<std::string_view> cells = SplitTableLine(lines[l], separator, table.unquoted);
    cells.resize(columns);
    for (size_t c = 0; c < columns; ++c) {
      table.cells.push_back(cells[c]);
      if (cells[c].empty() || !numeric[c]) continue;
      filled[c] = true;
      double value = 0;
      if (!pelikon::ReadWholeNumber(cells[c], value))
        numeric[c] = false;
      else
        table.columns[c].places = std::max(table.columns[c].places, DecimalsOf(cells[c]));
    }
  }
  for (size_t c = 0; c < columns; ++c) table.columns[c].real = numeric[c] && filled[c];
  return true;
}

}  // namespace pelikon_tools
