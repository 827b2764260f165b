#include "geoid/grid_file.h"

#include <algorithm>
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
  // Called with rising indexes, from 0; nodes passed over may be left out.
  void Reached(int64_t index) {
    if (index < next_) return;
    next_ = index + kGridProgressStep;
    if (progress_) progress_->Advance(index, nodes_);
  }

 private:
  GridReadProgress* progress_;
  int64_t nodes_;
  int64_t next_ = 0;
};

// Rows or columns `first` to `last`; none when first > last.
struct NodeSpan {
  int64_t first = 0;
  int64_t last = -1;
  bool Holds(int64_t position) const { return first <= position && position <= last; }
};

// The rows or columns a window's edges `low` to `high` take along an axis
// of `intervals` steps of `step` from `origin`; all of them when the step
// is not positive.
NodeSpan WindowSpan(double low, double high, double origin, double step, int32_t intervals, int32_t margin) {
  if (!(step > 0) || !std::isfinite(step)) return {0, intervals};
  const double first = std::max(std::floor((low - origin) / step) - margin, 0.0);
  const double last = std::min(std::ceil((high - origin) / step) + margin, static_cast<double>(intervals));
  if (!(first <= last)) return {};
  return {static_cast<int64_t>(first), static_cast<int64_t>(last)};
}

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
                              options.storage, options.window ? GridFill::kSparse : GridFill::kInOrder);
  if (!grid) return nullptr;

  NodeSpan rows{0, *nr};
  NodeSpan columns{0, *nc};
  if (const std::optional<GridWindow>& window = options.window) {
    rows = WindowSpan(window->south, window->north, grid->OriginLatitude(), grid->LatitudeStep(), *nr, window->margin);
    columns =
        WindowSpan(window->west, window->east, grid->OriginLongitude(), grid->LongitudeStep(), *nc, window->margin);
  }
  const int64_t row_length = int64_t{*nc} + 1;
  const bool whole_rows = columns.first == 0 && columns.last == *nc;
  {
    ProgressShown progress(options.progress, grid->CellCount());
    bool ended = false;   // no value line left
    int64_t passing = 0;  // value lines to pass over before the next one read
    const auto next_value = [&]() -> std::optional<std::string_view> {
      if (!ended && passing > 0) ended = reader.Skip(passing) < passing;
      passing = 0;
      const std::optional<std::string_view> line = ended ? std::nullopt : reader.Next(kGridValueLineLimit);
      ended = !line;
      return line;
    };
    for (int64_t row = 0; row <= *nr; ++row) {
      const int64_t row_start = row * row_length;
      if (!rows.Holds(row) || columns.first > columns.last) {
        passing += row_length;
        progress.Reached(row_start + row_length - 1);
        continue;
      }
      passing += columns.first;
      for (int64_t index = row_start + columns.first; index <= row_start + columns.last; ++index) {
        const std::optional<std::string_view> line = next_value();
        grid->Set(index, line ? ValueCell(*line) : GridCell{});
        progress.Reached(index);
      }
      passing += row_length - 1 - columns.last;
      // A part row goes out to the swap file alone, so that the nodes
      // between two parts are never written (a failure shows at the end).
      if (!whole_rows) grid->Flush();
    }
    if (!ended) reader.Skip(passing);  // the remarks follow
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
