#include "dialogs/list_sort.h"

#include <algorithm>
#include <numeric>

#include "pointid/point_id.h"

namespace pelikon {

// Point identifiers are compared in this very order, so the lists of the
// program sort their rows the way its files order their points.
int CompareListTexts(std::string_view a, std::string_view b) {
  return ComparePointIds(a, b);
}

std::vector<size_t> SortedRowOrder(const std::vector<std::string>& texts, bool descending) {
  std::vector<size_t> order(texts.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    const int order_of = CompareListTexts(texts[a], texts[b]);
    return descending ? order_of > 0 : order_of < 0;
  });
  return order;
}

bool ColumnSortState::Click(int column) {
  descending_ = column == column_ ? !descending_ : false;
  column_ = column;
  return descending_;
}

}  // namespace pelikon
