#include "geoid/import/grid_import.h"

#include <gdal.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

namespace fs = std::filesystem;

struct DatasetCloser {
  void operator()(void* dataset) const { GDALClose(static_cast<GDALDatasetH>(dataset)); }
};
using Dataset = std::unique_ptr<void, DatasetCloser>;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

GridImportResult Refused(std::string error) {
  GridImportResult result;
  result.error = std::move(error);
  return result;
}

// "%.4f" in the C locale, and a line feed.
void PutValue(std::string& out, double value) {
  char text[64];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 4);
  if (error == std::errc()) {
    out.append(text, end);
  } else {
    out += "N";
  }
  out += '\n';
}

}  // namespace

GridImportResult ImportGridModel(const fs::path& model, const fs::path& grd) {
  static std::once_flag registered;
  std::call_once(registered, [] { GDALAllRegister(); });
  CPLPushErrorHandler(CPLQuietErrorHandler);
  const Dataset dataset(GDALOpen(model.c_str(), GA_ReadOnly));
  CPLPopErrorHandler();
  if (!dataset) return Refused(StrPrintf(Tr("%s is no grid model that can be read"), model.string().c_str()));
  GDALDatasetH data = static_cast<GDALDatasetH>(dataset.get());
  const int width = GDALGetRasterXSize(data), height = GDALGetRasterYSize(data);
  double transform[6];
  if (GDALGetGeoTransform(data, transform) != CE_None || transform[2] != 0 || transform[4] != 0 || width < 2 ||
      height < 2 || transform[1] <= 0 || transform[5] >= 0)
    return Refused(StrPrintf(Tr("%s has no north-up grid of degrees"), model.string().c_str()));
  GDALRasterBandH band = GDALGetRasterBand(data, 1);
  int has_no_data = 0;
  const double no_data = GDALGetRasterNoDataValue(band, &has_no_data);
  // A float band's no-data value is a float: compare at that precision.
  const bool float_band = GDALGetRasterDataType(band) == GDT_Float32;
  const auto is_no_data = [&](double value) {
    if (std::isnan(value)) return true;
    if (!has_no_data) return false;
    return float_band ? static_cast<float>(value) == static_cast<float>(no_data) : value == no_data;
  };

  // Nodes lie at the cells' centres, unless the raster says its values are points.
  const char* kind = GDALGetMetadataItem(data, "AREA_OR_POINT", nullptr);
  const bool points = kind && EqualsNoCase(kind, "Point");
  const double step_x = transform[1], step_y = -transform[5];
  const double first_x = transform[0] + (points ? 0 : step_x / 2);
  const double north = transform[3] - (points ? 0 : step_y / 2);
  const double south = north - (height - 1) * step_y;

  // Round the globe: columns from 0° to 360° east, the last repeating the first.
  const double per_turn = 360 / step_x;
  const long turn = std::lround(per_turn);
  const double first_column = first_x / step_x;
  const bool global =
      std::fabs(per_turn - turn) < 1e-6 && width >= turn && std::fabs(first_column - std::round(first_column)) < 1e-6;
  const int columns = global ? static_cast<int>(turn) + 1 : width;
  const double west = global ? 0.0 : first_x;
  const double east = global ? 360.0 : first_x + (width - 1) * step_x;
  // The model's column holding each output column.
  std::vector<int> source(static_cast<size_t>(columns));
  for (int c = 0; c < columns; ++c) {
    if (!global) {
      source[static_cast<size_t>(c)] = c;
      continue;
    }
    const long offset = std::lround(c - first_column);
    source[static_cast<size_t>(c)] = static_cast<int>(((offset % turn) + turn) % turn);
  }

  const fs::path twin = TwinPath(grd);
  std::unique_ptr<std::FILE, FileCloser> out(std::fopen(twin.c_str(), "wb"));
  if (!out) return Refused(StrPrintf(Tr("cannot write %s"), twin.string().c_str()));
  std::string text;
  for (double value : {south, west, north, east}) PutValue(text, value);
  text += std::to_string(columns - 1) + "\n" + std::to_string(height - 1) + "\n";
  std::vector<double> row(static_cast<size_t>(width));
  bool written = true;
  for (int r = height - 1; r >= 0 && written; --r) {  // the southern row first
    if (GDALRasterIO(band, GF_Read, 0, r, width, 1, row.data(), width, 1, GDT_Float64, 0, 0) != CE_None) {
      std::error_code ignored;
      out.reset();
      fs::remove(twin, ignored);
      return Refused(StrPrintf(Tr("cannot read row %d of %s"), r, model.string().c_str()));
    }
    for (int c = 0; c < columns; ++c) {
      const double value = row[static_cast<size_t>(source[static_cast<size_t>(c)])];
      if (is_no_data(value)) {
        text += "N\n";
      } else {
        PutValue(text, value);
      }
    }
    if (text.size() > (1 << 20)) {
      written = std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
      text.clear();
    }
  }
  written = written && std::fwrite(text.data(), 1, text.size(), out.get()) == text.size();
  written = std::fclose(out.release()) == 0 && written;
  std::error_code error;
  if (!written || (error = ReplaceWithTwin(twin, grd))) {
    fs::remove(twin, error);
    return Refused(StrPrintf(Tr("cannot write %s"), grd.string().c_str()));
  }
  GridImportResult result;
  result.ok = true;
  result.columns = columns;
  result.rows = height;
  return result;
}

}  // namespace pelikon
