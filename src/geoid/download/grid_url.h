// Where a grid file is fetched from: the grid download server named by the
// setting "gridserver" + "/GeoidGrids/" + the file's name. The setting
// holds a base URL ("http://grids.example.org", with a path after the host
// when the grids lie deeper) or only a host name, which means http.
#pragma once

#include <string>
#include <string_view>

namespace pelikon {

inline constexpr const char* kGridServerSetting = "gridserver";

// The URL of `file_name` on the server `base`; empty when `base` is empty
// or blank (no download server is configured). Characters of the file name
// that a URL path cannot carry as they are are percent-encoded.
std::string GridFileUrl(std::string_view base, std::string_view file_name);

// The translated message for the case that no download server is set.
std::string NoGridServerMessage();

}  // namespace pelikon
