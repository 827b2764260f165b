// reporttool as a surveyor runs it: a points table turned into a grouped,
// totalled report, formats kept for later, saved reports shown again, one
// equation evaluated, and how it fails.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_files.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::ToolRun;

class ReportTool : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& arguments) { return testing::RunTool(work_, "reporttool", arguments); }
  std::string Table() {
    return files_
        .Write("points.csv",
               "PTNUM,ELEV,DESC,GROUP\n#Point,Elevation,Description,Group\n"
               "3,10.25,\"Iron pin, found\",B\n1,5.5,Nail,A\r\n2,7,Nail,A\n")
        .string();
  }
  testing::TempDir work_;
  testing::TempDir files_;
  const std::string grouped_ =
      "Control\n\n"
      "Group: A\n\n"
      "Point Elevation Description     \n"
      "    1      5.50 Nail            \n"
      "    2      7.00 Nail            \n"
      "---- Total for Group: A ----\n"
      "    3     12.50 " +
      std::string(16, ' ') +
      "\n\n"
      "Group: B\n\n"
      "Point Elevation Description     \n"
      "    3     10.25 Iron pin, found \n"
      "---- Grand Total --------------------------------------\n"
      "    6     22.75 " +
      std::string(16, ' ') + "\n\n";
};

TEST_F(ReportTool, PrintsAGroupedTotalledReportAndKeepsItsFormatAndReport) {
  const std::string data = files_.Path().string();
  const std::string saved = (files_ / "control.rpt").string();
  ToolRun run = Run({"--data", data, "--title", "Control", "--used", "GROUP|PTNUM|ELEV|DESC", "--totals-depth", "1",
                     "--save-format", "BYGROUP", "--save", saved, Table()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, grouped_);
  EXPECT_EQ(testing::Contents(files_ / "tobrrprt.tmp"), grouped_);
  EXPECT_EQ(testing::Contents(files_ / "formats.dta"), "BYGROUP\nGROUP|PTNUM|ELEV|DESC\n1 0 20 0 1 0 1 ' ' 0 0 0 0\n");

  // The same layout again by the format's name, and by the last one used.
  run = Run({"--data", data, "--title", "Control", "--format", "bygroup", Table()});
  EXPECT_EQ(run.out, grouped_) << run.err;
  run = Run({"--data", data, "--title", "Control", Table()});
  EXPECT_EQ(run.out, grouped_) << run.err;
  // The saved report shows the same report without the table.
  run = Run({"--data", data, "--load", saved});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, grouped_);

  // Without a format: every column in its order, one line per point.
  testing::TempDir fresh;
  run = Run({"--data", fresh.Path().string(), "--lines", Table()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out.rfind("points.csv\n\nPoint       " + std::string(19, ' ') + "1\n", 0), 0u) << run.out;
}

TEST_F(ReportTool, SendsTheReportAsATable) {
  const std::string data = files_.Path().string();
  ToolRun run = Run({"--data", data, "--used", "GROUP|PTNUM|ELEV", "--totals-depth", "1", "--include-totals",
                     "--export", "csv", Table()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "Group,Point,Elevation\r\nA,1,5.50\r\nA,2,7.00\r\nTotal for Group: A,3,12.50\r\nB,3,10.25\r\n"
            "Grand Total,6,22.75\r\n");
  const std::string xml = (files_ / "points.xml").string();
  run = Run({"--data", data, "--export", "xml", "--output", xml, Table()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(testing::Contents(xml).find("<value name=\"DESC\" type=\"text\" value=\"Iron pin, found\">"),
            std::string::npos)
      << testing::Contents(xml);
  // A workbook: new, then placed into another sheet of it; a file that is
  // no workbook is refused and kept.
  const std::string book = (files_ / "points.xlsx").string();
  run = Run({"--data", data, "--xlsx", book, Table()});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(testing::Contents(book).substr(0, 2), "PK");
  run = Run({"--data", data, "--xlsx", book, "--sheet", "Levels", "--row", "3", "--col", "2", Table()});
  EXPECT_EQ(run.status, 0) << run.err;
  // The workbook's list of sheets, read by the system's Python.
  const std::string sheets = (files_ / "sheets.txt").string();
  ASSERT_EQ(std::system(("/usr/bin/python3 -c \"import sys, zipfile; print(zipfile.ZipFile(sys.argv[1]).read("
                         "'xl/workbook.xml').decode())\" '" +
                         book + "' > '" + sheets + "'")
                            .c_str()),
            0);
  EXPECT_NE(testing::Contents(sheets).find("name=\"Levels\""), std::string::npos) << testing::Contents(sheets);
  const std::string not_a_book = files_.Write("notes.xlsx", "just text").string();
  run = Run({"--data", data, "--xlsx", not_a_book, Table()});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Unable to open specified spreadsheet file"), std::string::npos) << run.err;
  EXPECT_EQ(testing::Contents(not_a_book), "just text");
  EXPECT_NE(Run({"--data", data, "--export", "sqlite", Table()}).err.find("--export sqlite needs --output FILE"),
            std::string::npos);
  EXPECT_EQ(Run({"--export", "dbase", Table()}).status, 2);
}

TEST_F(ReportTool, EvaluatesOneEquation) {
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string out;
  };
  const std::vector<Case> cases = {
      {{"--eval", "2+3*4"}, 0, "14.00000000000000\n"},
      {{"--eval", "(H-1)*2", "--var", "H=2.5"}, 0, "3.00000000000000\n"},
      {{"--eval", "A+1", "--var",
        "A=12\xB0"
        "30'36"},
       0,
       "13.51000000000000\n"},
      {{"--eval", "8/0"}, 1, ""},
      {{"--eval", "X+1"}, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.arguments[1]);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    EXPECT_EQ(run.out, c.out);
    if (c.status != 0) {
      EXPECT_NE(run.err.find("reporttool: the equation has no value"), std::string::npos) << run.err;
    }
  }
  EXPECT_NE(Run({"--eval", "X+1"}).err.find("Attribute 'X' has no real value"), std::string::npos);
}

TEST_F(ReportTool, FailuresSayWhy) {
  const std::string table = Table();
  const std::string data = files_.Path().string();
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{}, 2, "give one table, or --load FILE.rpt"},
      {{"--totals-depth", "5", table}, 2, "--totals-depth"},
      {{"--var", "novalue", "--eval", "1"}, 2, "--var needs KEY=VALUE, not novalue"},
      {{"--data", data, "--used", "GROUP|NOSUCH", table}, 1, "the report has no field NOSUCH"},
      {{"--data", data, "--format", "MISSING", table}, 1, "no format MISSING in " + data},
      {{"--data", data, "--load", table}, 1, table + " is no saved report"},
      {{data + "/gone.csv"}, 1, "cannot read " + data + "/gone.csv"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace pelikon
