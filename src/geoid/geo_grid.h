// GeoGrid: a rectangular grid of geoid nodes, (nc + 1) columns by (nr + 1)
// rows. Node i lies in column i mod (nc + 1) and row i div (nc + 1); row 0
// is the southern row, column 0 the western one.
//
// A grid keeps its cells in memory while that is affordable, otherwise in
// a swap file in the caller's folder (grid_storage.h decides). A grid in
// the swap file that keeps missing its windows moves to memory once, when
// memory can be had; it never moves back. FreeGrid deletes the swap file.
//
// Nothing here interpolates: every consumer works on whole nodes.
// Diagnostics go to the trace (platform/trace.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "geoid/grid_cell.h"
#include "geoid/grid_storage.h"
#include "geoid/memory_status.h"

namespace pelikon {

class SwapCells;

// The coordinate a node of an unusable grid answers.
inline constexpr double kGridCoordinateError = 98765432.1;
// Grids are numbered with 32-bit node indexes; larger ones are refused.
inline constexpr int64_t kGridMaxCells = INT32_MAX;

enum class GridStorage { kMemory, kSwapFile };

// How a new grid's nodes start.
enum class GridFill {
  kPrefilled,  // value 0, no value, fill flag set
  kInOrder,    // empty: the caller stores every node in index order right away
  kSparse,     // empty: the caller stores some nodes in index order; the
               // others stay empty (their memory untouched, in small pages,
               // or holes in the swap file)
};

struct GridStorageOptions {
  std::filesystem::path swap_folder;     // empty: the private working folder
  const MemoryStatus* memory = nullptr;  // null: the system's
};

class GeoGrid {
 public:
  ~GeoGrid();
  GeoGrid(const GeoGrid&) = delete;
  GeoGrid& operator=(const GeoGrid&) = delete;

  double OriginLongitude() const { return origin_longitude_; }
  double OriginLatitude() const { return origin_latitude_; }
  double LongitudeStep() const { return longitude_step_; }
  double LatitudeStep() const { return latitude_step_; }
  int32_t ColumnIntervals() const { return nc_; }
  int32_t RowIntervals() const { return nr_; }
  int64_t CellCount() const { return (int64_t{nr_} + 1) * (int64_t{nc_} + 1); }

  GridStorage Storage() const { return swap_ ? GridStorage::kSwapFile : GridStorage::kMemory; }
  // The swap file (empty in memory).
  std::filesystem::path SwapPath() const;
  // Whether the swap file failed a read or write; the grid's data is then
  // not to be trusted.
  bool Failed() const;

  std::vector<std::string>& Remarks() { return remarks_; }
  const std::vector<std::string>& Remarks() const { return remarks_; }

  // Memory cells are served inline: readers walk millions of them.
  GridCell Get(int64_t index) { return cells_ && index >= 0 && index < CellCount() ? cells_[index] : GetSlow(index); }
  void Set(int64_t index, const GridCell& cell) {
    if (cells_ && index >= 0 && index < CellCount())
      cells_[index] = cell;
    else
      SetSlow(index, cell);
  }
  // Writes pending swap-file data; false when the swap file failed.
  bool Flush();

 private:
  friend std::unique_ptr<GeoGrid> CreateGridCells(double, double, double, double, int32_t, int32_t, GridCreateMode,
                                                  const GridStorageOptions&, GridFill);
  GeoGrid() = default;
  bool AllocateMemory(bool sparse);
  GridCell GetSlow(int64_t index);
  void SetSlow(int64_t index, const GridCell& cell);
  GridCell MissInSwap(int64_t index);
  bool ConvertToMemory();

  double origin_longitude_ = 0;
  double origin_latitude_ = 0;
  double longitude_step_ = 0;
  double latitude_step_ = 0;
  int32_t nc_ = 0;
  int32_t nr_ = 0;
  GridCell* cells_ = nullptr;  // in memory: row r starts at r * (nc + 1)
  std::unique_ptr<SwapCells> swap_;
  bool conversion_tried_ = false;
  std::vector<std::string> remarks_;
};

// A new grid, every node pre-filled (value 0, no value, fill flag set).
// Nothing when nc or nr is negative, the grid has more than kGridMaxCells
// nodes, or neither memory nor the swap file can hold it.
std::unique_ptr<GeoGrid> CreateGrid(double origin_longitude, double origin_latitude, double longitude_step,
                                    double latitude_step, int32_t nc, int32_t nr,
                                    GridCreateMode mode = GridCreateMode::kNormal,
                                    const GridStorageOptions& options = {});

// As CreateGrid, the nodes starting as `fill` says.
std::unique_ptr<GeoGrid> CreateGridCells(double origin_longitude, double origin_latitude, double longitude_step,
                                         double latitude_step, int32_t nc, int32_t nr, GridCreateMode mode,
                                         const GridStorageOptions& options, GridFill fill);

// The node's coordinates; kGridCoordinateError (with a trace) for no grid,
// a grid with nc = 0 or a zero step.
double GridNodeLongitude(const GeoGrid* grid, int64_t index);
double GridNodeLatitude(const GeoGrid* grid, int64_t index);
// The next node east / north, -1 from the last column / row or without a grid.
int64_t GridNextColumn(const GeoGrid* grid, int64_t index);
int64_t GridNextRow(const GeoGrid* grid, int64_t index);
// (nr + 1) x (nc + 1), -1 without a grid.
int64_t GridCellCount(const GeoGrid* grid);
// A copy of the cell; an empty cell without a grid or outside the grid.
GridCell GridGetCell(GeoGrid* grid, int64_t index);
// Stores the cell; indexes outside the grid are ignored.
void GridSetCell(GeoGrid* grid, int64_t index, const GridCell& cell);
// Deletes the swap file, frees everything and clears the handle.
void FreeGrid(std::unique_ptr<GeoGrid>& grid);

}  // namespace pelikon
