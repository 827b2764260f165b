// Cutting sub-grids: the corner rule at exact node positions and at the
// model's edges, the ".gsf" text, and the whole cut from a model file
// (found, downloaded, refused) into the first folder that takes it.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "geoid/geo_grid.h"
#include "geoid/subgrid_builder.h"
#include "geoid/subgrid_cut.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

// A 15' model from 40 N to 50 N and 260 E to 275 E; each node's value
// tells where it is (latitude * 1000 + longitude).
constexpr double kSouth = 40, kWest = 260, kStep = 0.25;
constexpr int kColumns = 60, kRows = 40;  // intervals

double ValueAt(double latitude, double longitude) {
  return latitude * 1000 + longitude;
}

std::unique_ptr<GeoGrid> Model() {
  std::unique_ptr<GeoGrid> grid = CreateGrid(kWest, kSouth, kStep, kStep, kColumns, kRows);
  for (int64_t node = 0; node < GridCellCount(grid.get()); ++node)
    GridSetCell(
        grid.get(), node,
        GridCell{ValueAt(GridNodeLatitude(grid.get(), node), GridNodeLongitude(grid.get(), node)), true, false});
  return grid;
}

std::string ModelText() {
  std::ostringstream text;
  text << kSouth << "\n"
       << kWest << "\n"
       << kSouth + kRows * kStep << "\n"
       << kWest + kColumns * kStep << "\n"
       << kColumns << "\n"
       << kRows << "\n";
  for (int row = 0; row <= kRows; ++row)
    for (int column = 0; column <= kColumns; ++column)
      text << ValueAt(kSouth + row * kStep, kWest + column * kStep) << "\n";
  text << "a remark\n";
  return text.str();
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

TEST(SubGrid, CornersLieOneNodeInsideEachEdgeOfTheBox) {
  std::unique_ptr<GeoGrid> grid = Model();
  // 2 degrees around 45 N, 267 E: the edges 44 and 46, 266 and 268 are
  // nodes themselves, so the sub-grid starts one node inside them.
  const std::optional<SubGridCorners> corners = FindSubGridCorners(*grid, 45, 267, 2);
  ASSERT_TRUE(corners);
  EXPECT_EQ(GridNodeLatitude(grid.get(), corners->south_west), 44.25);
  EXPECT_EQ(GridNodeLongitude(grid.get(), corners->south_west), 266.25);
  EXPECT_EQ(GridNodeLatitude(grid.get(), corners->north_east), 45.75);
  EXPECT_EQ(GridNodeLongitude(grid.get(), corners->north_east), 267.75);

  const std::string text = SubGridText(*grid, *corners);
  EXPECT_NE(text.find("\r\n"), std::string::npos);
  std::vector<std::string> lines = Lines(text);
  for (std::string& line : lines)
    if (!line.empty() && line.back() == '\r') line.pop_back();
  ASSERT_EQ(lines.size(), 6u + 7 * 7);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{"44.2500", "266.2500", "45.7500", "267.7500", "6.0", "6.0"}));
  EXPECT_EQ(lines[6], "44516.2500") << "the south-west node first";
  EXPECT_EQ(lines[12], "44517.7500") << "then its row eastward";
  EXPECT_EQ(lines.back(), "46017.7500");

  // A box past the model's south-west corner starts at its second row and column.
  const std::optional<SubGridCorners> corner = FindSubGridCorners(*grid, 40.5, 260.5, 2);
  ASSERT_TRUE(corner);
  EXPECT_EQ(GridNodeLatitude(grid.get(), corner->south_west), 40.25);
  EXPECT_EQ(GridNodeLongitude(grid.get(), corner->south_west), 260.25);
  // A box north of the model leaves no node.
  EXPECT_FALSE(FindSubGridCorners(*grid, 60, 267, 2));
}

class SubGridCut : public ::testing::Test {
 protected:
  SubGridJob Job() {
    SubGridJob job;
    job.model = 5;  // EGM96: "egm96.grd"
    job.grid_folder = models_.Path();
    job.latitude = 45;
    job.longitude = 267;
    job.size = 2;
    job.file_name = "site.gsf";
    job.output_folders = {out_.Path(), spare_.Path()};
    job.load.storage.swap_folder = work_.Path();
    job.tell = [this](const std::string& text) { told_.push_back(text); };
    return job;
  }
  testing::TempDir models_, out_, spare_, work_;
  std::vector<std::string> told_;
};

TEST_F(SubGridCut, AModelFileOrItsDownloadGivesTheGsfInTheFirstFolderThatTakesIt) {
  SubGridJob job = Job();
  int downloads = 0;
  job.download = [&](const std::string& name, const fs::path& destination) {
    ++downloads;
    EXPECT_EQ(name, "egm96.grd");
    std::ofstream(destination) << ModelText();
    return true;
  };
  SubGridOutcome outcome = CutSubGrid(job);
  ASSERT_EQ(outcome.error, "");
  EXPECT_EQ(downloads, 1) << "the missing model is fetched once";
  EXPECT_EQ(outcome.written, out_ / "site.gsf");
  std::ifstream written(outcome.written, std::ios::binary);
  const std::string text{std::istreambuf_iterator<char>(written), std::istreambuf_iterator<char>()};
  EXPECT_EQ(Lines(text).size(), 6u + 49);

  // A folder that cannot take the file: the next one does, and no partial file stays.
  job.output_folders = {out_ / "missing", spare_.Path()};
  outcome = CutSubGrid(job);
  EXPECT_EQ(outcome.written, spare_ / "site.gsf");
  EXPECT_FALSE(fs::exists(out_ / "missing"));
  EXPECT_EQ(downloads, 1) << "the model is there now";
}

TEST_F(SubGridCut, EachFailureSaysWhy) {
  SubGridJob job = Job();
  EXPECT_EQ(CutSubGrid(job).error, "Error unable to read or download geoid\n" + (models_ / "egm96.grd").string());
  std::ofstream(models_ / "egm96.grd") << ModelText();
  job.latitude = 55;
  EXPECT_EQ(CutSubGrid(job).error, "Error: Point is not within grid coverage.");
  job.latitude = 45;
  job.model = 16;  // CARIB97 knows no file for this position
  EXPECT_EQ(CutSubGrid(job).error, "Error: unable to match geoid grid file.");
  EXPECT_EQ(told_, std::vector<std::string>{"Error: beyond area covered by CARIB97"});
  job.model = 5;
  job.output_folders = {out_ / "missing"};
  EXPECT_EQ(CutSubGrid(job).error, "Error: unable to write Geoid grid.");
  // A box reaching past the model's north-east corner ends at its last row and column.
  job.output_folders = {out_.Path()};
  job.latitude = 49.9;
  job.longitude = 274.9;
  job.size = 8;
  const SubGridOutcome edge = CutSubGrid(job);
  ASSERT_EQ(edge.error, "");
  std::ifstream written(edge.written);
  std::string south;
  std::getline(written, south);
  EXPECT_EQ(south, "46.2500\r");
}

}  // namespace
}  // namespace pelikon
