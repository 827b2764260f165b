// PROJ's data on this system: the folders it lies in and the EGM96 geoid
// model it ships (Debian's proj-data: "egm96_15.gtx"; newer PROJ data:
// "us_nga_egm96_15.tif"), which the import turns into a ".grd".
#pragma once

#include <filesystem>
#include <vector>

namespace pelikon {

// Where PROJ's data lies on this system: $PROJ_DATA, $PROJ_LIB, then the
// usual folders; only those that exist.
std::vector<std::filesystem::path> ProjDataFolders();

// The EGM96 model among PROJ's data ("egm96_15.gtx", "us_nga_egm96_15.tif"),
// or empty when the system has none.
std::filesystem::path FindProjEgm96();

}  // namespace pelikon
