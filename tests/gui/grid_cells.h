// Reading and pointing at a wxGrid's cells in window tests.
#pragma once

#include <string>
#include <vector>

#include <wx/grid.h>

#include "dialogs/wx/wx_text.h"

namespace pelikon::testing {

// The shown texts of column `col`, top to bottom.
inline std::vector<std::string> Column(wxGrid& grid, int col) {
  std::vector<std::string> cells;
  for (int row = 0; row < grid.GetNumberRows(); ++row) cells.push_back(FromWx(grid.GetCellValue(row, col)));
  return cells;
}

// The middle of a cell in the grid's cell window, scrolled into view.
inline wxPoint CellPoint(wxGrid& grid, int row, int col) {
  grid.MakeCellVisible(row, col);
  const wxRect rect = grid.CellToRect(row, col);
  return grid.CalcScrolledPosition(wxPoint(rect.x + rect.width / 2, rect.y + rect.height / 2));
}

}  // namespace pelikon::testing
