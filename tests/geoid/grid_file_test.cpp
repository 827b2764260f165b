// Loading grid files: the header, nodes without value in their three
// forms, files that end early, long lines, remarks and their repeated
// blocks, progress, the same cells whichever storage the grid gets, and
// loads of a window of nodes only.
#include <gtest/gtest.h>

#include <algorithm>

#include <cstdint>
#include <string>
#include <vector>

#include "geoid/grid_file.h"
#include "geoid/grid_remarks.h"
#include "grid_fixtures.h"
#include "platform/text.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::AmpleMemory;
using testing::EntryNames;
using testing::GridHeaderText;
using testing::ShortMemory;
using testing::TempDir;

class GridFileTest : public ::testing::Test {
 protected:
  GridLoadOptions Options(const MemoryStatus& memory = AmpleMemory()) const {
    GridLoadOptions options;
    options.storage.swap_folder = swap_.Path();
    options.storage.memory = &memory;
    return options;
  }
  std::unique_ptr<GeoGrid> Load(const std::string& text, const MemoryStatus& memory = AmpleMemory()) {
    return LoadGridFile(files_.Write("model.grd", text), Options(memory));
  }

  TempDir files_;
  TempDir swap_;
};

TEST_F(GridFileTest, HeaderGivesOriginStepsAndCounts) {
  auto grid = Load("40\n350\n41.5\n352.5 \n 5.0\n3\n" + std::string(24, '\n'));
  ASSERT_TRUE(grid);
  EXPECT_EQ(grid->OriginLatitude(), 40);
  EXPECT_EQ(grid->OriginLongitude(), 350);
  EXPECT_EQ(grid->LongitudeStep(), 0.5);
  EXPECT_EQ(grid->LatitudeStep(), 0.5);
  EXPECT_EQ(GridCellCount(grid.get()), 24);
  EXPECT_EQ(GridNodeLongitude(grid.get(), 23), 352.5);
  EXPECT_EQ(GridNodeLatitude(grid.get(), 23), 41.5);
  EXPECT_EQ(GridNodeLatitude(grid.get(), 6), 40.5);
  EXPECT_EQ(GridNodeLongitude(grid.get(), 6), 350);
}

TEST_F(GridFileTest, NodesWithoutValueAndFilesThatEndEarly) {
  // 3 x 2 nodes; the text gives five of the six.
  auto grid = Load(GridHeaderText(0, 0, 1, 2, 2, 1) + "1.5\nN\n-98765432.1\n98765432.1\n  abc\n");
  ASSERT_TRUE(grid);
  const std::vector<GridCell> expected = {
      {1.5, true, false},        {0, false, false}, {-98765432.1, false, false},
      {98765432.1, true, false}, {0, true, false},  {0, false, false},
  };
  for (int64_t i = 0; i < 6; ++i) {
    const GridCell cell = GridGetCell(grid.get(), i);
    EXPECT_EQ(cell, expected[static_cast<size_t>(i)]) << i;
  }

  auto empty = Load(GridHeaderText(0, 0, 1, 1, 1, 1));
  ASSERT_TRUE(empty);
  for (int64_t i = 0; i < 4; ++i) EXPECT_EQ(GridGetCell(empty.get(), i), GridCell{}) << i;
}

TEST_F(GridFileTest, LongValueLinesDoNotShiftTheNodes) {
  auto grid = Load(GridHeaderText(0, 0, 1, 1, 1, 1) + std::string(130, ' ') + "7\n" + std::string(300, '1') +
                   "\n2\n3\nremark\n");
  ASSERT_TRUE(grid);
  EXPECT_EQ(GridGetCell(grid.get(), 0).value, 0);
  EXPECT_GT(GridGetCell(grid.get(), 1).value, 1e120);
  EXPECT_EQ(GridGetCell(grid.get(), 2).value, 2);
  EXPECT_EQ(GridGetCell(grid.get(), 3).value, 3);
  EXPECT_EQ(grid->Remarks(), std::vector<std::string>{"remark"});
}

TEST_F(GridFileTest, RemarksAreTrimmedAndRepeatedBlocksDropped) {
  std::string block;
  for (int i = 0; i < 100; ++i) block += StrPrintf("Source line %d\r\n", i);
  const std::string text = GridHeaderText(0, 0, 1, 1, 1, 1) + "1\n2\n3\n4\n" + "  Model of 2008 \t\r\n\n   \r\n" +
                           block + AsciiUpper(block) + "closing\n";
  auto grid = Load(text);
  ASSERT_TRUE(grid);
  const std::vector<std::string>& remarks = grid->Remarks();
  ASSERT_EQ(remarks.size(), 102u);
  EXPECT_EQ(remarks.front(), "Model of 2008");
  EXPECT_EQ(remarks[1], "Source line 0");
  EXPECT_EQ(remarks[100], "Source line 99");
  EXPECT_EQ(remarks.back(), "closing");
}

TEST(GridRemarks, RunsRepeatingKeptOnesAreDroppedFirstKept) {
  struct Case {
    std::vector<std::string> lines;
    size_t block;
    std::vector<std::string> kept;
  };
  const std::vector<Case> cases = {
      {{"a", "b", "A", "B", "c"}, 2, {"a", "b", "c"}},
      {{"a", "b", "c", "b", "c", "a", "b"}, 2, {"a", "b", "c"}},
      {{"a", "b", "a", "c"}, 2, {"a", "b", "a", "c"}},
      {{"x", "x", "x", "x", "x"}, 2, {"x", "x", "x"}},
      {{"a", "b"}, 2, {"a", "b"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines = c.lines;
    const bool removed = DropRepeatedRuns(lines, c.block);
    EXPECT_EQ(removed, lines.size() != c.lines.size());
    EXPECT_EQ(lines, c.kept);
  }

  // Short repeats go only after a pass over long blocks removed something.
  std::vector<std::string> short_repeat;
  for (int copy = 0; copy < 2; ++copy)
    for (int i = 0; i < 10; ++i) short_repeat.push_back(StrPrintf("line %d", i));
  DropRepeatedRemarkBlocks(short_repeat);
  EXPECT_EQ(short_repeat.size(), 20u);
}

class RecordingProgress : public GridReadProgress {
 public:
  void Start(const std::string& text) override { events.push_back("start " + text); }
  void Advance(int64_t nodes_read, int64_t nodes) override {
    ++advances;
    last = nodes_read;
    total = nodes;
  }
  void Finish() override { events.push_back("finish"); }

  std::vector<std::string> events;
  int advances = 0;
  int64_t last = -1;
  int64_t total = 0;
};

TEST_F(GridFileTest, OnlyLargeGridsShowTheirProgress) {
  RecordingProgress small;
  GridLoadOptions options = Options();
  options.progress = &small;
  ASSERT_TRUE(LoadGridFile(files_.Write("small.grd", GridHeaderText(0, 0, 1, 99999, 99999, 0)), options));
  EXPECT_TRUE(small.events.empty());

  RecordingProgress large;
  options.progress = &large;
  ASSERT_TRUE(LoadGridFile(files_.Write("large.grd", GridHeaderText(0, 0, 1, 100000, 100000, 0) + "1\n2\n"), options));
  EXPECT_EQ(large.events, (std::vector<std::string>{"start Reading Cells ...", "finish"}));
  EXPECT_EQ(large.advances, 11);
  EXPECT_EQ(large.last, 100000);
  EXPECT_EQ(large.total, 100001);
}

TEST_F(GridFileTest, SwapStorageHoldsTheSameCellsAsMemory) {
  // 300 x 200 nodes: above the fixed-plan size, so the memory figures decide.
  const int nc = 299, nr = 199;
  std::string text = GridHeaderText(10, 20, 30, 50, nc, nr);
  for (int i = 0; i < (nc + 1) * (nr + 1) - 7; ++i)
    text += i % 97 == 0 ? "N\n" : i % 89 == 0 ? "-98765432.1\n" : StrPrintf("%.3f\n", i * 0.013 - 50);
  auto in_memory = Load(text, AmpleMemory());
  auto in_swap = Load(text, ShortMemory());
  ASSERT_TRUE(in_memory && in_swap);
  EXPECT_EQ(in_memory->Storage(), GridStorage::kMemory);
  ASSERT_EQ(in_swap->Storage(), GridStorage::kSwapFile);
  EXPECT_EQ(in_swap->SwapPath().parent_path(), swap_.Path());
  EXPECT_EQ(in_swap->SwapPath().filename().string().rfind("grd", 0), 0u);
  const int64_t count = GridCellCount(in_memory.get());
  for (int64_t i = 0; i < count; ++i) ASSERT_EQ(GridGetCell(in_swap.get(), i), GridGetCell(in_memory.get(), i)) << i;
  EXPECT_EQ(GridGetCell(in_swap.get(), count - 1), GridCell{});
  EXPECT_EQ(in_swap->Remarks(), in_memory->Remarks());
  EXPECT_FALSE(in_swap->Failed());

  FreeGrid(in_swap);
  EXPECT_FALSE(in_swap);
  EXPECT_TRUE(EntryNames(swap_.Path()).empty());
}

// A 300 x 200 node model (large enough for the memory figures to decide
// its storage) with nodes without value in both forms, ending `missing`
// value lines early, and remarks.
std::string WindowTestModel(int missing) {
  const int nc = 299, nr = 199;
  std::string text = GridHeaderText(10, 20, 29.9, 49.9, nc, nr);  // steps of 0.1
  for (int i = 0; i < (nc + 1) * (nr + 1) - missing; ++i)
    text += i % 97 == 0 ? "N\n" : i % 89 == 0 ? "-98765432.1\n" : StrPrintf("%.3f\n", i * 0.013 - 50);
  return text + (missing == 0 ? " first remark \nsecond\n" : "");
}

struct WindowCase {
  GridWindow window;
  int64_t first_row, last_row, first_column, last_column;
};

// Windows inside the model, on its edges and beyond them, with a margin.
const WindowCase kWindowCases[] = {
    {{15.02, 30.05, 17.04, 31.97, 0}, 50, 71, 100, 120},
    {{15.02, 30.05, 17.04, 31.97, 1}, 49, 72, 99, 121},
    {{5.0, 10.0, 10.25, 20.05, 1}, 0, 4, 0, 2},           // south-west corner and beyond
    {{29.85, 49.83, 40.0, 60.0, 0}, 198, 199, 298, 299},  // north-east corner and beyond
};

TEST_F(GridFileTest, WindowedLoadHoldsTheWindowsCellsOnly) {
  for (const int missing : {0, 7, 300 * 140}) {
    const std::string text = WindowTestModel(missing);
    const fs::path path = files_.Write("model.grd", text);
    auto whole = LoadGridFile(path, Options());
    ASSERT_TRUE(whole);
    for (const WindowCase& c : kWindowCases) {
      for (const MemoryStatus* memory : {&AmpleMemory(), &ShortMemory()}) {
        GridLoadOptions options = Options(*memory);
        options.window = c.window;
        auto part = LoadGridFile(path, options);
        ASSERT_TRUE(part);
        EXPECT_EQ(part->Storage(), memory == &AmpleMemory() ? GridStorage::kMemory : GridStorage::kSwapFile);
        EXPECT_EQ(part->CellCount(), whole->CellCount());
        EXPECT_EQ(part->LongitudeStep(), whole->LongitudeStep());
        EXPECT_EQ(part->Remarks(), whole->Remarks());
        int64_t with_value = 0;
        // The rows around the window hold every way of getting it wrong;
        // scanning only them keeps the test quick under the sanitizers.
        const int64_t from = std::max<int64_t>(0, c.first_row - 3) * 300;
        const int64_t to = std::min<int64_t>(whole->CellCount(), (c.last_row + 4) * 300);
        for (int64_t i = from; i < to; ++i) {
          const int64_t row = i / 300, column = i % 300;
          const bool inside =
              row >= c.first_row && row <= c.last_row && column >= c.first_column && column <= c.last_column;
          const GridCell expected = inside ? GridGetCell(whole.get(), i) : GridCell{};
          ASSERT_EQ(GridGetCell(part.get(), i), expected) << missing << " " << row << " " << column;
          with_value += expected.has_value;
        }
        // The window's nodes without value and those past the file's end
        // are among them; the window must not be all empty.
        EXPECT_TRUE(with_value > 0 || missing > 0);
        EXPECT_FALSE(part->Failed());
      }
    }
  }
}

TEST_F(GridFileTest, WindowedSwapFileNeverWritesTheOtherNodes) {
  GridLoadOptions options = Options(ShortMemory());
  options.window = kWindowCases[0].window;
  auto part = LoadGridFile(files_.Write("model.grd", WindowTestModel(0)), options);
  ASSERT_TRUE(part);
  ASSERT_EQ(part->Storage(), GridStorage::kSwapFile);
  // Places never written read back as zero bytes (holes or past the end),
  // never as an empty cell's own bytes.
  const std::string bytes = testing::Contents(part->SwapPath());
  const WindowCase& c = kWindowCases[0];
  EXPECT_LE(bytes.size(), static_cast<size_t>(c.last_row * 300 + c.last_column + 1) * kGridCellBytes);
  for (size_t i = 0; i < bytes.size() / kGridCellBytes; ++i) {
    const int64_t row = static_cast<int64_t>(i) / 300, column = static_cast<int64_t>(i) % 300;
    if (row >= c.first_row && row <= c.last_row && column >= c.first_column && column <= c.last_column) continue;
    ASSERT_EQ(bytes.substr(i * kGridCellBytes, kGridCellBytes), std::string(kGridCellBytes, '\0')) << i;
  }
}

TEST_F(GridFileTest, WindowOutsideTheModelStillReadsTheRemarks) {
  GridLoadOptions options = Options();
  options.window = GridWindow{50, 20, 60, 50, 1};
  auto grid = LoadGridFile(files_.Write("model.grd", WindowTestModel(0)), options);
  ASSERT_TRUE(grid);
  for (int64_t i = 0; i < grid->CellCount(); ++i) ASSERT_EQ(GridGetCell(grid.get(), i), GridCell{}) << i;
  EXPECT_EQ(grid->Remarks(), (std::vector<std::string>{"first remark", "second"}));
}

TEST_F(GridFileTest, RefusesWhatItCannotReadOrStore) {
  EXPECT_FALSE(LoadGridFile({}, Options()));
  EXPECT_FALSE(LoadGridFile(files_ / "missing.grd", Options()));
  EXPECT_FALSE(Load(GridHeaderText(0, 0, 1, 1, -1, 1)));
  EXPECT_FALSE(Load("0\n0\n1\n1\n1e12\n1e12\n"));
  // A swap file in a folder that is not there.
  GridLoadOptions options = Options(ShortMemory());
  options.storage.swap_folder = files_ / "no such folder";
  EXPECT_FALSE(LoadGridFile(files_.Write("big.grd", GridHeaderText(0, 0, 1, 1, 300, 200)), options));
}

}  // namespace
}  // namespace pelikon
