#include "geoid/geo_grid.h"

#include <algorithm>
#include <new>

#include "geoid/swap_cells.h"
#include "platform/large_memory.h"
#include "platform/temp_folder.h"
#include "platform/trace.h"

namespace pelikon {

namespace {

// A grid in the swap file that misses this often (read-window cells moved
// per access, after enough accesses to judge) moves to memory.
constexpr int64_t kConversionMinAccesses = 500'000;
constexpr int64_t kConversionMissRatio = 10;
// The cache statistics are traced once every this many transfers.
constexpr int64_t kCacheTraceInterval = 1'000;

GridCell* AllocateCells(int64_t count, bool sparse = false) {
  try {
    return static_cast<GridCell*>(AllocateLarge(static_cast<size_t>(count) * sizeof(GridCell), sparse));
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

void FreeCells(GridCell* cells, int64_t count) {
  if (cells) FreeLarge(cells, static_cast<size_t>(count) * sizeof(GridCell));
}

}  // namespace

GeoGrid::~GeoGrid() {
  FreeCells(cells_, CellCount());
}

std::filesystem::path GeoGrid::SwapPath() const {
  return swap_ ? swap_->Path() : std::filesystem::path();
}

bool GeoGrid::Failed() const {
  return swap_ && swap_->Failed();
}

bool GeoGrid::Flush() {
  return swap_ ? swap_->Flush() : true;
}

bool GeoGrid::AllocateMemory(bool sparse) {
  cells_ = AllocateCells(CellCount(), sparse);
  return cells_ != nullptr;
}

GridCell GeoGrid::GetSlow(int64_t index) {
  if (index < 0 || index >= CellCount()) {
    if (!swap_ && index >= 0) Trace("Invalid row range: %lld", static_cast<long long>(index / (int64_t{nc_} + 1)));
    return {};
  }
  if (!swap_) return cells_[index];
  if (auto held = swap_->Held(index)) return *held;
  return MissInSwap(index);
}

GridCell GeoGrid::MissInSwap(int64_t index) {
  if (!conversion_tried_) {
    const int64_t accesses = swap_->Accesses();
    const int64_t transfers = swap_->Transfers();
    if (transfers > 0 && transfers % kCacheTraceInterval == 0)
      Trace("Cache %lld miss %lld %f", static_cast<long long>(accesses), static_cast<long long>(transfers),
            static_cast<double>(accesses) / static_cast<double>(transfers));
    if (accesses > kConversionMinAccesses && swap_->ReadCapacity() * transfers / accesses > kConversionMissRatio) {
      conversion_tried_ = true;
      if (ConvertToMemory()) return cells_[index];
    }
  }
  return swap_->LoadAround(index);
}

bool GeoGrid::ConvertToMemory() {
  GridCell* cells = AllocateCells(CellCount());
  if (!cells) return false;
  if (!swap_->CopyAll(cells, CellCount())) {
    FreeCells(cells, CellCount());
    return false;
  }
  Trace("Converting grid to all-in-memory to improve performance");
  swap_.reset();
  cells_ = cells;
  return true;
}

void GeoGrid::SetSlow(int64_t index, const GridCell& cell) {
  if (index < 0 || index >= CellCount()) return;
  if (swap_)
    swap_->Set(index, cell);
  else
    cells_[index] = cell;
}

std::unique_ptr<GeoGrid> CreateGridCells(double origin_longitude, double origin_latitude, double longitude_step,
                                         double latitude_step, int32_t nc, int32_t nr, GridCreateMode mode,
                                         const GridStorageOptions& options, GridFill fill) {
  if (nc < 0 || nr < 0) return nullptr;
  std::unique_ptr<GeoGrid> grid(new GeoGrid());
  grid->origin_longitude_ = origin_longitude;
  grid->origin_latitude_ = origin_latitude;
  grid->longitude_step_ = longitude_step;
  grid->latitude_step_ = latitude_step;
  grid->nc_ = nc;
  grid->nr_ = nr;
  const int64_t count = grid->CellCount();
  if (count > kGridMaxCells) return nullptr;

  const GridStoragePlan plan = PlanGridStorage(nc, nr, mode, options.memory ? *options.memory : SystemMemoryStatus());
  const bool prefill = fill == GridFill::kPrefilled;
  if (plan.try_memory && grid->AllocateMemory(fill == GridFill::kSparse)) {
    if (prefill) std::fill_n(grid->cells_, count, kPrefilledCell);
    return grid;
  }
  const std::filesystem::path folder = options.swap_folder.empty() ? TempFolder() : options.swap_folder;
  if (folder.empty()) return nullptr;
  grid->swap_ = SwapCells::Create(folder, plan.write_window, plan.read_window);
  if (!grid->swap_) return nullptr;
  if (prefill && !grid->swap_->Prefill(count)) return nullptr;
  return grid;
}

std::unique_ptr<GeoGrid> CreateGrid(double origin_longitude, double origin_latitude, double longitude_step,
                                    double latitude_step, int32_t nc, int32_t nr, GridCreateMode mode,
                                    const GridStorageOptions& options) {
  return CreateGridCells(origin_longitude, origin_latitude, longitude_step, latitude_step, nc, nr, mode, options,
                         GridFill::kPrefilled);
}

namespace {

// The coordinate of `position` steps from `origin`, or the error value
// with the traces that say why.
double NodeCoordinate(const GeoGrid* grid, double origin, double step, int64_t position, const char* error) {
  if (!grid || grid->ColumnIntervals() == 0) {
    Trace("%s", error);
    Trace("Grid size error");
    return kGridCoordinateError;
  }
  if (step == 0) {
    Trace("Grid step error");
    return kGridCoordinateError;
  }
  return origin + step * static_cast<double>(position);
}

}  // namespace

double GridNodeLongitude(const GeoGrid* grid, int64_t index) {
  if (!grid) return NodeCoordinate(grid, 0, 0, 0, "GET X ERROR!");
  const int64_t column = index % (int64_t{grid->ColumnIntervals()} + 1);
  return NodeCoordinate(grid, grid->OriginLongitude(), grid->LongitudeStep(), column, "GET X ERROR!");
}

double GridNodeLatitude(const GeoGrid* grid, int64_t index) {
  if (!grid) return NodeCoordinate(grid, 0, 0, 0, "GET Y ERROR!");
  const int64_t row = index / (int64_t{grid->ColumnIntervals()} + 1);
  return NodeCoordinate(grid, grid->OriginLatitude(), grid->LatitudeStep(), row, "GET Y ERROR!");
}

int64_t GridNextColumn(const GeoGrid* grid, int64_t index) {
  if (!grid || index < 0 || index >= grid->CellCount()) return -1;
  const int64_t columns = int64_t{grid->ColumnIntervals()} + 1;
  return index % columns == columns - 1 ? -1 : index + 1;
}

int64_t GridNextRow(const GeoGrid* grid, int64_t index) {
  if (!grid || index < 0 || index >= grid->CellCount()) return -1;
  const int64_t columns = int64_t{grid->ColumnIntervals()} + 1;
  return index / columns >= grid->RowIntervals() ? -1 : index + columns;
}

int64_t GridCellCount(const GeoGrid* grid) {
  return grid ? grid->CellCount() : -1;
}

GridCell GridGetCell(GeoGrid* grid, int64_t index) {
  return grid ? grid->Get(index) : GridCell{};
}

void GridSetCell(GeoGrid* grid, int64_t index, const GridCell& cell) {
  if (grid) grid->Set(index, cell);
}

void FreeGrid(std::unique_ptr<GeoGrid>& grid) {
  grid.reset();
}

}  // namespace pelikon
