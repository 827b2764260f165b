// The report library's diagnostics ("Evaluation %s failed.\n" and the like)
// go to the host's trace function, given with SetVarsPtr; without a host
// they go nowhere. Texts keep their own line ends, as the host expects.
#pragma once

namespace pelikon {

using ReportTraceFunction = void (*)(const char* format, ...);

// The host's trace function, or null for none.
void SetReportTrace(ReportTraceFunction trace);

// printf-style; does nothing without a host trace function.
void ReportTrace(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace pelikon
