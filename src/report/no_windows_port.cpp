// A build without windows: reports are always written without showing.
#include "report/windows_port.h"

namespace pelikon {

FormatterPort* WindowsFormatterPort() {
  return nullptr;
}

}  // namespace pelikon
