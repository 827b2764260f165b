// Importing geoid models through GDAL: rasters made by the test in the
// formats models ship in, and Debian's own EGM96 when the system has it.
#include "geoid/import/grid_import.h"

#include <gdal.h>
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "geoid/proj_data.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Lines(const fs::path& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// A GTX raster (GDAL writes it) of `width` x `height` cells of `step`
// degrees whose north-west cell's centre lies at (north, west); value =
// row * 100 + column, the cell (1, 1) without data.
void WriteGtx(const fs::path& path, int width, int height, double west, double north, double step) {
  GDALAllRegister();
  GDALDriverH driver = GDALGetDriverByName("GTX");
  ASSERT_NE(driver, nullptr);
  GDALDatasetH data = GDALCreate(driver, path.c_str(), width, height, 1, GDT_Float32, nullptr);
  ASSERT_NE(data, nullptr);
  double transform[6] = {west - step / 2, step, 0, north + step / 2, 0, -step};
  GDALSetGeoTransform(data, transform);
  GDALRasterBandH band = GDALGetRasterBand(data, 1);
  GDALSetRasterNoDataValue(band, -88.8888);
  std::vector<float> values;
  for (int r = 0; r < height; ++r)
    for (int c = 0; c < width; ++c) values.push_back(r == 1 && c == 1 ? -88.8888f : static_cast<float>(r * 100 + c));
  ASSERT_EQ(GDALRasterIO(band, GF_Write, 0, 0, width, height, values.data(), width, height, GDT_Float32, 0, 0),
            CE_None);
  GDALClose(data);
}

TEST(GridImport, ARegionalModelKeepsItsExtentSouthernRowFirstWithNoDataAsN) {
  testing::TempDir dir;
  WriteGtx(dir / "region.gtx", 4, 3, 10.0, 50.0, 0.5);
  const GridImportResult result = ImportGridModel(dir / "region.gtx", dir / "region.grd");
  ASSERT_TRUE(result.ok) << result.error;
  const std::vector<std::string> lines = Lines(dir / "region.grd");
  ASSERT_EQ(lines.size(), 6u + 12);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{"49.0000", "10.0000", "50.0000", "11.5000", "3", "2"}));
  EXPECT_EQ(lines[6], "200.0000") << "the southern row (the raster's last) comes first";
  EXPECT_EQ(lines[9], "203.0000");
  EXPECT_EQ(lines[11], "N") << "the node without data";
  EXPECT_EQ(lines.back(), "3.0000");
}

TEST(GridImport, AGlobalModelRunsFrom0To360WithTheLastColumnRepeatingTheFirst) {
  testing::TempDir dir;
  // 90-degree cells from -180: columns at -180, -90, 0, 90.
  WriteGtx(dir / "world.gtx", 4, 3, -180.0, 90.0, 90.0);
  ASSERT_TRUE(ImportGridModel(dir / "world.gtx", dir / "world.grd").ok);
  const std::vector<std::string> lines = Lines(dir / "world.grd");
  ASSERT_EQ(lines.size(), 6u + 5 * 3);
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{"-90.0000", "0.0000", "90.0000", "360.0000", "4", "2"}));
  // The southern row: 0° is column 2, 90° column 3, 180° column 0, 270° column 1, 360° column 2 again.
  EXPECT_EQ(std::vector<std::string>(lines.begin() + 6, lines.begin() + 11),
            (std::vector<std::string>{"202.0000", "203.0000", "200.0000", "201.0000", "202.0000"}));
}

TEST(GridImport, WhatIsNoModelIsRefusedAndAnEarlierFileStays) {
  testing::TempDir dir;
  std::ofstream(dir / "notes.txt") << "no raster";
  std::ofstream(dir / "old.grd") << "kept";
  const GridImportResult result = ImportGridModel(dir / "notes.txt", dir / "old.grd");
  EXPECT_FALSE(result.ok);
  EXPECT_NE(result.error.find("notes.txt"), std::string::npos);
  EXPECT_EQ(Lines(dir / "old.grd"), std::vector<std::string>{"kept"});
  EXPECT_FALSE(fs::exists(dir / "old.grd.new"));
}

// Debian's proj-data ships EGM96 at 15': imported, it is the 0-360 model
// the sub-grid builder cuts from.
TEST(GridImport, DebiansEgm96BecomesAGlobalGrd) {
  const fs::path model = FindProjEgm96();
  if (model.empty()) GTEST_SKIP() << "no EGM96 in PROJ's data on this system";
  testing::TempDir dir;
  const GridImportResult result = ImportGridModel(model, dir / "egm96.grd");
  ASSERT_TRUE(result.ok) << result.error;
  EXPECT_EQ(result.columns, 1441);
  EXPECT_EQ(result.rows, 721);
  const std::vector<std::string> lines = Lines(dir / "egm96.grd");
  EXPECT_EQ(std::vector<std::string>(lines.begin(), lines.begin() + 6),
            (std::vector<std::string>{"-90.0000", "0.0000", "90.0000", "360.0000", "1440", "720"}));
  EXPECT_EQ(lines.size(), 6u + 1441 * 721);
}

}  // namespace
}  // namespace pelikon
