// The name the user logged in with, as recorded in files that note who
// changed them.
#pragma once

#include <string>

namespace pelikon {

// The login name of the process's user; empty when none can be found.
std::string LoginName();

}  // namespace pelikon
