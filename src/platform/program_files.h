// Where the program's own files are: beside the executable in a build tree,
// and in the usual places once installed (<prefix>/bin/pelikon with its
// private libraries and helper programs in <prefix>/lib/pelikon and its
// catalogues in <prefix>/share/locale). Everything is found from the
// executable's own folder, so an installation may sit under any prefix.
#pragma once

#include <filesystem>
#include <string_view>
#include <vector>

namespace pelikon {

// The folder that holds the running executable (empty when unknown).
std::filesystem::path ProgramFolder();

// The folders that may hold the program's private libraries and helper
// programs, in the order they are searched: `program_folder` itself, then
// <prefix>/lib/pelikon when `program_folder` is <prefix>/bin.
std::vector<std::filesystem::path> PrivateFolders(const std::filesystem::path& program_folder);

// The first of PrivateFolders(program_folder) that holds `name`; when none
// does, the name in `program_folder`, so that a failure names a likely place.
std::filesystem::path FindPrivateFile(const std::filesystem::path& program_folder, std::string_view name);

// The catalogue folder (laid out <language>/LC_MESSAGES/pelikon.mo):
// "locale" beside the program when there is one, else <prefix>/share/locale.
std::filesystem::path CatalogueFolder(const std::filesystem::path& program_folder);

}  // namespace pelikon
