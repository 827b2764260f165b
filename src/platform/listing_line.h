// The lines of a directory listing as both sides write them: the PC's own
// listing and the docked-device connector's. Every line ends CR LF.
//   file     name|size|MM/DD/YY|HH:MM|attributes|short name
//   folder   name|-1|MM/DD/YY|HH:MM|-1|short name
//   parent   ..|-1| | |-1|..
// The size is the low 32 bits of the file size, signed; dates and times
// are local time with the seconds dropped and a two-digit year. There are
// no short names on this system: the last field repeats the name.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace pelikon {

inline constexpr std::string_view kListingParentLine = "..|-1| | |-1|..\r\n";

// "MM/DD/YY" and "HH:MM" of a moment in local time.
std::string ListingDate(std::time_t moment);
std::string ListingTime(std::time_t moment);

// False for names the format cannot carry (a "|" or a line break).
bool ListableName(std::string_view name);

// Appends the line of one entry to `out`.
void AppendListingFileLine(std::string& out, std::string_view name, uint64_t size, std::time_t modified,
                           uint32_t attributes);
void AppendListingFolderLine(std::string& out, std::string_view name, std::time_t modified);

}  // namespace pelikon
