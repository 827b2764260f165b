// The model catalogue: names, the file each rule picks for a position and
// the refusals, and the tile scan of a tiled model in a real folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "geoid/geoid_catalogue.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(GeoidCatalogue, NamesFollowTheModelListAndOutsideCodesAreNone) {
  const std::vector<std::pair<GeoidModel, std::string>> cases = {
      {1, "GEOID99"},     {6, "EGM08"}, {13, "Canada HT2"}, {19, "FRANCE-RAF98"}, {38, "South Africa 2010"},
      {45, "Swiss 2004"}, {0, "NONE"},  {46, "NONE"},       {-1, "NONE"}};
  for (const auto& [code, name] : cases) {
    std::string text = "stale";
    GeoidModelName(code, text);
    EXPECT_EQ(text, name) << code;
  }
}

struct FileCase {
  GeoidModel code;
  double latitude;
  double longitude;
  std::string expected;  // a file name, or the refusal's message
};

TEST(GeoidCatalogue, EachRulePicksItsFileOrRefuses) {
  const std::vector<FileCase> cases = {
      // Overlapping regions: the highest-numbered one the model has wins.
      {1, 41, 240, "g1999u05.grd"},
      {1, 58, 248, "g1999u02.grd"},
      {1, 65, 203, "g1999a02.grd"},
      {1, 60, 203, "g1999a04.grd"},
      {2, 60, 203, "g2003a04.grd"},
      {4, 30, 290, "g2009u08.grd"},
      {1, 22, 203, "g1999h01.grd"},
      {1, 25, 293, "g1999p01.grd"},
      {1, 22, 293, "g1999p01.grd"},
      {2, 22, 293, "Error: beyond area covered by Geoid03"},
      {2, 18, 293, "g2003p01.grd"},
      // No Puerto Rico file in the 2009 model; Guam and Samoa instead.
      {4, 18, 293, "Error: beyond area covered by Geoid09"},
      {4, 13.5, 144.8, "g2009g01.grd"},
      {4, -14.3, -170.7, "g2009s01.grd"},
      // The 2006 model covers Alaska only.
      {3, 65, 203, "g2006a02.grd"},
      {3, 41, 240, "Error: beyond area covered by Geoid06"},
      {1, 0, 0, "Error: beyond area covered by Geoid99"},
      {6, 0, 10, "egm08n.grd"},
      {6, -0.001, 10, "egm08s.grd"},
      // Longitude 288 is in both Caribbean halves; the west one is tested last.
      {16, 15, 288, "carib97w.grd"},
      {16, 15, 295, "carib97e.grd"},
      {16, 15, -80, "carib97w.grd"},
      {16, 30, 295, "Error: beyond area covered by CARIB97"},
      {19, 47, 357, "france.grd"},
      {20, 47, -3, "raf09.grd"},
      {19, 51.5, 8.5, "france.grd"},
      {19, 47, 354.4, "Error: beyond area covered by FRANCE"},
      {20, 41.9, 2, "Error: beyond area covered by FRANCE"},
      {11, 50, 4, "hBG03.grd"},
      {42, 28, -16, "egm08_rednap_canarias.grd"},
      {0, 47, 3, "Error: unable to find geoid model"},
      {46, 47, 3, "Error: unable to find geoid model"},
  };
  const fs::path folder = "/grids";
  for (const auto& c : cases) {
    const GeoidGridFile result = ResolveGeoidGridFile(c.code, folder, c.latitude, c.longitude);
    const std::string where = StrPrintf("code %d at %g %g", c.code, c.latitude, c.longitude);
    if (c.expected.rfind("Error", 0) == 0) {
      EXPECT_TRUE(result.path.empty()) << where;
      EXPECT_EQ(result.message, c.expected) << where;
    } else {
      EXPECT_EQ(result.path, folder / c.expected) << where;
      EXPECT_TRUE(result.message.empty()) << where;
    }
    EXPECT_EQ(result.notice.empty(), c.code != 13) << where;
  }
}

TEST(GeoidCatalogue, CanadaHt2ComesWithItsFourLineNotice) {
  const GeoidGridFile result = ResolveGeoidGridFile(13, "/grids", 50, 250);
  EXPECT_EQ(result.path, fs::path("/grids/ht2_0.grd"));
  EXPECT_EQ(result.notice.rfind("Canadian Geoid HT 2.0\n", 0), 0u);
  EXPECT_EQ(std::count(result.notice.begin(), result.notice.end(), '\n'), 3);
  EXPECT_NE(result.notice.find("Natural Resources Canada, Canadian Geodetic Survey"), std::string::npos);
  EXPECT_NE(result.notice.find("Open Government Licence"), std::string::npos);
}

// Tiles of the tiled model: each a grid file whose first four lines are
// its bounds (south, west, north, east).
class TileFolder {
 public:
  void WriteAll(double south, double west, double north, double east) {
    for (int number = 49; number <= 57; ++number)
      for (char letter = 'c'; letter <= 'l'; ++letter) Write(letter, number, south, west, north, east);
  }
  void Write(char letter, int number, double south, double west, double north, double east) const {
    dir_.Write(StrPrintf("au_s%c%d.grd", letter, number),
               StrPrintf("%g\n%g\n%g\n%g\n1\n1\n", south, west, north, east));
  }
  void Remove(char letter, int number) const { fs::remove(Tile(letter, number)); }
  fs::path Tile(char letter, int number) const { return dir_ / StrPrintf("au_s%c%d.grd", letter, number); }
  const fs::path& Path() const { return dir_.Path(); }

 private:
  TempDir dir_;
};

TEST(GeoidCatalogue, TiledModelTakesTheFirstTileHoldingThePositionStrictly) {
  TileFolder tiles;
  tiles.WriteAll(-10, 100, -9, 101);  // nowhere near
  tiles.Write('c', 50, -40, 140, -30, 150);
  tiles.Write('d', 49, -40, 140, -30, 150);  // scanned before c50: numbers outside, letters inside
  tiles.Write('e', 49, -35, 145, -34, 146);
  tiles.Remove('l', 57);

  EXPECT_EQ(ResolveGeoidGridFile(9, tiles.Path(), -35.5, 145.5).path, tiles.Tile('d', 49));
  // Inside e49 as well, but d49 is scanned first.
  EXPECT_EQ(ResolveGeoidGridFile(9, tiles.Path(), -34.5, 145.5).path, tiles.Tile('d', 49));
  const GeoidGridFile on_edge = ResolveGeoidGridFile(9, tiles.Path(), -30, 145);
  EXPECT_TRUE(on_edge.path.empty());
  EXPECT_EQ(on_edge.message, "Error: AUSGeoid98 Geoid model not installed.");

  tiles.Write('l', 57, -10, 100, -9, 101);
  EXPECT_EQ(ResolveGeoidGridFile(9, tiles.Path(), -30, 145).message,
            "Error: AUSGeoid98 Geoid model not defined for current position.");

  tiles.Remove('d', 49);
  EXPECT_EQ(ResolveGeoidGridFile(9, tiles.Path(), -35.5, 145.5).path, tiles.Tile('c', 50));
  tiles.Remove('c', 50);
  tiles.Remove('e', 49);
  EXPECT_EQ(ResolveGeoidGridFile(9, tiles.Path(), -35.5, 145.5).message,
            "Error: AUSGeoid98 Geoid model not installed.");
}

}  // namespace
}  // namespace pelikon
