// The formatter's face when the host shows windows: the viewer, message
// boxes and file pickers on the host's display. Null in a host without
// one (no running windowed application) and in a build without windows;
// the formatter then writes its text report and returns.
#pragma once

#include "report/formatter.h"

namespace pelikon {

FormatterPort* WindowsFormatterPort();

}  // namespace pelikon
