#include "report/report_trace.h"

#include <cstdarg>
#include <string>

#include "platform/text.h"

namespace pelikon {

namespace {
ReportTraceFunction host_trace = nullptr;
}  // namespace

void SetReportTrace(ReportTraceFunction trace) {
  host_trace = trace;
}

void ReportTrace(const char* format, ...) {
  if (host_trace == nullptr) return;
  va_list args;
  va_start(args, format);
  const std::string text = VStrPrintf(format, args);
  va_end(args);
  // The host sees the finished text, never our format with its arguments.
  host_trace("%s", text.c_str());
}

}  // namespace pelikon
