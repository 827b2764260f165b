// The order of a report's data entries: by the used fields in turn, each
// with its sort mode. Strings that both start with a month/day/year date
// compare as dates; other strings compare "naturally" (numbers inside them
// by value, letters without regard to case). The sort is a stable
// bottom-up merge sort, so entries the fields cannot tell apart keep the
// order the host added them in.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "report/format_store.h"
#include "report/report_model.h"

namespace pelikon {

// Sign of the natural comparison: "a9" before "a10", "B" equal to "b".
int NaturalCompare(std::string_view a, std::string_view b);

// Reads "m/d/y" (month 1-12, day 1-31, year not negative; years below 51
// are 20xx, 51 to 99 are 19xx) into yyyymmdd; false when it is no date.
bool ReadReportDate(std::string_view word, int64_t& yyyymmdd);

// Rows of tokens: row r's token for used field f is cells[r * fields + f]
// (null when the entry lacks it). Sorts `order` (row numbers, which are
// also the entries' positions in the report) by the fields' sort modes.
void SortReportRows(std::vector<uint32_t>& order, const std::vector<const ReportToken*>& cells,
                    const std::vector<SortMode>& modes);

}  // namespace pelikon
