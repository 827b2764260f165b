// A table read from a CSV or tab-separated file, as reporttool feeds it
// to a report: the first row gives the keys, an optional second row whose
// first cell starts with "#" gives the notes (column headings). Cells may
// be double-quoted ("" inside stands for one quote). A column whose
// filled cells are all numbers becomes a real field shown with as many
// decimals as its most precise cell; any other column a string field.
#pragma once

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
  std::vector<std::vector<std::string>> rows;  // as many cells as columns
};

// False with the reason when the file cannot be read or has no key row.
bool ReadInputTable(const std::filesystem::path& file, InputTable& table, std::string& error);

// One line split at `separator`, quotes honoured.
std::vector<std::string> SplitTableLine(std::string_view line, char separator);

}  // namespace pelikon_tools
