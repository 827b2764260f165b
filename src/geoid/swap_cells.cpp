#include "geoid/swap_cells.h"

#include <algorithm>
#include <new>

namespace pelikon {

std::unique_ptr<SwapCells> SwapCells::Create(const std::filesystem::path& folder, int64_t write_capacity,
                                             int64_t read_capacity) {
  auto file = SwapFile::Create(folder);
  if (!file) return nullptr;
  try {
    return std::unique_ptr<SwapCells>(new SwapCells(std::move(file), write_capacity, read_capacity));
  } catch (const std::bad_alloc&) {
    return nullptr;  // the file goes with `file`
  }
}

SwapCells::SwapCells(std::unique_ptr<SwapFile> file, int64_t write_capacity, int64_t read_capacity)
    : file_(std::move(file)),
      write_capacity_(write_capacity),
      read_capacity_(read_capacity),
      write_(static_cast<size_t>(write_capacity)),
      read_(static_cast<size_t>(read_capacity)) {}

std::optional<GridCell> SwapCells::Held(int64_t index) {
  ++accesses_;
  if (InRead(index)) return read_[static_cast<size_t>(index - read_first_)];
  if (InWrite(index)) return write_[static_cast<size_t>(index - write_first_)];
  return std::nullopt;
}

GridCell SwapCells::LoadAround(int64_t index) {
  read_first_ = index - read_capacity_ / 2;
  if (read_first_ < 1) read_first_ = 0;
  const int64_t got = file_->Read(read_first_, read_.data(), read_capacity_);
  ++transfers_;
  if (got < 0) failed_ = true;
  read_held_ = std::max<int64_t>(got, 0);
  // The write window holds newer data than the file.
  if (write_held_ > 0) {
    const int64_t from = std::max(read_first_, write_first_);
    const int64_t to = std::min(read_first_ + read_held_, write_first_ + write_held_);
    for (int64_t i = from; i < to; ++i)
      read_[static_cast<size_t>(i - read_first_)] = write_[static_cast<size_t>(i - write_first_)];
  }
  return InRead(index) ? read_[static_cast<size_t>(index - read_first_)] : GridCell{};
}

void SwapCells::OpenWriteWindow(int64_t index) {
  if (index >= file_cells_) {
    // Nothing of the file from here on: the window starts empty at the
    // cell, and the cells before it stay as they are (holes past the end).
    write_first_ = index;
    write_held_ = 0;
    return;
  }
  write_first_ = std::max<int64_t>(index - write_capacity_ / 2, 0);
  if (read_first_ >= 0 && read_first_ <= write_first_ && write_first_ + write_capacity_ <= read_first_ + read_held_) {
    std::copy_n(read_.begin() + (write_first_ - read_first_), write_capacity_, write_.begin());
    write_held_ = write_capacity_;
    return;
  }
  const int64_t got = file_->Read(write_first_, write_.data(), write_capacity_);
  ++transfers_;
  if (got < 0) failed_ = true;
  write_held_ = std::max<int64_t>(got, 0);
}

void SwapCells::Set(int64_t index, const GridCell& cell) {
  ++accesses_;
  if (InRead(index)) read_[static_cast<size_t>(index - read_first_)] = cell;
  if (write_held_ >= 0) {
    const int64_t r = index - write_first_;
    if (r >= 0 && r < write_held_) {
      write_[static_cast<size_t>(r)] = cell;
      return;
    }
    if (r >= write_held_ && r < write_capacity_) {
      // Past the end of the file: the cells between are new.
      std::fill(write_.begin() + write_held_, write_.begin() + r, GridCell{});
      write_[static_cast<size_t>(r)] = cell;
      write_held_ = r + 1;
      return;
    }
    Flush();
  }
  OpenWriteWindow(index);
  const int64_t r = index - write_first_;
  if (r >= write_held_) {
    std::fill(write_.begin() + write_held_, write_.begin() + r, GridCell{});
    write_held_ = r + 1;
  }
  write_[static_cast<size_t>(r)] = cell;
}

bool SwapCells::Flush() {
  if (write_held_ < 0) return !failed_;
  if (write_held_ > 0) {
    if (!file_->Write(write_first_, write_.data(), write_held_)) failed_ = true;
    ++transfers_;
    file_cells_ = std::max(file_cells_, write_first_ + write_held_);
  }
  write_held_ = -1;
  return !failed_;
}

bool SwapCells::Prefill(int64_t count) {
  std::vector<GridCell> chunk(static_cast<size_t>(std::min<int64_t>(count, 65'536)), kPrefilledCell);
  for (int64_t done = 0; done < count;) {
    const int64_t part = std::min<int64_t>(count - done, static_cast<int64_t>(chunk.size()));
    if (!file_->Write(done, chunk.data(), part)) return !(failed_ = true);
    done += part;
  }
  file_cells_ = std::max(file_cells_, count);
  return true;
}

bool SwapCells::CopyAll(GridCell* cells, int64_t count) {
  if (!Flush()) return false;
  const int64_t got = file_->Read(0, cells, count);
  if (got < 0) return !(failed_ = true);
  std::fill(cells + got, cells + count, GridCell{});
  return true;
}

}  // namespace pelikon
