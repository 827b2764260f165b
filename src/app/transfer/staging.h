// The working folders of a transfer, inside the private working folder:
// "#Pelikon#" holds copies under a new name and downloads on their way to
// a rename or a merge (made when first needed, never emptied);
// "$CL_FILES" holds centreline files on their way to or from an alignment
// (emptied and made anew for every use). Converted copies are made in
// "#Pelikon#" too, so that a conversion never writes beside the user's
// own files.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

// "<temp>/#Pelikon#", created when missing; empty on failure.
std::filesystem::path StagingFolder(const std::filesystem::path& temp_folder);
// "<temp>/$CL_FILES", emptied and created anew; empty on failure.
std::filesystem::path FreshCenterlineFolder(const std::filesystem::path& temp_folder);

// "JOB" of "JOB.crd"; the extension without its dot ("crd"), empty when none.
std::string BaseName(const std::string& file_name);
std::string Extension(const std::string& file_name);
// True when the extension is `extension` without regard to case.
bool HasExtension(const std::string& file_name, const char* extension);
// `file_name` with its extension replaced by `extension` (no dot).
std::string WithExtension(const std::string& file_name, const std::string& extension);

}  // namespace pelikon
