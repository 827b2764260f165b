// The catalogue of geoid models: each model's name and the rule that picks
// its grid file (".grd", in the geoid grid files folder) for a position.
//
// Positions are decimal degrees, latitude positive north, longitude east
// positive in 0 to 360; a negative longitude is raised by 360 first.
// Codes outside 1 to kGeoidModelCount are named "NONE" and resolve to no
// file. Nothing here shows anything: the caller shows the result's message
// (and a model's data notice) in its message box.
#pragma once

#include <filesystem>
#include <string>

namespace pelikon {

using GeoidModel = int;

inline constexpr GeoidModel kGeoidModelCount = 45;
// The sub-grid dialog offers codes 1 to this one.
inline constexpr GeoidModel kGeoidModelsOffered = 38;

// Writes the model's name as the model list shows it (never translated).
void GeoidModelName(GeoidModel code, std::string& text);
std::string GeoidModelName(GeoidModel code);

struct GeoidGridFile {
  std::filesystem::path path;  // empty when the rule gives no file
  std::string message;         // why not, translated; empty on success
  std::string notice;          // lines to show before the file is used, translated
};

// Applies the model's file rule. Tile models open their tiles in `folder`
// to find the one that covers the position; other rules only name a file.
GeoidGridFile ResolveGeoidGridFile(GeoidModel code, const std::filesystem::path& folder, double latitude,
                                   double longitude);

}  // namespace pelikon
