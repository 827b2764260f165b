// A report printed through the toolkit's printing to a PostScript file and
// read back page by page: where the pages break, what each page holds and
// where its lines start.
#include "report/wx/report_printout.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "gui/dialog_script.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

struct PrintedLine {
  double x = 0;
  std::string text;
};
using PrintedPages = std::vector<std::vector<PrintedLine>>;

// Each "%%Page:" section's texts, each at the x of the point it is shown
// from ("x y moveto" and then "(text) (\n) strsplit").
PrintedPages ReadPostScriptPages(const std::string& postscript) {
  static const std::string kShown = ") (\\n) strsplit";
  PrintedPages pages;
  std::istringstream in(postscript);
  std::string line;
  double x = 0, y = 0;
  char rest[8] = {};
  while (std::getline(in, line)) {
    if (line.starts_with("%%Page:")) {
      pages.emplace_back();
    } else if (pages.empty()) {
      continue;
    } else if (std::sscanf(line.c_str(), "%lf %lf %7s", &x, &y, rest) == 3 && std::string(rest) == "moveto") {
      pages.back().push_back({x, ""});
    } else if (line.starts_with("(") && line.ends_with(kShown) && !pages.back().empty()) {
      pages.back().back().text = line.substr(1, line.size() - 1 - kShown.size());
    }
  }
  return pages;
}

std::vector<std::string> Numbered(const std::string& prefix, int from, int to) {
  std::vector<std::string> lines;
  for (int i = from; i <= to; ++i) lines.push_back(prefix + std::to_string(i));
  return lines;
}

std::string NumberedText(const std::string& prefix, int from, int to) {
  std::string text;
  for (const std::string& line : Numbered(prefix, from, to)) text += line + "\n";
  return text;
}

class ReportPrintoutTest : public ::testing::Test {
 protected:
  ReportPrintoutTest() { testing::FailOnWxAssertions(); }
  PrintedPages Printed() {
    EXPECT_TRUE(std::filesystem::exists(file_));
    return ReadPostScriptPages(testing::Contents(file_));
  }

  testing::TempDir folder_;
  std::filesystem::path file_ = folder_ / "report.ps";
};

TEST_F(ReportPrintoutTest, PlainPagesAreFullNumberedAndStartAtTheEdge) {
  // Five lines, a form feed, then more than a page holds.
  const std::string text = NumberedText("line ", 1, 5) + "\f\r\n" + NumberedText("line ", 6, 200);
  ASSERT_TRUE(PrintReportToFile(text, ViewerSettings{}, file_));

  const PrintedPages pages = Printed();
  const int count = static_cast<int>(pages.size());
  ASSERT_GE(count, 3) << "195 lines of 12 points fill more than one page";
  std::vector<std::string> printed;
  for (int page = 1; page <= count; ++page) {
    const std::vector<PrintedLine>& texts = pages[static_cast<size_t>(page - 1)];
    ASSERT_GE(texts.size(), 2u) << "page " << page;
    EXPECT_EQ(texts.back().text, "Page " + std::to_string(page) + " of " + std::to_string(count));
    EXPECT_GT(texts.back().x, 100.0) << "the page number is centred";
    for (size_t i = 0; i + 1 < texts.size(); ++i) {
      EXPECT_EQ(texts[i].x, 0.0) << texts[i].text << ": no left margin";
      printed.push_back(texts[i].text);
    }
  }
  EXPECT_EQ(pages[0].size(), 6u) << "the form feed ends the first page after five lines";
  EXPECT_EQ(pages[1].front().text, "line 6");
  EXPECT_EQ(printed, Numbered("line ", 1, 200)) << "every line once, in order, the form feed not printed";
  for (int page = 2; page < count; ++page)
    EXPECT_EQ(pages[static_cast<size_t>(page - 1)].size(), pages[1].size()) << "page " << page << " is full";
  EXPECT_LE(pages[count - 1].size(), pages[1].size());
}

TEST_F(ReportPrintoutTest, PrintSettingsGiveTheLinesPerPageAndTheMargin) {
  ViewerSettings settings;
  settings.print_format = true;
  settings.page_numbers = false;
  settings.lines_per_page = 20;
  ASSERT_TRUE(PrintReportToFile(NumberedText("row ", 1, 10) + "\f\n" + NumberedText("row ", 11, 45), settings, file_));

  const PrintedPages pages = Printed();
  ASSERT_EQ(pages.size(), 3u);
  EXPECT_EQ(pages[0].size(), 10u);
  EXPECT_EQ(pages[1].size(), 20u);
  EXPECT_EQ(pages[2].size(), 15u);
  EXPECT_EQ(pages[1].front().text, "row 11");
  EXPECT_EQ(pages[2].front().text, "row 31");
  EXPECT_GT(pages[0].front().x, 0.0) << "five characters of margin";
  for (const auto& page : pages)
    for (const PrintedLine& line : page) {
      EXPECT_EQ(line.x, pages[0].front().x) << line.text;
      EXPECT_FALSE(line.text.starts_with("Page ")) << "no page numbers asked for";
    }
}

TEST_F(ReportPrintoutTest, OnlyTheSelectedLinesPrintWhenTheSelectionIsAskedFor) {
  const std::string text = NumberedText("line ", 1, 8);
  const std::vector<std::string> selected = LinesOfSelection(SplitPrintLines(text), {2, 3}, {4, 1});
  for (const bool asked : {true, false}) {
    ReportPrintout printout(ReportJobName(), text, ViewerSettings{});
    printout.OfferSelection(selected, [asked] { return asked; });
    ASSERT_TRUE(PrintToPostScript(printout, file_));
    const PrintedPages pages = Printed();
    ASSERT_EQ(pages.size(), 1u);
    std::vector<std::string> printed;
    for (const PrintedLine& line : pages[0]) printed.push_back(line.text);
    if (asked)
      EXPECT_EQ(printed, (std::vector<std::string>{"line 3", "line 4", "line 5", "Page 1 of 1"}));
    else
      EXPECT_EQ(printed.size(), 9u) << "the whole text and the page number";
  }
}

TEST_F(ReportPrintoutTest, AFileThatCannotBeWrittenIsAFailure) {
  EXPECT_FALSE(PrintReportToFile("line\n", ViewerSettings{}, folder_ / "no" / "such" / "folder" / "report.ps"));
  EXPECT_FALSE(std::filesystem::exists(folder_ / "no"));
}

}  // namespace
}  // namespace pelikon
