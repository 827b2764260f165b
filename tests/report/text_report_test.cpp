// The text report laid out from the formatter's rules: sorting, groups
// with their headings and totals, the total options, both formats, and a
// report that goes through a saved file unchanged.
#include "report/text_report.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "report/report_file.h"
#include "report/report_sort.h"
#include "report/report_table.h"
#include "support/report_tokens.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

struct Row {
  const char* group;
  double point;
  double elevation;
};

class TextReportTest : public ::testing::Test {
 protected:
  // GROUP (text), PTNUM (no decimals), ELEV (two decimals).
  void Fill(const std::vector<Row>& rows) {
    for (const Row& row : rows) {
      report_.StartEntry();
      Add("GROUP", "Group", row.group);
      Add("PTNUM", "Point", row.point, 0);
      Add("ELEV", "Elev", row.elevation, 2);
      report_.FinishEntry();
    }
  }
  void Add(const char* key, const char* note, const char* text, const char* averkey = nullptr) {
    report_.AddToken(testing::TextToken(key, note, text, averkey));
  }
  void Add(const char* key, const char* note, double value, int places, const char* averkey = nullptr) {
    report_.AddToken(testing::RealToken(key, note, value, places, averkey));
  }
  std::string Text(const std::vector<FormatField>& used, const FormatOptions& options,
                   std::vector<UserAttribute> attributes = {}) {
    return TextOf(report_, used, options, std::move(attributes));
  }
  std::string TextOf(const Report& report, const std::vector<FormatField>& used, const FormatOptions& options,
                     std::vector<UserAttribute> attributes = {}) {
    FieldLists lists(CollectReportFields(report.First()));
    lists.ApplyFormat(used);
    TextReportInput input;
    input.report = &report;
    input.used = lists.Used();
    input.options = options;
    input.attributes = std::move(attributes);
    EXPECT_EQ(WriteTextReport(input, temp_ / "out.txt"), TextReportResult::kWritten);
    return testing::Contents(temp_ / "out.txt");
  }

  Report report_{"Points"};
  testing::TempDir temp_;
  const std::vector<FormatField> by_group_{{"GROUP", SortMode::kUp}, {"PTNUM", SortMode::kUp}, {"ELEV", SortMode::kUp}};
  const std::vector<Row> rows_{{"B", 2, 10.5}, {"A", 3, 1.25}, {"B", 1, 4}, {"A", 1, 2}};
};

TEST_F(TextReportTest, GroupsSortAndTotalUnderTheirHeadings) {
  Fill(rows_);
  FormatOptions options;
  options.totals_depth = 1;
  EXPECT_EQ(Text(by_group_, options),
            "Points\n\n"
            "Group: A\n\n"
            "Point Elev  \n"
            "    1  2.00 \n"
            "    3  1.25 \n"
            "---- Total for Group: A ----\n"
            "    4  3.25 \n\n"
            "Group: B\n\n"
            "Point Elev  \n"
            "    1  4.00 \n"
            "    2 10.50 \n"
            "---- Total for Group: B ----\n"
            "    3 14.50 \n\n"
            "---- Grand Total --------------------------------------\n"
            "    7 17.75 \n\n");
  options.totals_only = true;
  EXPECT_EQ(Text(by_group_, options),
            "Points\n\nGroup: A\n\nPoint Elev  \n    4  3.25 \n\n"
            "Group: B\n\nPoint Elev  \n    3 14.50 \n\n"
            "---- Grand Total --------------------------------------\n    7 17.75 \n\n");
  options.totals_depth = 0;
  EXPECT_EQ(Text(by_group_, options),
            "Points\n\nGroup Point Elev  \n"
            "---- Grand Total --------------------------------------\n" +
                std::string(10, ' ') + "7 17.75 \n\n");
}

TEST_F(TextReportTest, OptionsShapeTheLines) {
  Fill({{"A", 1200, 1234.5}, {"A", 3, 2}, {"B", 4, 7}});
  FormatOptions options;
  options.use_commas = true;
  options.ignore_repeats = true;
  options.fixed = true;
  options.width = 9;
  EXPECT_EQ(Text({{"GROUP", SortMode::kHold}, {"ELEV", SortMode::kDown}}, options),
            "Points\n\n"
            "Group     Elev      \n"
            "A" +
                std::string(10, ' ') + "1,234.50 \n" + std::string(15, ' ') +
                "2.00 \n"
                "B" +
                std::string(14, ' ') +
                "7.00 \n"
                "---- Grand Total --------------------------------------\n" +
                std::string(11, ' ') + "1,243.50 \n\n");
  options = FormatOptions{};
  options.columns = false;
  EXPECT_EQ(Text({{"GROUP", SortMode::kIgnore}, {"PTNUM", SortMode::kUp}}, options),
            "Points\n\n"
            "Group A\nPoint " +
                std::string(19, ' ') +
                "3\n\n"
                "Group B\nPoint " +
                std::string(19, ' ') +
                "4\n\n"
                "Group A\nPoint " +
                std::string(16, ' ') +
                "1200\n\n"
                "Grand Total:\nPoint " +
                std::string(16, ' ') + "1207\n\n");
}

TEST_F(TextReportTest, TotalOptionsSumAverageRecalculateOrLeaveOut) {
  for (const Row& row : std::vector<Row>{{"A", 1, 10}, {"A", 3, 20}}) {
    report_.StartEntry();
    Add("LEN", "Len", row.point, 1, "");        // no total
    Add("WEIGHT", "W", row.point, 1);           // summed
    Add("H", "H", row.elevation, 1, "WEIGHT");  // weighted by W
    Add("RATIO", "Ratio", row.elevation / row.point, 2, "__RECALC");
    report_.FinishEntry();
  }
  const std::vector<UserAttribute> attributes{{"RATIO", "Ratio", "H/WEIGHT", true, 2, "__RECALC"}};
  EXPECT_EQ(Text({{"LEN", SortMode::kUp}, {"WEIGHT", SortMode::kUp}, {"H", SortMode::kUp}, {"RATIO", SortMode::kUp}},
                 FormatOptions{}, attributes),
            "Points\n\n"
            "Len W   H    Ratio \n"
            "1.0 1.0 10.0 10.00 \n"
            "3.0 3.0 20.0  6.67 \n"
            "---- Grand Total --------------------------------------\n"
            "    4.0 17.5  4.38 \n\n");
}

TEST_F(TextReportTest, TextLinesBetweenEntriesKeepTheHostsOrder) {
  Fill({{"B", 2, 1}});
  report_.AddTextEntry("note");
  report_.StartEntry(true);  // as a merged report lands: after the text
  Add("GROUP", "Group", "A");
  report_.FinishEntry();
  const std::string text = Text({{"GROUP", SortMode::kUp}}, FormatOptions{});
  // Text fields have no totals, so no grand-total block either.
  EXPECT_EQ(text, "Points\n\nGroup \nB     \nnote\nA     \n");
}

TEST_F(TextReportTest, TheTableHoldsTheRowsAndTotalsOfTheTextReport) {
  Fill(rows_);
  report_.AddTextEntry("end of list");
  FieldLists lists(CollectReportFields(report_.First()));
  lists.ApplyFormat(by_group_);
  TextReportInput input;
  input.report = &report_;
  input.used = lists.Used();
  input.options.totals_depth = 1;
  const ReportTable table = BuildReportTable(input, true, true);
  EXPECT_EQ(table.title, "Points");
  ASSERT_EQ(table.columns.size(), 3u);
  EXPECT_FALSE(table.columns[0].real);
  EXPECT_TRUE(table.columns[2].real);
  EXPECT_EQ(table.columns[2].note, "Elev");
  std::vector<std::string> rows;
  for (const ReportTableRow& row : table.rows) {
    std::string line = row.text;
    for (const ReportTableCell& cell : row.cells)
      line += "|" + (!cell.present ? std::string("-")
                     : cell.real   ? FormatReportNumber(cell.number, 2, false)
                                   : cell.text);
    rows.push_back(line);
  }
  EXPECT_EQ(rows, (std::vector<std::string>{"|A|1.00|2.00", "|A|3.00|1.25", "Total for Group: A|-|4.00|3.25",
                                            "|B|1.00|4.00", "|B|2.00|10.50", "Total for Group: B|-|3.00|14.50",
                                            "Grand Total|-|7.00|17.75", "end of list"}));
  input.options.totals_only = true;
  EXPECT_EQ(BuildReportTable(input, false, false).rows.size(), 0u) << "totals only, and totals left out";
}

TEST(ReportSortTest, StringsCompareNaturallyAndAsDates) {
  EXPECT_LT(NaturalCompare("a9", "a10"), 0);
  EXPECT_EQ(NaturalCompare("Pt", "pT"), 0);
  EXPECT_GT(NaturalCompare("b", "a100"), 0);
  EXPECT_EQ(NaturalCompare("", ""), 0);
  int64_t date = 0;
  ASSERT_TRUE(ReadReportDate("12/31/99", date));
  EXPECT_EQ(date, 19991231);
  ASSERT_TRUE(ReadReportDate("1/2/3", date));
  EXPECT_EQ(date, 20030102);
  EXPECT_FALSE(ReadReportDate("13/1/2020", date));
  EXPECT_FALSE(ReadReportDate("1-2-3", date));

  Report report("Sort");
  for (const char* text : {"3/1/2020 late", "12/31/19 early", "P10", "P9", "X <B:2>", "X <1:2>"}) {
    report.StartEntry();
    TokenValue token;
    token.key = "K";
    token.text = text;
    report.AddToken(token);
  }
  std::vector<const ReportToken*> cells;
  std::vector<uint32_t> order;
  for (const ReportNode* node = report.First(); node != nullptr; node = node->next) {
    order.push_back(static_cast<uint32_t>(cells.size()));
    cells.push_back(node->tokens);
  }
  SortReportRows(order, cells, {SortMode::kUp});
  std::vector<std::string> sorted;
  for (uint32_t row : order) sorted.push_back(cells[row]->text);
  EXPECT_EQ(sorted, (std::vector<std::string>{"12/31/19 early", "3/1/2020 late", "P9", "P10", "X <B:2>", "X <1:2>"}));
}

TEST_F(TextReportTest, ASavedReportReadsBackToTheSameReport) {
  Fill(rows_);
  report_.AddTextEntry("end of list");
  FormatOptions options;
  options.totals_depth = 1;
  const std::string before = Text(by_group_, options);
  ASSERT_TRUE(SaveReportFile(report_, SavedReportTail{"BYGROUP", "SURVEY"}, temp_ / "saved.rpt"));

  std::string name;
  ASSERT_TRUE(ReadSavedReportName(temp_ / "saved.rpt", name));
  EXPECT_EQ(name, "Points");
  Report loaded(name);
  SavedReportTail tail;
  ASSERT_TRUE(ReadReportFile(temp_ / "saved.rpt", loaded, tail));
  EXPECT_EQ(tail.format_name, "BYGROUP");
  EXPECT_EQ(tail.section, "SURVEY");
  EXPECT_EQ(TextOf(loaded, by_group_, options), before);
  // Merged into a report, the saved entries come after its own.
  ASSERT_TRUE(ReadReportFile(temp_ / "saved.rpt", loaded, tail));
  size_t entries = 0;
  for (const ReportNode* node = loaded.First(); node != nullptr; node = node->next) entries += node->tokens != nullptr;
  EXPECT_EQ(entries, 2 * rows_.size());

  temp_.Write("not.rpt", "<?xml version=\"1.0\" ?>\n<veldra_xml version=\"1.0\">\n<table>\n</table>\n");
  EXPECT_FALSE(ReadReportFile(temp_ / "not.rpt", loaded, tail));
}

}  // namespace
}  // namespace pelikon
