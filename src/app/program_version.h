// The program's name and revision, as its window title and --version show
// them: "Veldra Software Pelikon v1.52".
#pragma once

#include <string>

namespace pelikon {

// "1.52": taken from the revision keyword the program carries.
std::string ProgramRevision();
// The translated name and the revision.
std::string ProgramTitle();

}  // namespace pelikon
