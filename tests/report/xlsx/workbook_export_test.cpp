// The spreadsheet exports read back with an independent reader: values,
// number formats, headings and the optional lines of a new workbook, the
// mirrored layout and its limit, and a report placed into an existing
// workbook with everything around it kept, or refused leaving it as it was.
#include "report/xlsx/workbook_export.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::Contents;

ReportTableCell Real(double number) {
  return {true, true, number, {}};
}
ReportTableCell Text(const char* text) {
  return {true, false, 0, text};
}
ReportTableCell Absent() {
  return {};
}

// Point (no decimals), Elev (three), Desc (text): two points of one group,
// a text line and the group's total.
ReportTable SampleTable() {
  ReportTable table;
  table.title = "Sample";
  table.columns = {{"PTNUM", "Point", true, 0}, {"ELEV", "Elev", true, 3}, {"DESC", "", false, 3}};
  table.rows = {
      {ReportTableRowKind::kData, {}, {Real(101), Real(12.5), Text("fence & post")}},
      {ReportTableRowKind::kText, "-- checked --", {}},
      {ReportTableRowKind::kData, {}, {Real(102), Real(0.1256), Absent()}},
      {ReportTableRowKind::kTotal, "Grand Total", {Absent(), Real(12.6256), Absent()}},
  };
  return table;
}

class WorkbookExportTest : public ::testing::Test {
 protected:
  std::string Probe(const std::string& arguments) {
    const std::filesystem::path out = dir_ / "probe.txt";
    const std::string command =
        std::string(PELIKON_PYTHON) + " " + PELIKON_XLSX_PROBE + " " + arguments + " > '" + out.string() + "' 2>&1";
    const int status = std::system(command.c_str());
    const std::string output = Contents(out);
    EXPECT_EQ(status, 0) << output;
    return output;
  }
  std::string Dump(const std::filesystem::path& file) { return Probe("dump '" + file.string() + "'"); }
  std::filesystem::path MakeExisting(const char* option = "") {
    const std::filesystem::path file = dir_ / "existing.xlsx";
    Probe("make '" + file.string() + "' " + option);
    return file;
  }

  testing::TempDir dir_;
  const std::filesystem::path target_ = dir_ / "report.xlsx";
};

TEST_F(WorkbookExportTest, NewWorkbookHoldsNumbersWithTheirPlacesUnderHeadings) {
  const WorkbookExportResult result = ExportNewWorkbook(SampleTable(), target_, {});
  ASSERT_TRUE(result.ok) << result.message;
  EXPECT_EQ(Dump(target_),
            "[Report]\n"
            "A1='Point'\nB1='Elev'\nC1='DESC'\n"
            "A2=101 0\nB2=12.5 0.000\nC2='fence & post'\n"
            "A3=102 0\nB3=0.1256 0.000\n");
  EXPECT_FALSE(std::filesystem::exists(dir_ / "report.xlsx.new"));
}

TEST_F(WorkbookExportTest, TextLinesAndTotalsAreWrittenOnlyWhenAsked) {
  struct Case {
    int row, column;
    bool mirror;
    const char* expected;
  };
  const Case cases[] = {
      // At column 1 the caption takes the total's empty first cell; ":" cannot be in a sheet name.
      {1, 1, false,
       "[Sheet_A]\nA1='Point'\nB1='Elev'\nC1='DESC'\nA2=101 0\nB2=12.5 0.000\nC2='fence & post'\n"
       "A3='-- checked --'\nA4=102 0\nB4=0.1256 0.000\nA5='Grand Total'\nB5=12.6256 0.000\n"},
      // Further right it stands left of the block.
      {3, 2, false,
       "[Sheet_A]\nB3='Point'\nC3='Elev'\nD3='DESC'\nB4=101 0\nC4=12.5 0.000\nD4='fence & post'\n"
       "B5='-- checked --'\nB6=102 0\nC6=0.1256 0.000\nA7='Grand Total'\nC7=12.6256 0.000\n"},
      // Mirrored: the headings run down, each line is a column, the caption above.
      {2, 1, true,
       "[Sheet_A]\nE1='Grand Total'\nA2='Point'\nB2=101 0\nC2='-- checked --'\nD2=102 0\n"
       "A3='Elev'\nB3=12.5 0.000\nD3=0.1256 0.000\nE3=12.6256 0.000\nA4='DESC'\nB4='fence & post'\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expected);
    const WorkbookExportResult result =
        ExportNewWorkbook(SampleTable(), target_, {"Sheet:A", c.row, c.column, c.mirror, true, true});
    ASSERT_TRUE(result.ok) << result.message;
    EXPECT_EQ(Dump(target_), c.expected);
  }
}

TEST_F(WorkbookExportTest, MirrorBeyondTheLastColumnIsRefusedAndWritesNothing) {
  ReportTable table;
  table.columns = {{"PTNUM", "Point", true, 0}};
  table.rows.resize(16383, {ReportTableRowKind::kData, {}, {Real(1)}});
  // The headings and 16,383 lines fill every column exactly.
  ASSERT_TRUE(ExportNewWorkbook(table, target_, {"", 1, 1, true}).ok);
  const std::string before = Contents(target_);
  for (const int column : {2, 20000}) {
    const WorkbookExportResult result = ExportNewWorkbook(table, target_, {"", 1, column, true});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, "Too many lines of data for mirror output.");
  }
  table.rows.emplace_back(table.rows.front());
  const std::filesystem::path existing = MakeExisting();
  const std::string existing_before = Contents(existing);
  EXPECT_EQ(PlaceIntoWorkbook(table, existing, {"Data", 1, 1, true}).message,
            "Too many lines of data for mirror output.");
  EXPECT_EQ(Contents(target_), before);
  EXPECT_EQ(Contents(existing), existing_before);
}

TEST_F(WorkbookExportTest, PlacedReportReplacesOnlyItsBlockAndKeepsTheOtherSheet) {
  const std::filesystem::path existing = MakeExisting();
  const WorkbookExportResult result = PlaceIntoWorkbook(SampleTable(), existing, {"data", 2, 2, false, true, false});
  ASSERT_TRUE(result.ok) << result.message;
  // The block is B2:D5; the total's caption goes to A5. B3 keeps its format.
  EXPECT_EQ(Dump(existing),
            "[Data]\nA1='keep A1'\n"
            "B2='Point'\nC2='Elev'\nD2='DESC'\nF2='right of block'\n"
            "B3=101 0.0\nC3=12.5 General\nD3='fence & post'\n"
            "B4=102 General\nC4=0.1256 General\n"
            "A5='Grand Total'\nC5=12.6256 General\n"
            "B9='below'\n"
            "[Other]\nA1='other'\nB2=42 General\n");
}

TEST_F(WorkbookExportTest, SheetWithNamespacePrefixGetsCellsOfTheSamePrefix) {
  const std::filesystem::path existing = MakeExisting("prefixed");
  ASSERT_TRUE(PlaceIntoWorkbook(SampleTable(), existing, {"Other", 3, 1}).ok);
  const std::string dump = Dump(existing);
  EXPECT_NE(dump.find("[Other]\nA1='other'\nB2=42 General\nA3='Point'\nB3='Elev'\nC3='DESC'\nA4=101 General\n"),
            std::string::npos)
      << dump;
}

TEST_F(WorkbookExportTest, ReplacedFormulaTakesTheCalculationChainAlong) {
  const std::filesystem::path existing = MakeExisting("formula");
  const std::string parts = Probe("parts '" + existing.string() + "'");
  ASSERT_NE(parts.find("xl/calcChain.xml"), std::string::npos);
  // Placed beside the formula, the chain stays; over it, the chain goes.
  ASSERT_TRUE(PlaceIntoWorkbook(SampleTable(), existing, {"Data", 5, 1}).ok);
  EXPECT_EQ(Probe("parts '" + existing.string() + "'"), parts);
  EXPECT_NE(Dump(existing).find("D3='=B3*2'"), std::string::npos);
  ASSERT_TRUE(PlaceIntoWorkbook(SampleTable(), existing, {"Data", 2, 2}).ok);
  std::string without_chain = parts;
  without_chain.erase(without_chain.find("xl/calcChain.xml\n"), 17);
  EXPECT_EQ(Probe("parts '" + existing.string() + "'"), without_chain);
  const std::string dump = Dump(existing);
  EXPECT_EQ(dump.find("=B3*2"), std::string::npos);
  EXPECT_NE(dump.find("D3='fence & post'"), std::string::npos);
}

TEST_F(WorkbookExportTest, UnknownSheetNameAddsASheet) {
  const std::filesystem::path existing = MakeExisting();
  const std::string before = Dump(existing);
  ASSERT_TRUE(PlaceIntoWorkbook(SampleTable(), existing, {"Fresh", 1, 1}).ok);
  EXPECT_EQ(Dump(existing), before +
                                "[Fresh]\nA1='Point'\nB1='Elev'\nC1='DESC'\n"
                                "A2=101 General\nB2=12.5 General\nC2='fence & post'\n"
                                "A3=102 General\nB3=0.1256 General\n");
  // The added sheet is found by name the next time.
  ASSERT_TRUE(PlaceIntoWorkbook(SampleTable(), existing, {"FRESH", 3, 1}).ok);
  EXPECT_NE(Dump(existing).find("[Fresh]\nA1='Point'\nB1='Elev'\nC1='DESC'\nA2=101 General\nB2=12.5 General\n"
                                "C2='fence & post'\nA3='Point'\nB3='Elev'\n"),
            std::string::npos);
}

TEST_F(WorkbookExportTest, UnusableWorkbooksAreRefusedAndLeftAsTheyWere) {
  struct Case {
    const char* name;
    std::string content;  // empty: the file does not exist
    const char* sheet;
    const char* message;
  };
  const std::string protected_workbook = Contents(MakeExisting("protect"));
  const std::string broken_workbook = Contents(MakeExisting("broken"));
  const Case cases[] = {
      {"plain.xlsx", "just some text, no zip archive\n", "Data", "Unable to open specified spreadsheet file"},
      {"missing.xlsx", "", "Data", "Unable to open specified spreadsheet file"},
      {"broken.xlsx", broken_workbook, "Data", "Unable to open specified sheet file"},
      {"protected.xlsx", protected_workbook, "Data",
       "Excel Export: Requested sheet is protected. \nPlease unprotect under Tools->Protection."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::filesystem::path file = dir_ / c.name;
    if (!c.content.empty()) testing::TempDir::WriteFile(file, c.content);
    const WorkbookExportResult result = PlaceIntoWorkbook(SampleTable(), file, {c.sheet});
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.message, c.message);
    EXPECT_EQ(std::filesystem::exists(file), !c.content.empty());
    if (!c.content.empty()) {
      EXPECT_TRUE(Contents(file) == c.content);
    }
    EXPECT_FALSE(std::filesystem::exists(dir_ / (std::string(c.name) + ".new")));
  }
}

}  // namespace
}  // namespace pelikon
