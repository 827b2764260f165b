// The report viewer without its window: "rview.ini", what a loaded report
// shows, and where printed lines and page numbers land.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/viewer/print_plan.h"
#include "report/viewer/viewer_settings.h"
#include "report/viewer/viewer_text.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

TEST(ViewerSettingsTest, DefaultsFillWhatTheFileLacksAndAWriteReadsBack) {
  testing::TempDir data;
  EXPECT_EQ(ReadViewerSettings(data.Path()), ViewerSettings{});
  data.Write("rview.ini", "font_size=3\r\nln_pg=40\nunknown=1\ndegsym=0\nfont_name=DejaVu Sans Mono\n");
  ViewerSettings settings = ReadViewerSettings(data.Path());
  EXPECT_EQ(settings.font_size, 10);
  EXPECT_EQ(settings.lines_per_page, 40);
  EXPECT_FALSE(settings.degree_symbols);
  EXPECT_EQ(settings.font_name, "DejaVu Sans Mono");
  EXPECT_EQ(settings.printer_font_size, 12);

  settings.print_format = true;
  ASSERT_TRUE(WriteViewerSettings(data.Path(), settings));
  EXPECT_EQ(testing::Contents(data / "rview.ini"),
            "pformat=1\npageno=1\nln_pg=40\nlmargin=5\ntmargin=2\nbmargin=3\ndegsym=0\nfont_name=DejaVu Sans Mono\n"
            "font_size=10\nfont_weight=764\npfont_name=Courier New\npfont_size=12\npfont_weight=764\n");
  EXPECT_EQ(ReadViewerSettings(data.Path()), settings);
  EXPECT_FALSE(WriteViewerSettings(data / "no" / "folder", settings));
}

TEST(ViewerTextTest, AReportShowsItsTitleAndItsDegreeSignsAsAsked) {
  testing::TempDir data;
  data.Write("tobrrprt.tmp",
             "Traverse  12/08/26\nAngle 12\xB0"
             "30'\n");
  ViewerText shown;
  ASSERT_TRUE(LoadViewerText(data / "tobrrprt.tmp", false, shown));
  EXPECT_TRUE(shown.is_report);
  EXPECT_EQ(shown.title, "Traverse");
  EXPECT_EQ(shown.text, "Traverse  12/08/26\nAngle 12d30'\n");
  EXPECT_EQ(SuggestedReportFile("/office", shown.title), std::filesystem::path("/office/Traverse.txt"));
  EXPECT_EQ(SuggestedReportFile("/office", ""), std::filesystem::path("/office/report.txt"));

  data.Write("tobrrprt.tmp", "No Date Time\nline\n");
  ASSERT_TRUE(LoadViewerText(data / "tobrrprt.tmp", true, shown));
  EXPECT_EQ(shown.text, "line\n");
  // Any other file is shown as it is.
  data.Write("notes.txt", "No Date Time\n12\xB0\n");
  ASSERT_TRUE(LoadViewerText(data / "notes.txt", false, shown));
  EXPECT_FALSE(shown.is_report);
  EXPECT_EQ(shown.text, "No Date Time\n12\xB0\n");
  EXPECT_FALSE(LoadViewerText(data / "gone.txt", true, shown));
}

TEST(PrintPlanTest, PagesFollowTheLinesMarginsAndFormFeeds) {
  const PrintMetrics metrics{1000, 600, 10, 6};  // 60 lines of 10 units on a page
  ViewerSettings settings;
  settings.page_numbers = false;
  // Without the print settings: no margins, numbered pages, the page's lines less three.
  PrintLayout layout = PlanPrintLayout(settings, metrics);
  EXPECT_EQ(layout.lines_per_page, 57);
  EXPECT_EQ(layout.left_margin, 0);
  EXPECT_TRUE(layout.page_numbers);

  settings.print_format = true;
  settings.lines_per_page = 3;
  layout = PlanPrintLayout(settings, metrics);
  EXPECT_EQ(layout.lines_per_page, 3);
  EXPECT_FALSE(layout.page_numbers);
  const std::vector<PrintedPage> pages = PaginateReport({"a\r\n", "b", "\f", "c", "d", "e", "f"}, layout, metrics);
  ASSERT_EQ(pages.size(), 3u);
  ASSERT_EQ(pages[0].texts.size(), 2u);
  EXPECT_EQ(pages[0].texts[0].text, "a");
  EXPECT_EQ(pages[0].texts[0].x, 30);  // five characters of margin
  EXPECT_EQ(pages[0].texts[0].y, 30);  // line 1 below two lines of margin
  EXPECT_EQ(pages[1].texts.size(), 3u) << "the form feed starts the page";
  EXPECT_EQ(pages[2].texts[0].text, "f");
  EXPECT_EQ(pages[2].texts[0].y, 30);

  settings.page_numbers = true;
  settings.lines_per_page = 100;  // more than the page holds
  layout = PlanPrintLayout(settings, metrics);
  EXPECT_TRUE(layout.reduced);
  EXPECT_EQ(layout.lines_per_page, 54);
  const std::vector<PrintedPage> numbered = PaginateReport(std::vector<std::string>(108, "x"), layout, metrics);
  ASSERT_EQ(numbered.size(), 2u) << "a text that fills its pages has no empty page after them";
  const PrintedText& number = numbered[1].texts.back();
  EXPECT_EQ(number.text, "Page 2 of 2");
  EXPECT_EQ(number.x, (1000 + (5 - 11) * 6) / 2);
  EXPECT_EQ(number.y, (3 + 2 + 1 + 54) * 10);
}

TEST(PrintPlanTest, ASelectionPrintsTheWholeLinesItTouches) {
  const std::vector<std::string> lines = SplitPrintLines("one\ntwo\r\nthree\nfour\n");
  ASSERT_EQ(lines, (std::vector<std::string>{"one", "two\r", "three", "four"}));
  using Lines = std::vector<std::string>;
  // Part of a line and part of the next: both lines.
  EXPECT_EQ(LinesOfSelection(lines, {0, 2}, {1, 1}), (Lines{"one", "two\r"}));
  // Whole lines picked with their line ends do not take the line after.
  EXPECT_EQ(LinesOfSelection(lines, {1, 0}, {3, 0}), (Lines{"two\r", "three"}));
  EXPECT_EQ(LinesOfSelection(lines, {2, 1}, {2, 3}), (Lines{"three"}));
  // A selection running to the end of the text, and one past it.
  EXPECT_EQ(LinesOfSelection(lines, {3, 0}, {4, 0}), (Lines{"four"}));
  EXPECT_EQ(LinesOfSelection(lines, {2, 0}, {9, 5}), (Lines{"three", "four"}));
  // No selection, or one given backwards, prints nothing of its own.
  EXPECT_TRUE(LinesOfSelection(lines, {1, 2}, {1, 2}).empty());
  EXPECT_TRUE(LinesOfSelection(lines, {2, 0}, {1, 0}).empty());
  EXPECT_TRUE(LinesOfSelection({}, {0, 0}, {0, 4}).empty());
}

}  // namespace
}  // namespace pelikon
