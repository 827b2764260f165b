// What CRD files need from the world around them, injectable for tests:
// where the files live, the clock the lock waits sleep on, the date written
// into new headers, and where the one message meant for the user goes.
#pragma once

#include <functional>

#include "coord/crd/crd_storage.h"
#include "platform/clock.h"
#include "platform/ui.h"

namespace pelikon {

struct CivilDate {
  int year = 1970;
  int month = 1;
  int day = 1;
};

// Today's date in UTC.
CivilDate UtcToday();

struct CrdEnvironment {
  CrdStorage* storage = &SystemCrdStorage();
  Clock* clock = &DefaultClock();
  std::function<CivilDate()> today = UtcToday;
  // Shows "Failed to open coordinate file..." when set; the text is traced
  // either way.
  Ui* ui = nullptr;
};

}  // namespace pelikon
