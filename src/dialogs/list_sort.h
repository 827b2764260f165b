// Sorting a list view by one column's texts, as a click on its header
// does: natural order (numbers by value, letters without regard to case),
// ascending on the first click, reversed by a second click on the same
// column.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelikon {

// -1, 0 or +1: texts compared character by character without regard to
// case, numbers that start at the same place in both by value ("2" <
// "10", "A9" < "A10", "1.25" < "1.5").
int CompareListTexts(std::string_view a, std::string_view b);

// The row numbers of `texts` in sorted order; rows with equal texts keep
// their order.
std::vector<size_t> SortedRowOrder(const std::vector<std::string>& texts, bool descending);

// Which way a list view is sorted after a header click.
class ColumnSortState {
 public:
  // True when the rows are to be sorted descending: a second click on the
  // column sorted last reverses its order; any other column starts
  // ascending.
  bool Click(int column);

 private:
  int column_ = -1;
  bool descending_ = false;
};

}  // namespace pelikon
