#include "coord/crd/crd_list.h"

#include "coord/crd/crd_file.h"
#include "platform/trace.h"
#include "pointid/point_range.h"

namespace pelikon {

void CrdList::ResetRange() {
  range_.reset();
  cursor_ = {};
  inside_item_ = false;
  all_in_file_order_ = false;
}

void CrdList::SetRange(std::string_view text, bool keep_all) {
  ResetRange();
  std::string range = NormaliseRange(text);
  if (IsAllKeyword(range)) {
    if (file_.IsOpen() && file_.PointCount() > 0 && !keep_all) {
      range = file_.Lowest() + "-" + file_.Highest();
    } else {
      all_in_file_order_ = true;
    }
  }
  range_ = std::move(range);
}

bool CrdList::PastEnd(const CrdPoint& point) const {
  return file_.Handler()->CompareIds(point.Id(), item_end_) * item_direction_ > 0;
}

int CrdList::Next(CrdPoint& point) {
  if (!file_.IsOpen()) {
    Trace("\nError1: crd file not open");
    return 0;
  }
  if (!range_) return 0;
  CrdIO& io = *file_.Handler();
  if (all_in_file_order_) return io.Step(&cursor_, point, 1);
  for (;;) {
    if (inside_item_) {
      if (io.Step(&cursor_, point, item_direction_) && !PastEnd(point)) return 1;
      inside_item_ = false;
    }
    const std::optional<RangeItem> item = NextRangeItem(*range_);
    if (!item) {
      range_ = std::string();
      return 0;
    }
    const std::string first = item->first;
    item_end_ = item->second;
    range_ = std::string(item->rest);
    const int order = io.CompareIds(item_end_, first);
    if (order == 0) {
      if (file_.GetPoint(first, point, true)) return 1;
      continue;
    }
    item_direction_ = order > 0 ? 1 : -1;
    if (!file_.GetPointNear(first, point, true, item_direction_) || PastEnd(point)) continue;
    inside_item_ = true;
    cursor_.index = io.CurrentIndex();
    return 1;
  }
}

}  // namespace pelikon
