#include "coord/crd/crd_environment.h"

#include <ctime>

namespace pelikon {

CivilDate UtcToday() {
  const std::time_t now = std::time(nullptr);
  std::tm parts{};
  if (!::gmtime_r(&now, &parts)) return {};
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday};
}

}  // namespace pelikon
