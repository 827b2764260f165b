// A cursor over the points of a CrdFile that a range text selects.
//
// Items are taken in the order written; each yields the stored points
// between its two ends, walking from the first end toward the second (so
// "5-1" runs downward). "ALL" yields every point in file order.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "coord/crd/crd_io.h"
#include "coord/crd/crd_point.h"

namespace pelikon {

class CrdFile;

class CrdList {
 public:
  explicit CrdList(CrdFile& file) : file_(file) {}
  virtual ~CrdList() = default;
  CrdList(const CrdList&) = delete;
  CrdList& operator=(const CrdList&) = delete;

  // Starts over with `text` (normalised; none means "ALL"). With the file
  // holding points and `keep_all` 0, "ALL" becomes "lowest-highest".
  void SetRange(std::string_view text, bool keep_all = false);
  // 1 and the next selected point; 0 at the end (or before any SetRange).
  int Next(CrdPoint& point);

 protected:
  // Forgets the range; Next yields nothing until the next SetRange.
  void ResetRange();

 private:
  bool PastEnd(const CrdPoint& point) const;

  CrdFile& file_;
  CrdCursor cursor_;
  bool inside_item_ = false;
  bool all_in_file_order_ = false;
  std::optional<std::string> range_;  // the items not yet started
  std::string item_end_;
  int item_direction_ = 1;
};

}  // namespace pelikon
