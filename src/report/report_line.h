// One line of text built from an entry's tokens by a template: items
// joined by "+", each a double-quoted literal or a token key (reals with
// their places; unknown keys add nothing): "\"N=\"+NORTH+\" E=\"+EAST".
#pragma once

#include <string>
#include <string_view>

#include "report/report_model.h"

namespace pelikon {

// The line, at most kReportLineLimit characters (the rest is cut).
std::string BuildReportLine(std::string_view line_template, const ReportToken* tokens);

}  // namespace pelikon
