// A table read from a CSV or tab-separated file, as reporttool feeds it
// to a report: the first row gives the keys, an optional second row whose
// first cell starts with "#" gives the notes (column headings). Cells may
// be double-quoted ("" inside stands for one quote). A column whose
// filled cells are all numbers becomes a real field shown with as many
// decimals as its most precise cell; any other column a string field.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon_tools {

struct TableColumn {
  std::string key;
  std::string note;
  bool real = false;
  int places = 0;
};

struct InputTable {
  std::vector<TableColumn> columns;
  // Row r's cell c is cells[r * columns.size() + c]: a view into the
  // file's bytes, or into `unquoted` for cells that had quotes.
  std::vector<std::string_view> cells;
  size_t Rows() const { return columns.empty() ? 0 : cells.size() / columns.size(); }
  std::string_view Cell(size_t row, size_t column) const { return cells[row * columns.size() + column]; }

  std::string content;
  std::deque<std::string> unquoted;
};

// False with the reason when the file cannot be read or has no key row.
bool ReadInputTable(const std::filesystem::path& file, InputTable& table, std::string& error);

// One line split at `separator`, quotes honoured; cells with quotes are
// kept in `unquoted`, the others are views into `line`.
std::vector<std::string_view> SplitTableLine(std::string_view line, char separator, std::deque<std::string>& unquoted);

}  // namespace pelikon_tools
