// Grid file text: numbers read in the C locale whatever the user's, lines
// cut at their limit without spilling into the next, and the bounds test.
#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "geoid/grid_text.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::TempDir;

TEST(GridText, LineNumbersReadAsCLocaleDecimals) {
  const std::vector<std::pair<std::string, double>> cases = {
      {"12.5", 12.5},
      {"  -0.125\r", -0.125},
      {"\t+3", 3},
      {"12,5", 12},  // a comma ends the number
      {"1e3", 1000},
      {"2.5E-2x", 0.025},
      {".5", 0.5},
      {"7.", 7},
      {"-98765432.1", -98765432.1},
      {"0.1", 0.1},
      {"123456789012345678901234", 123456789012345678901234.0},
      {"0.30000000000000004", 0.30000000000000004},
      {"", 0},
      {"N", 0},
      {"abc", 0},
      {"-", 0},
      {"+-1", 0},
      {".", 0},
      {"1e999", HUGE_VAL},
      {"-1e999", -HUGE_VAL},
      {"1e-999", 0},
  };
  for (const auto& [line, expected] : cases) EXPECT_EQ(GridLineNumber(line), expected) << line;
}

TEST(GridText, EveryPlainDecimalReadsAsTheCLibraryReadsIt) {
  // The fast path for plain decimals must round as the general reader does.
  char text[64];
  for (int i = 0; i < 20000; ++i) {
    const double value = (i * 7919.0 - 5e7) / 1000.0 + i * 1e-9;
    std::snprintf(text, sizeof text, "%.*f", i % 12, value);
    EXPECT_EQ(GridLineNumber(text), std::strtod(text, nullptr)) << text;
  }
}

std::vector<std::string> Lines(const fs::path& file, size_t limit) {
  std::FILE* handle = std::fopen(file.c_str(), "r");
  std::vector<std::string> lines;
  GridLineReader reader(handle);
  while (auto line = reader.Next(limit)) lines.emplace_back(*line);
  std::fclose(handle);
  return lines;
}

TEST(GridText, LongLinesAreCutAndNeverSpillIntoTheNext) {
  TempDir dir;
  const std::string huge(3 << 20, '9');  // longer than the read block
  const fs::path file = dir.Write("lines.txt", std::string(200, ' ') + "5\n1\n" + huge + "\r\n2\n\n3");
  const std::vector<std::string> lines = Lines(file, kGridValueLineLimit);
  const std::vector<std::string> expected = {
      std::string(kGridValueLineLimit, ' '), "1", std::string(kGridValueLineLimit, '9'), "2", "", "3"};
  EXPECT_EQ(lines, expected);
  EXPECT_EQ(GridLineNumber(lines[0]), 0);
}

TEST(GridText, SkipPassesOverLinesAsNextWouldRead) {
  TempDir dir;
  // Many short lines (several read blocks and count slices), a line longer
  // than the read block, CR LF endings, empty lines and a last line
  // without a line end.
  std::string text;
  for (int i = 0; i < 300'000; ++i) text += std::to_string(i) + (i % 3 == 0 ? "\r\n" : "\n");
  text += std::string(3 << 20, '7') + "\n\n\nlast";
  const fs::path file = dir.Write("lines.txt", text);
  const std::vector<std::string> all = Lines(file, kGridValueLineLimit);
  ASSERT_EQ(all.size(), 300'004u);

  for (const int64_t step : {1, 2, 999, 16'385, 299'999, 300'002}) {
    std::FILE* handle = std::fopen(file.c_str(), "r");
    ASSERT_TRUE(handle);
    GridLineReader reader(handle);
    size_t at = 0;
    while (at < all.size()) {
      // Read one line, then pass over `step`: the next line read must be
      // the one that many lines further.
      const auto line = reader.Next(kGridValueLineLimit);
      ASSERT_TRUE(line) << step << " " << at;
      ASSERT_EQ(*line, all[at]) << step << " " << at;
      const int64_t left = static_cast<int64_t>(all.size() - at - 1);
      ASSERT_EQ(reader.Skip(step), std::min(step, left)) << step << " " << at;
      at += static_cast<size_t>(step) + 1;
    }
    EXPECT_FALSE(reader.Next(kGridValueLineLimit));
    EXPECT_EQ(reader.Skip(5), 0);
    EXPECT_FALSE(reader.Failed());
    std::fclose(handle);
  }
}

TEST(GridText, CoversIncludesTheBoundsAndRefusesWhatItCannotRead) {
  TempDir dir;
  const fs::path grid = dir.Write("box.grd", "  40.5\n350\n42\n355.25\n10\n10\n");
  struct Case {
    double longitude, latitude;
    bool covered;
  };
  const std::vector<Case> cases = {{350, 40.5, true},   {355.25, 42, true},  {352, 41, true},
                                   {349.99, 41, false}, {352, 42.01, false}, {355.3, 41, false}};
  for (const auto& c : cases) EXPECT_EQ(GridFileCovers(grid, c.longitude, c.latitude), c.covered) << c.longitude;
  EXPECT_FALSE(GridFileCovers({}, 352, 41));
  EXPECT_FALSE(GridFileCovers(dir / "missing.grd", 352, 41));
}

TEST(GridText, CoversReadsPointDecimalsUnderACommaLocale) {
  const char* const candidates[] = {"de_DE.UTF-8", "fr_FR.UTF-8", "de_DE.utf8", "fr_FR.utf8", "nl_NL.UTF-8"};
  std::string previous = std::setlocale(LC_ALL, nullptr);
  const char* chosen = nullptr;
  for (const char* name : candidates)
    if (std::setlocale(LC_ALL, name)) {
      chosen = name;
      break;
    }
  if (!chosen) GTEST_SKIP() << "no locale with a decimal comma installed";
  TempDir dir;
  const fs::path grid = dir.Write("box.grd", "40.5\n350.5\n42.5\n355.5\n");
  const bool inside = GridFileCovers(grid, 350.75, 40.75);
  const bool outside = GridFileCovers(grid, 350.25, 40.75);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_TRUE(inside) << chosen;
  EXPECT_FALSE(outside) << chosen;
}

}  // namespace
}  // namespace pelikon
