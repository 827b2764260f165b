// Sorting the rows of a report-style list view by the texts of one
// column, in the order of CompareListTexts. Each row keeps its other
// columns, its picture, its state and its item data.
#pragma once

#include <wx/listctrl.h>

namespace pelikon {

void SortListViewByColumn(wxListCtrl& list, int column, bool descending);

}  // namespace pelikon
