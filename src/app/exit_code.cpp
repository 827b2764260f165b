#include "app/exit_code.h"

namespace pelikon {

void ExitCode::RecordEntry(bool succeeded) {
  if (succeeded) {
    if (value_ == -1)
      value_ = 0;
    else if (value_ == 2)
      value_ = 1;
  } else {
    if (value_ == -1)
      value_ = 2;
    else if (value_ == 0)
      value_ = 1;
  }
}

}  // namespace pelikon
