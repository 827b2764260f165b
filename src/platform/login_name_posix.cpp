#include "platform/login_name.h"

#include <pwd.h>
#include <unistd.h>

#include <vector>

namespace pelikon {

std::string LoginName() {
  char name[256] = {};
  if (::getlogin_r(name, sizeof name) == 0 && name[0] != '\0') return name;
  // No controlling terminal (a desktop start, a service): the account of
  // the real user.
  long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  struct passwd entry {};
  struct passwd* found = nullptr;
  if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name)
    return found->pw_name;
  return {};
}

}  // namespace pelikon
