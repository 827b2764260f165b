#include "geoid/geoid_catalogue.h"

#include <array>
#include <cstdio>
#include <memory>
#include <vector>

#include "geoid/grid_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

namespace fs = std::filesystem;

// Each model's name as the model list shows it, and the grid file of the
// models whose rule only names one (null for the models with a rule of
// their own), in code order from 1.
struct CatalogueEntry {
  const char* name;
  const char* file;
};

constexpr std::array<CatalogueEntry, kGeoidModelCount> kCatalogue = {{
    {"GEOID99", nullptr},
    {"GEOID03", nullptr},
    {"GEOID06", nullptr},
    {"GEOID09", nullptr},
    {"EGM96", "egm96.grd"},
    {"EGM08", nullptr},
    {"OSU91A", "osu91a.grd"},
    {"Albuquerque 2008", "albuquerque08.grd"},
    {"AUSGeoid98", nullptr},
    {"AUSGeoid09", "aus09.grd"},
    {"Belgium03", "hBG03.grd"},
    {"CGG2000", "cngeoid.grd"},
    {"Canada HT2", "ht2_0.grd"},
    {"Canada HT1", "ht1_01.grd"},
    {"Canada GSD95", "gsd95.grd"},
    {"CARIB97", nullptr},
    {"Finland 2000", "fin2000.grd"},
    {"Finland 2005", "fin2005.grd"},
    {"FRANCE-RAF98", "france.grd"},
    {"FRANCE-RAF09", "raf09.grd"},
    {"French Guyana", "fr_guy00.grd"},
    {"Germany GCG05", "gcg05.grd"},
    {"OSGM02_GB", "osgm02.grd"},
    {"OSGM02_ROI", "osgm_roi.grd"},
    {"OSGM02_NI", "osgm_ni.grd"},
    {"Israel", "israel.grd"},
    {"Latvia 98", "lv98.grd"},
    {"Lithuania (GMATAS)", "ltu_gmatas.grd"},
    {"Netherlands 2004", "nl2004.grd"},
    {"Netherlands 2008", "nl2008.grd"},
    {"New Caledonia-RANC00", "newcaldn.grd"},
    {"New Zealand 2005", "newz05.grd"},
    {"New Zealand 2009", "newz09.grd"},
    {"Norway 2007", "norway07.grd"},
    {"Norway 2008", "norway08.grd"},
    {"Poland", "poland.grd"},
    {"Portugal 2008", "portgl08.grd"},
    {"South Africa 2010", "sa2010.grd"},
    {"Spain (CAT10060)", "cat10060.grd"},
    {"Spain (CAT70260)", "cat70260.grd"},
    {"Spain (EGM08)", "egm08_rednap.grd"},
    {"Spain (EGM08 Canarias)", "egm08_rednap_canarias.grd"},
    {"Sweden05-RH70", "swen05_rh70.grd"},
    {"Sweden05-RH2000", "swen05_rh2000.grd"},
    {"Swiss 2004", "swiss04.grd"},
}};

enum Model : GeoidModel {
  kGeoid99 = 1,
  kGeoid03 = 2,
  kGeoid06 = 3,
  kGeoid09 = 4,
  kEgm08 = 6,
  kAusGeoid98 = 9,
  kCanadaHt2 = 13,
  kCarib97 = 16,
  kFranceRaf98 = 19,
  kFranceRaf09 = 20,
};

// A region of the US models: a closed latitude band and a closed east
// longitude band.
struct Region {
  int number;
  double south, north, west, east;
  const char* suffix;
};

// Regions 1 to 13 are common to the US models; 14 and 15 differ.
constexpr Region kCommonRegions[] = {
    {1, 41, 58, 230, 248, "u01"},  {2, 41, 58, 248, 265, "u02"},  {3, 41, 58, 265, 282, "u03"},
    {4, 41, 58, 282, 300, "u04"},  {5, 24, 41, 230, 248, "u05"},  {6, 24, 41, 248, 265, "u06"},
    {7, 24, 41, 265, 282, "u07"},  {8, 24, 41, 282, 300, "u08"},  {9, 60, 72, 172, 204, "a01"},
    {10, 60, 72, 202, 234, "a02"}, {11, 49, 61, 172, 204, "a03"}, {12, 49, 61, 202, 234, "a04"},
    {13, 18, 24, 199, 206, "h01"},
};
constexpr Region kPuertoRico99{14, 20, 26, 291, 296, "p01"};
constexpr Region kPuertoRico03{14, 15, 21, 291, 296, "p01"};
constexpr Region kGuam09{14, 11, 18, 143, 146, "g01"};
constexpr Region kSamoa09{15, -17, -11, 186, 192, "s01"};

struct UsModel {
  const char* prefix;  // file name up to the region suffix
  int first_region;    // the common regions the model has
  int last_region;
  std::vector<Region> extra;
  const char* message;
};

const UsModel* UsModelOf(GeoidModel code) {
  static const UsModel kGeoid99Model{"g1999", 1, 13, {kPuertoRico99}, N_("Error: beyond area covered by Geoid99")};
  static const UsModel kGeoid03Model{"g2003", 1, 13, {kPuertoRico03}, N_("Error: beyond area covered by Geoid03")};
  static const UsModel kGeoid06Model{"g2006", 9, 12, {}, N_("Error: beyond area covered by Geoid06")};
  static const UsModel kGeoid09Model{"g2009", 1, 13, {kGuam09, kSamoa09}, N_("Error: beyond area covered by Geoid09")};
  switch (code) {
    case kGeoid99:
      return &kGeoid99Model;
    case kGeoid03:
      return &kGeoid03Model;
    case kGeoid06:
      return &kGeoid06Model;
    case kGeoid09:
      return &kGeoid09Model;
    default:
      return nullptr;
  }
}

bool Inside(const Region& region, double latitude, double longitude) {
  return region.south <= latitude && latitude <= region.north && region.west <= longitude && longitude <= region.east;
}

GeoidGridFile Found(fs::path path) {
  GeoidGridFile result;
  result.path = std::move(path);
  return result;
}

GeoidGridFile Refused(const char* message) {
  GeoidGridFile result;
  result.message = Tr(message);
  return result;
}

// The highest-numbered region of the model that holds the position wins.
GeoidGridFile UsRegionFile(const UsModel& model, const fs::path& folder, double latitude, double longitude) {
  const Region* best = nullptr;
  for (const Region& region : kCommonRegions)
    if (region.number >= model.first_region && region.number <= model.last_region &&
        Inside(region, latitude, longitude))
      best = &region;
  for (const Region& region : model.extra)
    if (Inside(region, latitude, longitude) && (!best || region.number > best->number)) best = &region;
  if (!best) return Refused(model.message);
  return Found(folder / (std::string(model.prefix) + best->suffix + ".grd"));
}

GeoidGridFile Carib97File(const fs::path& folder, double latitude, double longitude) {
  const bool band = latitude >= 9 && latitude <= 28;
  GeoidGridFile result = Refused(N_("Error: beyond area covered by CARIB97"));
  if (band && longitude >= 288 && longitude <= 302) result = Found(folder / "carib97e.grd");
  // Tested second: longitude 288 takes the west file.
  if (band && longitude >= 274 && longitude <= 288) result = Found(folder / "carib97w.grd");
  return result;
}

GeoidGridFile FranceFile(const fs::path& folder, const char* name, double latitude, double longitude) {
  const double signed_longitude = longitude > 180 ? longitude - 360 : longitude;
  if (latitude >= 42 && latitude <= 51.5 && signed_longitude >= -5.5 && signed_longitude <= 8.5)
    return Found(folder / name);
  return Refused(N_("Error: beyond area covered by FRANCE"));
}

// The model comes as tiles, each a grid file of its own; the first tile
// whose bounds hold the position strictly inside is the one.
GeoidGridFile AusGeoid98File(const fs::path& folder, double latitude, double longitude) {
  bool missing = false;
  for (int number = 49; number <= 57; ++number) {
    for (char letter = 'c'; letter <= 'l'; ++letter) {
      const fs::path tile = folder / StrPrintf("au_s%c%d.grd", letter, number);
      std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(tile.c_str(), "r"), &std::fclose);
      if (!file) {
        missing = true;
        continue;
      }
      GridLineReader reader(file.get());
      const GridHeader bounds = ReadGridHeader(reader, 4, kGridValueLineLimit);
      if (bounds.south < latitude && latitude < bounds.north && bounds.west < longitude && longitude < bounds.east)
        return Found(tile);
    }
  }
  return Refused(missing ? N_("Error: AUSGeoid98 Geoid model not installed.")
                         : N_("Error: AUSGeoid98 Geoid model not defined for current position."));
}

// The notice the model's provider asks to be shown with its data.
std::string CanadaHt2Notice() {
  return std::string(Tr("Canadian Geoid HT 2.0")) + "\n" +
         Tr("Rights holder: Natural Resources Canada, Canadian Geodetic Survey.") + "\n" +
         Tr("Contains information licensed under the") + "\n" + Tr("Open Government Licence – Canada.");
}

}  // namespace

void GeoidModelName(GeoidModel code, std::string& text) {
  text = code >= 1 && code <= kGeoidModelCount ? kCatalogue[static_cast<size_t>(code - 1)].name : "NONE";
}

std::string GeoidModelName(GeoidModel code) {
  std::string text;
  GeoidModelName(code, text);
  return text;
}

GeoidGridFile ResolveGeoidGridFile(GeoidModel code, const fs::path& folder, double latitude, double longitude) {
  if (longitude < 0) longitude += 360;
  if (code < 1 || code > kGeoidModelCount) return Refused(N_("Error: unable to find geoid model"));
  if (const UsModel* model = UsModelOf(code)) return UsRegionFile(*model, folder, latitude, longitude);
  switch (code) {
    case kEgm08:
      return Found(folder / (latitude >= 0 ? "egm08n.grd" : "egm08s.grd"));
    case kAusGeoid98:
      return AusGeoid98File(folder, latitude, longitude);
    case kCarib97:
      return Carib97File(folder, latitude, longitude);
    case kFranceRaf98:
    case kFranceRaf09:
      return FranceFile(folder, kCatalogue[static_cast<size_t>(code - 1)].file, latitude, longitude);
    default:
      break;
  }
  GeoidGridFile result = Found(folder / kCatalogue[static_cast<size_t>(code - 1)].file);
  if (code == kCanadaHt2) result.notice = CanadaHt2Notice();
  return result;
}

}  // namespace pelikon
