#include "geoid/grid_file.h"

#include <cmath>
#include <cstdio>

#include "geoid/grid_remarks.h"
#include "geoid/grid_text.h"
#include "platform/catalogue.h"
#include "platform/text.h"

namespace pelikon {

namespace {

using FileHandle = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The integer part of a header count; nothing when it is no 32-bit count.
std::optional<int32_t> IntervalCount(double value) {
  const double whole = std::trunc(value);
  if (!(whole >= 0 && whole <= INT32_MAX)) return std::nullopt;
  return static_cast<int32_t>(whole);
}

GridCell ValueCell(std::string_view line) {
  if (!line.empty() && line[0] == 'N') return {};
  const double value = GridLineNumber(line);
  return {value, value != kGridNoValue, false};
}

// Shows the progress of a large grid's reading, if anyone watches it.
class ProgressShown {
 public:
  ProgressShown(GridReadProgress* progress, int64_t nodes)
      : progress_(nodes > kGridProgressThreshold ? progress : nullptr), nodes_(nodes) {
    if (progress_) progress_->Start(Tr("Reading Cells ..."));
  }
  ~ProgressShown() {
    if (progress_) progress_->Finish();
  }
  // Called with every index in turn, from 0.
  void Read(int64_t index) {
    if (--until_next_ > 0) return;
    until_next_ = kGridProgressStep;
    if (progress_) progress_->Advance(index, nodes_);
  }

 private:
  GridReadProgress* progress_;
  int64_t nodes_;
  int64_t until_next_ = 1;
};

}  // namespace

std::unique_ptr<GeoGrid> LoadGridFile(const std::filesystem::path& path, const GridLoadOptions& options) {
  if (path.empty()) return nullptr;
  FileHandle file(std::fopen(path.c_str(), "r"), &std::fclose);
  if (!file) return nullptr;
  GridLineReader reader(file.get());
  const GridHeader header = ReadGridHeader(reader, 6);
  const auto nc = IntervalCount(header.column_intervals);
  const auto nr = IntervalCount(header.row_intervals);
  if (!nc || !nr) return nullptr;
  // The steps come from the real counts: a header may give them with decimals.
  auto grid = CreateGridCells(header.west, header.south, (header.east - header.west) / header.column_intervals,
                              (header.north - header.south) / header.row_intervals, *nc, *nr, GridCreateMode::kNormal,
                              options.storage, false);
  if (!grid) return nullptr;

  const int64_t count = grid->CellCount();
  {
    ProgressShown progress(options.progress, count);
    int64_t index = 0;
    for (; index < count; ++index) {
      const auto line = reader.Next(kGridValueLineLimit);
      if (!line) break;
      grid->Set(index, ValueCell(*line));
      progress.Read(index);
    }
    for (; index < count; ++index) {
      grid->Set(index, GridCell{});
      progress.Read(index);
    }
  }

  std::vector<std::string>& remarks = grid->Remarks();
  while (const auto line = reader.Next(kGridRemarkLineLimit)) {
    const std::string_view text = TrimRight(TrimLeft(*line, " \t"), " \t\r\n");
    if (!text.empty()) remarks.emplace_back(text);
  }
  DropRepeatedRemarkBlocks(remarks);
  if (reader.Failed() || !grid->Flush()) return nullptr;
  return grid;
}

}  // namespace pelikon
