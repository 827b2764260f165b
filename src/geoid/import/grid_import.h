// Geoid models in the formats other software ships them (GTX, GeoTIFF and
// whatever else GDAL reads: PROJ's data package carries EGM96 as
// "egm96_15.gtx" or "us_nga_egm96_15.tif") turned into the ".grd" text the
// sub-grid builder reads: the southern row first, each row west to east,
// one value a line ("%.4f"), no-data nodes as "N". A model that goes round
// the globe is written with longitudes from 0 to 360 east, the 360° column
// repeating the 0° one; a regional model keeps its own extent. Only this
// module links GDAL.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace pelikon {

struct GridImportResult {
  bool ok = false;
  std::string error;  // why not, translated
  int columns = 0;    // nodes per row written
  int rows = 0;
};

// Reads `model` (band 1) and writes `grd` through a twin, so that a
// failure leaves an earlier file as it was.
GridImportResult ImportGridModel(const std::filesystem::path& model, const std::filesystem::path& grd);

}  // namespace pelikon
