// Changing a finished report from its table: the user types a new value for
// one field of one data entry, and the entry's token of that field takes
// it. Everything laid out from the report afterwards (the text report, a
// table built again, the exports) shows the new value.
#pragma once

#include <string_view>

#include "report/report_model.h"
#include "report/report_table.h"

namespace pelikon {

enum class ReportEditResult {
  kChanged,
  kNotANumber,  // a number field was given other text; nothing changed
  kNotAnEntry,  // not a data entry of the report; nothing changed
};

// Writes `text` as the value of `column`'s field in `entry`.
// * The entry's token of that key keeps its type: a real token takes only
//   a number (blanks around it, a sign and an exponent allowed), which
//   keeps its places; a string token takes the text as it is.
// * An entry without that token gets one, made like the field's token in
//   the first entry that has one (note, places, total and sort settings),
//   or from the column when none has; it is real when the column is.
// `entry` must be a data entry of `report`.
ReportEditResult SetReportValue(Report& report, const ReportNode* entry, const ReportTableColumn& column,
                                std::string_view text);

}  // namespace pelikon
