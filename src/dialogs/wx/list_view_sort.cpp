#include "dialogs/wx/list_view_sort.h"

#include <string>
#include <vector>

#include "dialogs/list_sort.h"
#include "dialogs/wx/wx_text.h"

namespace pelikon {

namespace {

int wxCALLBACK CompareRanks(wxIntPtr first, wxIntPtr second, wxIntPtr ranks) {
  const auto& rank = *reinterpret_cast<const std::vector<long>*>(ranks);
  return rank[static_cast<size_t>(first)] < rank[static_cast<size_t>(second)]   ? -1
         : rank[static_cast<size_t>(first)] > rank[static_cast<size_t>(second)] ? 1
                                                                                : 0;
}

}  // namespace

void SortListViewByColumn(wxListCtrl& list, int column, bool descending) {
  const long rows = list.GetItemCount();
  if (rows < 2 || column < 0 || column >= list.GetColumnCount()) return;
  std::vector<std::string> texts;
  std::vector<wxUIntPtr> data;
  for (long row = 0; row < rows; ++row) {
    texts.push_back(FromWx(list.GetItemText(row, column)));
    data.push_back(list.GetItemData(row));
  }
  std::vector<long> rank(static_cast<size_t>(rows));
  const std::vector<size_t> order = SortedRowOrder(texts, descending);
  for (size_t position = 0; position < order.size(); ++position) rank[order[position]] = static_cast<long>(position);

  // The control sorts by item data, so each row carries its old row number
  // while it moves, and its own data again afterwards.
  for (long row = 0; row < rows; ++row) list.SetItemData(row, row);
  list.SortItems(CompareRanks, reinterpret_cast<wxIntPtr>(&rank));
  for (long row = 0; row < rows; ++row) list.SetItemData(row, data[static_cast<size_t>(list.GetItemData(row))]);
}

}  // namespace pelikon
