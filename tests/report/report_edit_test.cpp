// The report from its table: rows ordered by a column, and values typed
// into a cell going back into the report's entries.
#include "report/report_edit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "report/report_fields.h"
#include "report/text_report.h"
#include "support/report_tokens.h"

namespace pelikon {
namespace {

class ReportEditTest : public ::testing::Test {
 protected:
  // POINT (real, no decimals, averaged by WEIGHT), DESC (text); the third
  // entry has no DESC.
  ReportEditTest() {
    const std::vector<std::pair<double, const char*>> rows = {{10, "a10"}, {9, "A9"}, {11, nullptr}};
    for (const auto& [point, desc] : rows) {
      report_.StartEntry();
      report_.AddToken(testing::RealToken("POINT", "Point", point, 0));
      if (desc != nullptr) {
        TokenValue text = testing::TextToken("DESC", "Description", desc, "WEIGHT");
        text.places = 4;
        text.is_sorted = 3;
        report_.AddToken(text);
      }
    }
    report_.FinishEntry();
  }

  ReportTable Table(bool include_text = false) const {
    TextReportInput input;
    input.report = &report_;
    FieldLists lists(CollectReportFields(report_.First()));
    lists.ApplyFormat({{"POINT", SortMode::kIgnore}, {"DESC", SortMode::kIgnore}});
    input.used = lists.Used();
    return BuildReportTable(input, include_text, false);
  }

  // "point|desc" per row, "-" for a missing cell.
  static std::vector<std::string> Rows(const ReportTable& table, const std::vector<size_t>& order) {
    std::vector<std::string> rows;
    for (const size_t index : order) {
      const ReportTableRow& row = table.rows[index];
      std::string line = row.cells[0].present ? std::to_string(static_cast<int>(row.cells[0].number)) : "-";
      line += "|" + (row.cells[1].present ? row.cells[1].text : "-");
      rows.push_back(line);
    }
    return rows;
  }

  Report report_{"Edits"};
};

TEST_F(ReportEditTest, RowsSortByNumberOrNaturalTextAndTurnRound) {
  const ReportTable table = Table();
  EXPECT_EQ(Rows(table, SortedTableRows(table, 0, true)), (std::vector<std::string>{"9|A9", "10|a10", "11|-"}));
  EXPECT_EQ(Rows(table, SortedTableRows(table, 0, false)), (std::vector<std::string>{"11|-", "10|a10", "9|A9"}));
  EXPECT_EQ(Rows(table, SortedTableRows(table, 1, true)), (std::vector<std::string>{"11|-", "9|A9", "10|a10"}))
      << "missing first, then 9 before 10 whatever the case";

  ReportTable odd;
  odd.columns = {{"N", "", true, 0}};
  for (const double n : {2.0, std::nan(""), 1.0})
    odd.rows.push_back({ReportTableRowKind::kData, {}, {ReportTableCell{true, true, n, {}}}, nullptr});
  EXPECT_EQ(SortedTableRows(odd, 0, true), (std::vector<size_t>{1, 2, 0})) << "a number that is none goes first";

  report_.AddTextEntry("closing line");
  const ReportTable with_text = Table(true);
  EXPECT_FALSE(TableRowsSortable(with_text));
  EXPECT_EQ(SortedTableRows(with_text, 0, false), (std::vector<size_t>{0, 1, 2, 3})) << "text lines keep the order";
}

TEST_F(ReportEditTest, TypedValuesGoToTheEntrysTokens) {
  ReportTable table = Table();
  const ReportNode* first = table.rows[0].entry;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(SetReportValue(report_, first, table.columns[0], " 12.5 "), ReportEditResult::kChanged);
  EXPECT_EQ(FindToken(first->tokens, "POINT")->real, 12.5);
  EXPECT_EQ(FindToken(first->tokens, "POINT")->places, 0) << "the token keeps its places";
  for (const char* refused : {"abc", "", "12x", "nan"}) {
    EXPECT_EQ(SetReportValue(report_, first, table.columns[0], refused), ReportEditResult::kNotANumber) << refused;
    EXPECT_EQ(FindToken(first->tokens, "POINT")->real, 12.5) << refused;
  }
  EXPECT_EQ(SetReportValue(report_, first, table.columns[1], "fence post, long text"), ReportEditResult::kChanged);
  EXPECT_STREQ(FindToken(first->tokens, "DESC")->text, "fence post, long text");

  // The third entry has no DESC: it gets one like the others'.
  const ReportNode* third = table.rows[2].entry;
  EXPECT_EQ(SetReportValue(report_, third, table.columns[1], "new"), ReportEditResult::kChanged);
  const ReportToken* added = FindToken(third->tokens, "DESC");
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->type, kReportString);
  EXPECT_STREQ(added->text, "new");
  EXPECT_STREQ(added->note, "Description");
  EXPECT_EQ(added->places, 4);
  EXPECT_STREQ(added->averkey, "WEIGHT");
  EXPECT_EQ(added->is_sorted, 3);

  const ReportTable rebuilt = Table();
  EXPECT_EQ(Rows(rebuilt, {0, 1, 2}), (std::vector<std::string>{"12|fence post, long text", "9|A9", "11|new"}));
}

TEST_F(ReportEditTest, OnlyDataEntriesOfTheReportTakeValues) {
  const ReportTable table = Table();
  Report other("Other");
  EXPECT_EQ(SetReportValue(other, table.rows[0].entry, table.columns[0], "1"), ReportEditResult::kNotAnEntry);
  EXPECT_EQ(SetReportValue(report_, nullptr, table.columns[0], "1"), ReportEditResult::kNotAnEntry);
  report_.AddTextEntry("a line");
  const ReportNode* line = report_.First();
  while (line->kind != kReportTextEntry) line = line->next;
  EXPECT_EQ(SetReportValue(report_, line, table.columns[0], "1"), ReportEditResult::kNotAnEntry);
}

}  // namespace
}  // namespace pelikon
