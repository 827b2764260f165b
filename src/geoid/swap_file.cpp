#include "geoid/swap_file.h"

#include <algorithm>
#include <vector>

namespace pelikon {

namespace {

// Cells move through a buffer of this many at a time.
constexpr int64_t kChunkCells = 8192;

uint64_t Offset(int64_t cell) {
  return static_cast<uint64_t>(cell) * kGridCellBytes;
}

}  // namespace

std::unique_ptr<SwapFile> SwapFile::Create(const std::filesystem::path& folder) {
  auto file = ScratchFile::Create(folder, "grd");
  if (!file) return nullptr;
  return std::unique_ptr<SwapFile>(new SwapFile(std::move(file)));
}

int64_t SwapFile::Read(int64_t first, GridCell* cells, int64_t count) {
  std::vector<unsigned char> bytes(static_cast<size_t>(std::min(count, kChunkCells)) * kGridCellBytes);
  int64_t done = 0;
  while (done < count) {
    const int64_t want = std::min(count - done, kChunkCells);
    const int64_t got = file_->ReadAt(Offset(first + done), bytes.data(), static_cast<size_t>(want) * kGridCellBytes);
    if (got < 0) return -1;
    const int64_t whole = got / static_cast<int64_t>(kGridCellBytes);
    for (int64_t i = 0; i < whole; ++i) cells[done + i] = DecodeGridCell(bytes.data() + i * kGridCellBytes);
    done += whole;
    if (whole < want) break;
  }
  return done;
}

bool SwapFile::Write(int64_t first, const GridCell* cells, int64_t count) {
  std::vector<unsigned char> bytes(static_cast<size_t>(std::min(count, kChunkCells)) * kGridCellBytes);
  for (int64_t done = 0; done < count;) {
    const int64_t want = std::min(count - done, kChunkCells);
    for (int64_t i = 0; i < want; ++i) EncodeGridCell(cells[done + i], bytes.data() + i * kGridCellBytes);
    if (!file_->WriteAt(Offset(first + done), bytes.data(), static_cast<size_t>(want) * kGridCellBytes)) return false;
    done += want;
  }
  return true;
}

}  // namespace pelikon
