// The binary file a large grid keeps its cells in: a unique file "grd..."
// in a folder the caller gives (the program's private working folder),
// open for the grid's life and deleted with it. Cells are stored in their
// 16-byte layout (grid_cell.h).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>

#include "geoid/grid_cell.h"
#include "platform/scratch_file.h"

namespace pelikon {

class SwapFile {
 public:
  // Nothing when the file cannot be made.
  static std::unique_ptr<SwapFile> Create(const std::filesystem::path& folder);
  SwapFile(const SwapFile&) = delete;
  SwapFile& operator=(const SwapFile&) = delete;

  const std::filesystem::path& Path() const { return file_->Path(); }
  // Reads up to `count` cells from cell `first`; the number read (fewer
  // past the end of the file), -1 on an error.
  int64_t Read(int64_t first, GridCell* cells, int64_t count);
  // Writes `count` cells at cell `first`; false on an error.
  bool Write(int64_t first, const GridCell* cells, int64_t count);

 private:
  explicit SwapFile(std::unique_ptr<ScratchFile> file) : file_(std::move(file)) {}
  std::unique_ptr<ScratchFile> file_;  // deleted with the swap file
};

}  // namespace pelikon
