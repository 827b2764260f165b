// "dialogs.ini": saving, finding and clamping remembered window positions.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "dialogs/window_positions.h"
#include "platform/atomic_file.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

class WindowPositionsTest : public ::testing::Test {
 protected:
  std::string Ini() const {
    std::string content;
    ReadWholeFile(folder_ / "dialogs.ini", content);
    return content;
  }
  void WriteIni(const std::string& content) const { folder_.Write("dialogs.ini", content); }

  testing::TempDir folder_;
};

TEST_F(WindowPositionsTest, SavingReplacesTheWindowsLineAndKeepsEveryOtherLine) {
  WriteIni("merge,1,2,3,4,0\nmerge report,5,6,7,8,1\nhistory,9,10,11,12,0\r\nmerge,0,0,1,1,0\n");
  EXPECT_EQ(SaveWindowPlacement(folder_.Path(), "merge", {-8, 20, 640, 480, true}, false), 1);
  EXPECT_EQ(Ini(), "merge report,5,6,7,8,1\nhistory,9,10,11,12,0\nmerge,-8,20,640,480,1\n");
  EXPECT_FALSE(std::filesystem::exists(folder_ / "dialogs.new")) << "the twin was renamed over the file";

  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge"), (WindowPlacement{-8, 20, 640, 480, true}));
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "history"), (WindowPlacement{9, 10, 11, 12, false}));
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge report"), (WindowPlacement{5, 6, 7, 8, true}));
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "report"), std::nullopt);
}

TEST_F(WindowPositionsTest, AMinimisedWindowSavesNothing) {
  EXPECT_EQ(SaveWindowPlacement(folder_.Path(), "merge", {1, 2, 3, 4, false}, true), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "dialogs.ini")) << "no file made";
  WriteIni("merge,10,20,30,40,0\n");
  EXPECT_EQ(SaveWindowPlacement(folder_.Path(), "merge", {1, 2, 3, 4, false}, true), 0);
  EXPECT_EQ(Ini(), "merge,10,20,30,40,0\n");
}

TEST_F(WindowPositionsTest, MissingFilesAndFoldersLeaveTheWindowWhereItIs) {
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge"), std::nullopt);
  EXPECT_EQ(SaveWindowPlacement(folder_ / "gone", "merge", {1, 2, 3, 4, false}, false), 0);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "gone"));
  EXPECT_EQ(SaveWindowPlacement(folder_.Path(), "merge", {1, 2, 3, 4, false}, false), 1) << "a new file";
  EXPECT_EQ(Ini(), "merge,1,2,3,4,0\n");
}

TEST_F(WindowPositionsTest, HostileLinesAndNamesAreRefusedWithoutHarm) {
  const std::string long_junk(100000, 'x');
  const std::string hostile =
      "merge,1,2\nhistory,99999999999999999999999,0,10,10,0\nreport,1,2,3,4,0,5\nviewer, 7,"
      "8 ,9,10,1\n" +
      long_junk + "\n" + std::string("nul\0,1,2,3,4,0\n", 15);
  WriteIni(hostile);
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge"), std::nullopt) << "too few numbers";
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "history"), std::nullopt) << "a number out of range";
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "report"), std::nullopt) << "too many numbers";
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "viewer"), (WindowPlacement{7, 8, 9, 10, true}));
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), long_junk), std::nullopt);

  // A name that would split or end the line is neither saved nor found.
  for (const char* name : {"a,b", "two\nlines", "", "cr\r"}) {
    EXPECT_FALSE(IsWindowKey(name));
    EXPECT_EQ(SaveWindowPlacement(folder_.Path(), name, {1, 2, 3, 4, false}, false), 0) << name;
    EXPECT_EQ(LoadWindowPlacement(folder_.Path(), name), std::nullopt);
  }
  EXPECT_EQ(Ini(), hostile);
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge"), std::nullopt);
  ASSERT_EQ(SaveWindowPlacement(folder_.Path(), "merge", {1, 2, 3, 4, false}, false), 1);
  EXPECT_EQ(LoadWindowPlacement(folder_.Path(), "merge"), (WindowPlacement{1, 2, 3, 4, false}));
  EXPECT_NE(Ini().find(long_junk), std::string::npos) << "other lines are kept as they were";
}

TEST(WindowPlacementRestore, ClampsToTheScreenAndPicksTheStep) {
  const ScreenArea screen{1280, 1024, 1280, 990};
  EXPECT_EQ(ClampToScreen({-40, -5, 600, 400, false}, screen), (WindowPlacement{0, 0, 600, 400, false}))
      << "negative left and top go to the screen's edge";
  EXPECT_EQ(ClampToScreen({1300, 1000, 1500, 1100, false}, screen), (WindowPlacement{0, 0, 1280, 1024, false}))
      << "past the maximised size and past the screen";
  EXPECT_EQ(ClampToScreen({10, 10, -1, -1, true}, screen), (WindowPlacement{10, 10, 1280, 1024, true}));
  EXPECT_EQ(ClampToScreen({1280, 990, 1280, 1024, false}, screen), (WindowPlacement{1280, 990, 1280, 1024, false}))
      << "the edges themselves are inside";

  const WindowPlacement maximised{0, 0, 800, 600, true};
  EXPECT_EQ(ChooseRestoreStep(maximised, true, true), RestoreStep::kMaximize);
  EXPECT_EQ(ChooseRestoreStep(maximised, false, true), RestoreStep::kMoveAndSize) << "no maximise box";
  EXPECT_EQ(ChooseRestoreStep({0, 0, 800, 600, false}, true, true), RestoreStep::kMoveAndSize);
  EXPECT_EQ(ChooseRestoreStep({0, 0, 800, 600, false}, false, false), RestoreStep::kMove) << "fixed size";
  EXPECT_EQ(ChooseRestoreStep({500, 500, 100, 100, false}, false, true), RestoreStep::kMove)
      << "a rectangle with no area is not applied";
}

}  // namespace
}  // namespace pelikon
