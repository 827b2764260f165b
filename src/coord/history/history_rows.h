// The rows of a point's history as the point history window lists them:
// one row per entry of the point, newest first, with the command's
// description, the point's description and position after the change
// ("%.2lf"), the free text and the time as the C library prints it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "coord/history/crd_history.h"

namespace pelikon {

struct PointHistoryRow {
  std::string command;
  std::string description;
  std::string north;
  std::string east;
  std::string elevation;
  std::string info;
  std::string date;  // 24 characters of local time, or 25 blanks
  int64_t time = 0;  // the entry's stamp, for undoing through it
};

// The rows of the entries (resolved, newest first) that concern
// `identifier`: under that name, or under an earlier one of the same point.
std::vector<PointHistoryRow> PointHistoryRows(const HistoryList& entries, std::string_view identifier);

// The time in the C library's fixed 24-character form, local time
// ("Wed Jun 30 21:49:08 1993"), or 25 blanks when it cannot be given.
std::string HistoryTimeText(int64_t seconds);

}  // namespace pelikon
