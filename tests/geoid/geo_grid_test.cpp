// GeoGrid: pre-filled creation in both storages, the swap windows against
// plain memory under a mixed walk of stores and reads, the move to memory
// of a grid that keeps missing, node coordinates and neighbours, and the
// storage plan from the memory figures.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "geoid/geo_grid.h"
#include "geoid/grid_storage.h"
#include "geoid/memory_status.h"
#include "grid_fixtures.h"
#include "platform/trace.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::AmpleMemory;
using testing::EntryNames;
using testing::FakeMemoryStatus;
using testing::ShortMemory;
using testing::TempDir;

class GeoGridTest : public ::testing::Test {
 protected:
  std::unique_ptr<GeoGrid> Create(int32_t nc, int32_t nr, const MemoryStatus& memory,
                                  GridCreateMode mode = GridCreateMode::kNormal) {
    GridStorageOptions options;
    options.swap_folder = swap_.Path();
    options.memory = &memory;
    return CreateGrid(100, -20, 0.25, 0.5, nc, nr, mode, options);
  }

  TempDir swap_;
};

TEST_F(GeoGridTest, NewGridsArePrefilledInEitherStorage) {
  for (const MemoryStatus* memory : std::vector<const MemoryStatus*>{&AmpleMemory(), &ShortMemory()}) {
    auto grid = Create(299, 199, *memory);
    ASSERT_TRUE(grid);
    const int64_t count = GridCellCount(grid.get());
    ASSERT_EQ(count, 60000);
    for (int64_t i = 0; i < count; i += 997) EXPECT_EQ(GridGetCell(grid.get(), i), kPrefilledCell) << i;
    EXPECT_EQ(GridGetCell(grid.get(), count - 1), kPrefilledCell);
    EXPECT_EQ(GridGetCell(grid.get(), -1), GridCell{});
    EXPECT_EQ(GridGetCell(grid.get(), count), GridCell{});
    GridSetCell(grid.get(), count, {5, true, false});
    GridSetCell(grid.get(), -7, {5, true, false});
    EXPECT_EQ(GridGetCell(grid.get(), count - 1), kPrefilledCell);
  }
  EXPECT_EQ(GridGetCell(nullptr, 0), GridCell{});
  EXPECT_EQ(GridCellCount(nullptr), -1);
  GridSetCell(nullptr, 0, {1, true, false});
}

TEST_F(GeoGridTest, SwapWindowsAgreeWithMemoryUnderMixedAccess) {
  auto reference = Create(299, 199, AmpleMemory());
  auto swapped = Create(299, 199, ShortMemory());
  ASSERT_TRUE(reference && swapped);
  ASSERT_EQ(swapped->Storage(), GridStorage::kSwapFile);
  const int64_t count = GridCellCount(reference.get());
  std::mt19937 random(7);
  // Walks row by row with stores and reads behind and ahead, jumps now and
  // then, as a sub-grid builder does and worse.
  int64_t at = 0;
  for (int step = 0; step < 200000; ++step) {
    const uint32_t roll = random() % 100;
    if (roll < 2) at = static_cast<int64_t>(random() % static_cast<uint32_t>(count));
    const int64_t index = (at + static_cast<int64_t>(random() % 600) - 300 + count) % count;
    if (roll < 45) {
      const GridCell cell{static_cast<double>(step), roll % 3 != 0, false};
      GridSetCell(reference.get(), index, cell);
      GridSetCell(swapped.get(), index, cell);
    } else {
      ASSERT_EQ(GridGetCell(swapped.get(), index), GridGetCell(reference.get(), index)) << "step " << step;
    }
    at = (at + 1) % count;
  }
  for (int64_t i = 0; i < count; ++i) ASSERT_EQ(GridGetCell(swapped.get(), i), GridGetCell(reference.get(), i)) << i;
  EXPECT_EQ(swapped->Storage(), GridStorage::kSwapFile);
  EXPECT_FALSE(swapped->Failed());
}

TEST_F(GeoGridTest, AGridThatKeepsMissingMovesToMemoryOnce) {
  auto grid = Create(299, 199, ShortMemory());
  ASSERT_TRUE(grid);
  ASSERT_EQ(grid->Storage(), GridStorage::kSwapFile);
  const fs::path swap_file = grid->SwapPath();
  EXPECT_TRUE(fs::exists(swap_file));
  for (int64_t i = 0; i < 60000; i += 7) GridSetCell(grid.get(), i, {i * 0.5, true, false});
  grid->Remarks().push_back("kept");

  TraceCapture trace;
  // Two places further apart than the read window, visited in turns.
  int64_t accesses = 0;
  while (grid->Storage() == GridStorage::kSwapFile && accesses < 700000) {
    const int64_t base = (accesses / 1000) % 2 == 0 ? 7 : 30001;
    GridGetCell(grid.get(), base + 7 * (accesses % 100));
    ++accesses;
  }
  EXPECT_EQ(grid->Storage(), GridStorage::kMemory);
  // Stores count as accesses too: the move comes at the first miss after 500,000 of both.
  EXPECT_GT(accesses, 490000);
  EXPECT_LT(accesses, 501000);
  EXPECT_FALSE(fs::exists(swap_file));
  EXPECT_NE(trace.Text().find("Converting grid to all-in-memory to improve performance"), std::string::npos);
  for (int64_t i = 0; i < 60000; ++i) {
    const GridCell expected = i % 7 == 0 ? GridCell{i * 0.5, true, false} : kPrefilledCell;
    ASSERT_EQ(GridGetCell(grid.get(), i), expected) << i;
  }
  EXPECT_EQ(grid->Remarks(), std::vector<std::string>{"kept"});
}

TEST_F(GeoGridTest, FreeGridDeletesTheSwapFileAndClearsTheHandle) {
  auto grid = Create(299, 199, ShortMemory());
  ASSERT_TRUE(grid);
  GridSetCell(grid.get(), 12345, {1, true, false});
  EXPECT_EQ(EntryNames(swap_.Path()).size(), 1u);
  FreeGrid(grid);
  EXPECT_FALSE(grid);
  EXPECT_TRUE(EntryNames(swap_.Path()).empty());
  FreeGrid(grid);
}

TEST_F(GeoGridTest, SwapFailureOnCreationLeavesNothingBehind) {
  GridStorageOptions options;
  options.swap_folder = swap_ / "missing";
  options.memory = &ShortMemory();
  EXPECT_FALSE(CreateGrid(0, 0, 1, 1, 299, 199, GridCreateMode::kNormal, options));
  EXPECT_FALSE(CreateGrid(0, 0, 1, 1, -1, 5, GridCreateMode::kNormal, options));
  EXPECT_FALSE(CreateGrid(0, 0, 1, 1, 70000, 70000, GridCreateMode::kNormal, options));
  // Memory can still be forced for the same grid.
  auto forced = CreateGrid(0, 0, 1, 1, 299, 199, GridCreateMode::kPreferMemory, options);
  ASSERT_TRUE(forced);
  EXPECT_EQ(forced->Storage(), GridStorage::kMemory);
  EXPECT_TRUE(EntryNames(swap_.Path()).empty());
}

TEST_F(GeoGridTest, NodeCoordinatesAndNeighbours) {
  auto grid = Create(3, 2, AmpleMemory());  // 4 columns, 3 rows
  ASSERT_TRUE(grid);
  EXPECT_EQ(GridNodeLongitude(grid.get(), 6), 100.5);
  EXPECT_EQ(GridNodeLatitude(grid.get(), 6), -19.5);
  EXPECT_EQ(GridNextColumn(grid.get(), 2), 3);
  EXPECT_EQ(GridNextColumn(grid.get(), 3), -1);
  EXPECT_EQ(GridNextColumn(grid.get(), 11), -1);
  EXPECT_EQ(GridNextRow(grid.get(), 3), 7);
  EXPECT_EQ(GridNextRow(grid.get(), 7), 11);
  EXPECT_EQ(GridNextRow(grid.get(), 8), -1);
  EXPECT_EQ(GridNextColumn(nullptr, 0), -1);
  EXPECT_EQ(GridNextRow(nullptr, 0), -1);

  TraceCapture trace;
  auto column = CreateGrid(0, 0, 1, 1, 0, 4, GridCreateMode::kNormal, {{}, &AmpleMemory()});
  EXPECT_EQ(GridNodeLongitude(column.get(), 1), kGridCoordinateError);
  EXPECT_EQ(GridNodeLatitude(column.get(), 1), kGridCoordinateError);
  auto flat = CreateGrid(0, 0, 1, 0, 2, 2, GridCreateMode::kNormal, {{}, &AmpleMemory()});
  EXPECT_EQ(GridNodeLatitude(flat.get(), 4), kGridCoordinateError);
  EXPECT_EQ(GridNodeLongitude(flat.get(), 4), 1);
  EXPECT_NE(trace.Text().find("GET X ERROR!Grid size error"), std::string::npos);
  EXPECT_NE(trace.Text().find("GET Y ERROR!"), std::string::npos);
  EXPECT_NE(trace.Text().find("Grid step error"), std::string::npos);
}

TEST(GridStoragePlanTest, MemoryFiguresSetThresholdAndWindows) {
  // 0.8 x available = 10e9 bytes, total / that = 2, load 50 -> factor 30.
  const FakeMemoryStatus figures({12'500'000'000, 20'000'000'000, 50});
  const GridStoragePlan large = PlanGridStorage(3000, 3000, GridCreateMode::kNormal, figures);
  EXPECT_EQ(large.swap_threshold, 10'000'000'000 / 960);
  EXPECT_TRUE(large.try_memory);
  EXPECT_EQ(large.write_window, 9'000'000 / 40);
  EXPECT_EQ(large.read_window, 2 * large.write_window);

  const GridStoragePlan huge = PlanGridStorage(20000, 10000, GridCreateMode::kNormal, figures);
  EXPECT_FALSE(huge.try_memory);
  EXPECT_EQ(huge.write_window, 10'000'000'000 / 12'000);

  // Small grids keep the fixed plan whatever the figures say.
  const GridStoragePlan small = PlanGridStorage(200, 200, GridCreateMode::kNormal, ShortMemory());
  EXPECT_TRUE(small.try_memory);
  EXPECT_EQ(small.write_window, kGridDefaultWindow);
  EXPECT_FALSE(PlanGridStorage(300, 200, GridCreateMode::kNormal, ShortMemory()).try_memory);
  EXPECT_TRUE(PlanGridStorage(300, 200, GridCreateMode::kPreferMemory, ShortMemory()).try_memory);
}

TEST(GridStoragePlanTest, MeminfoGivesVirtualFigures) {
  const MemoryFigures figures = MemoryFiguresFromMeminfo(
      "MemTotal:        8000000 kB\nMemFree:  100 kB\nMemAvailable:    3000000 kB\n"
      "SwapTotal:       2000000 kB\nSwapFree:        2000000 kB\n");
  EXPECT_EQ(figures.total_virtual, uint64_t{10'000'000} * 1024);
  EXPECT_EQ(figures.available_virtual, uint64_t{5'000'000} * 1024);
  EXPECT_EQ(figures.load_percent, 50);
  EXPECT_EQ(MemoryFiguresFromMeminfo("").load_percent, 100);
  EXPECT_GT(SystemMemoryStatus().Read().total_virtual, 0u);
}

}  // namespace
}  // namespace pelikon
