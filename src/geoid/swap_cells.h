// The cells of a grid kept in a swap file, seen through two windows: a
// write window that gathers stores around the last one, and a larger read
// window that serves reads around the last miss. Suited to a walk row by
// row; random access keeps missing (the grid then moves to memory).
// Cells never stored read as empty cells (gaps in the file stay holes).
//
// A failed read or write of the swap file marks the cells as failed; the
// grid's owner then gives the grid up.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

#include "geoid/grid_cell.h"
#include "geoid/swap_file.h"

namespace pelikon {

class SwapCells {
 public:
  // Nothing when the swap file or a window cannot be had.
  static std::unique_ptr<SwapCells> Create(const std::filesystem::path& folder, int64_t write_capacity,
                                           int64_t read_capacity);

  // Counts an access; the cell when a window holds it.
  std::optional<GridCell> Held(int64_t index);
  // After a miss: loads the read window around `index` (a transfer) and
  // answers from it; an empty cell past the end of the file.
  GridCell LoadAround(int64_t index);
  // Counts an access and stores the cell.
  void Set(int64_t index, const GridCell& cell);

  // Writes `count` pre-filled cells from cell 0 on, past the windows.
  bool Prefill(int64_t count);
  // Writes the write window out and empties it.
  bool Flush();
  // Every cell from 0 to count - 1, newest data included.
  bool CopyAll(GridCell* cells, int64_t count);

  bool Failed() const { return failed_; }
  int64_t Accesses() const { return accesses_; }
  int64_t Transfers() const { return transfers_; }
  int64_t ReadCapacity() const { return read_capacity_; }
  int64_t WriteCapacity() const { return write_capacity_; }
  const std::filesystem::path& Path() const { return file_->Path(); }

 private:
  SwapCells(std::unique_ptr<SwapFile> file, int64_t write_capacity, int64_t read_capacity);
  bool InRead(int64_t index) const {
    return read_first_ >= 0 && index >= read_first_ && index < read_first_ + read_held_;
  }
  bool InWrite(int64_t index) const {
    return write_held_ >= 0 && index >= write_first_ && index < write_first_ + write_held_;
  }
  void OpenWriteWindow(int64_t index);

  std::unique_ptr<SwapFile> file_;
  int64_t write_capacity_;
  int64_t read_capacity_;
  std::vector<GridCell> write_;
  std::vector<GridCell> read_;
  int64_t write_first_ = 0;
  int64_t write_held_ = -1;  // -1: empty
  int64_t read_first_ = -1;  // -1: never loaded
  int64_t read_held_ = 0;
  int64_t file_cells_ = 0;  // the file's length in cells
  int64_t accesses_ = 0;
  int64_t transfers_ = 0;
  bool failed_ = false;
};

}  // namespace pelikon
