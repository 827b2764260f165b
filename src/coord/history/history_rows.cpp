#include "coord/history/history_rows.h"

#include <ctime>

#include "coord/history/history_commands.h"
#include "platform/text.h"

namespace pelikon {

std::string HistoryTimeText(int64_t seconds) {
  const auto moment = static_cast<std::time_t>(seconds);
  std::tm parts{};
  char text[32];
  // asctime's layout, without its line end.
  if (::localtime_r(&moment, &parts) == nullptr || parts.tm_year + 1900 > 9999 || parts.tm_year + 1900 < 0 ||
      std::strftime(text, sizeof text, "%a %b %e %H:%M:%S %Y", &parts) != 24)
    return std::string(25, ' ');
  // %e pads the day with a blank, as the C library does.
  return text;
}

std::vector<PointHistoryRow> PointHistoryRows(const HistoryList& entries, std::string_view identifier) {
  std::vector<PointHistoryRow> rows;
  for (size_t i = 0; i < entries.size(); ++i) {
    if (entries.Id(i) != identifier && entries.LatestId(i) != identifier) continue;
    const HistoryEntry entry = entries[i];
    PointHistoryRow row;
    row.command = CommandDescription(entry.command);
    row.description = entry.after.Description();
    row.north = StrPrintf("%.2lf", entry.after.northing);
    row.east = StrPrintf("%.2lf", entry.after.easting);
    row.elevation = StrPrintf("%.2lf", entry.after.elevation);
    row.info = entry.text;
    row.date = HistoryTimeText(entry.time);
    row.time = entry.time;
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace pelikon
