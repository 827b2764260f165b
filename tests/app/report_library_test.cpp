// Binding the report library by name: what the program hands over and in
// which order, and what it says when the library is missing, out of date
// or incomplete — once per run. Stand-in libraries log every call.
#include "app/report/report_library.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "app/merge/merge_points.h"
#include "platform/trace.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

class ReportLibraryTest : public ::testing::Test {
 protected:
  ReportLibraryTest() { ::setenv("PELIKON_TEST_REPORT_LOG", (temp_ / "calls.txt").c_str(), 1); }
  ~ReportLibraryTest() override { ::unsetenv("PELIKON_TEST_REPORT_LOG"); }

  std::unique_ptr<ReportLibrary> Library(const char* folder) {
    return std::make_unique<ReportLibrary>(ui_, fs::path(PELIKON_BUILD_DIR) / folder, temp_ / "data", temp_ / "tmp");
  }
  std::vector<std::string> Calls() const {
    std::vector<std::string> lines;
    std::istringstream in(testing::Contents(temp_ / "calls.txt"));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  testing::TempDir temp_;
  testing::ScriptedUi ui_;
};

TEST_F(ReportLibraryTest, AReportGoesOverInTheLibrarysOrder) {
  temp_.Write("data/gis_links.xml", "stale export");
  temp_.Write("data/formats.dta", "kept");
  auto report = Library("test-lib-report");
  const TraceCapture trace;
  ASSERT_TRUE(report->StartReport("Coordinate Merge Report"));
  EXPECT_EQ(report->Revision(), "1.94");
  report->StartEntry();
  report->AddReal("NORTH", "Northing", 1000.0);
  report->AddString("STATUS", "Status", "Conflict");
  report->FinishEntry();
  ASSERT_TRUE(report->Finish("CRDMERGE"));

  const std::string data = (temp_ / "data").string() + "/";
  const std::string tmp = (temp_ / "tmp").string() + "/";
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "ReportVersionCheck",
                         "SetVarsPtr '" + data + "' '" + tmp + "'",
                         "StartReport 'Coordinate Merge Report'",
                         "StartEntry",
                         "AddDoubleToken 'NORTH' 'Northing' 1000.000 3 '' 1",
                         "AddStringToken 'STATUS' 'Status' 'Conflict' '' 1",
                         "FinishEntry",
                         "SetVars '" + data + "' '" + tmp + "' '' '' ''",
                         "FinishReport 'CRDMERGE' 0 ''",
                     }));
  EXPECT_FALSE(fs::exists(temp_ / "data/gis_links.xml")) << "an earlier export is not taken for this report's";
  EXPECT_TRUE(fs::exists(temp_ / "data/formats.dta"));
  EXPECT_TRUE(ui_.Shown().empty());
  EXPECT_NE(trace.Text().find("report library: Evaluation X failed."), std::string::npos)
      << "the library's diagnostics reach the program's trace: " << trace.Text();
}

TEST_F(ReportLibraryTest, AMissingOrIncompleteLibraryIsToldOncePerRun) {
  struct Case {
    const char* folder;
    const char* message;
  };
  for (const Case& c : {Case{"no-such-folder", "Failed to load report library DLL"},
                        Case{"test-lib-report-partial", "Failed to load report library DLL"},
                        Case{"test-lib-report-old", "ERROR: QUORVEL.DLL out of date"}}) {
    SCOPED_TRACE(c.folder);
    testing::ScriptedUi ui;
    ReportLibrary report(ui, fs::path(PELIKON_BUILD_DIR) / c.folder, temp_ / "data", temp_ / "tmp");
    EXPECT_FALSE(report.StartReport("Coordinate Merge Report"));
    EXPECT_FALSE(report.StartEntry());
    EXPECT_FALSE(report.AddReal("NORTH", "Northing", 1.0));
    EXPECT_FALSE(report.Finish("CRDMERGE"));
    EXPECT_EQ(ui.Shown(), std::vector<std::string>{std::string("box: ") + c.message});
  }
  for (const std::string& call : Calls()) EXPECT_EQ(call.find("StartReport"), std::string::npos) << call;
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

TEST_F(ReportLibraryTest, AMergeReportPairsThePointsAndFinishesUnderCrdMerge) {
  const MergeSession session({CrdPoint("10", 1, 2, 3, "FIELD")},
                             {CrdPoint("9", 5, 5, 5, "A"), CrdPoint("10", 1, 2, 3, "B")}, false, true);
  auto report = Library("test-lib-report");
  ASSERT_TRUE(SendMergeReport(session, *report));
  const std::vector<std::string> calls = Calls();
  ASSERT_GE(calls.size(), 4u);
  EXPECT_EQ(calls[2], "StartReport 'Coordinate Merge Report'");
  EXPECT_EQ(calls.back(), "FinishReport 'CRDMERGE' 0 ''");
  // Entry of 10: the target's tokens, then the source's, in one entry.
  const auto at = std::find(calls.begin(), calls.end(), "AddStringToken 'PTNUM' 'Point #' '10' '' 1");
  ASSERT_NE(at, calls.end()) << ::testing::PrintToString(calls);
  EXPECT_NE(std::find(at, calls.end(), "AddStringToken 'START_PTNUM' 'Start Point #' '10' '' 1"), calls.end());
  EXPECT_NE(std::find(at, calls.end(), "AddDoubleToken 'NEW_NORTH' 'New Northing' 1.000 3 '' 1"), calls.end());
  EXPECT_NE(std::find(at, calls.end(), "AddStringToken 'STATUS' 'Status' 'Conflict' '' 1"), calls.end());
}

}  // namespace
}  // namespace pelikon

namespace pelikon {
namespace {

// The real library, without windows: the report is laid out as text in
// the data folder, every field of the report in its order.
TEST_F(ReportLibraryTest, TheRealLibraryWritesTheMergeReportAsText) {
  const MergeSession session({CrdPoint("10", 1, 2, 3, "FIELD")},
                             {CrdPoint("9", 5, 5, 5, "A"), CrdPoint("10", 1, 2, 3, "B")}, false, true);
  fs::create_directories(temp_ / "data");
  auto report = Library("bin");
  ASSERT_TRUE(SendMergeReport(session, *report)) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(report->Revision(), "1.94");
  const std::string text = testing::Contents(temp_ / "data" / "tobrrprt.tmp");
  ASSERT_EQ(text.rfind("Coordinate Merge Report\n\n", 0), 0u) << text;
  std::istringstream lines(text);
  std::string line;
  std::vector<std::string> rows;
  while (std::getline(lines, line)) rows.push_back(line);
  ASSERT_GE(rows.size(), 5u) << text;
  // Headings in the order the program added the fields, then one line per point.
  EXPECT_EQ(rows[2].find("Point #"), 0u) << text;
  EXPECT_LT(rows[2].find("Northing"), rows[2].find("New Northing")) << text;
  EXPECT_NE(rows[2].find("Action"), std::string::npos) << text;
  EXPECT_EQ(std::count_if(rows.begin(), rows.end(),
                          [](const std::string& row) { return row.find("Conflict") != std::string::npos; }),
            1)
      << text;
  EXPECT_TRUE(ui_.Shown().empty());
}

}  // namespace
}  // namespace pelikon
