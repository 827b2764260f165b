// Checking a new name that the user typed for a file: it must be a name
// (not blank, no folder part) and keep the file's extension, compared
// without regard to case. The name goes on to the other side of a
// transfer and into the staging folder, so a folder part is refused like
// a missing name.
#pragma once

#include <string_view>

namespace pelikon {

// The catalogue key of the message that refuses `new_name` as a new name
// for `original_name`, or nullptr when it is acceptable.
const char* NewFileNameProblem(std::string_view new_name, std::string_view original_name);

// The text after the last "." of a name, or empty.
std::string_view FileNameExtension(std::string_view name);

}  // namespace pelikon
