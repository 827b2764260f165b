// geoidtool as a user runs it: help, a download that lands, one that fails
// and wrong arguments; a sub-grid cut from a model fetched from the server
// or imported from the system's EGM96, the dialog's refusals, the
// catalogue's choice.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/local_http_server.h"
#include "support/temp_dir.h"
#include "support/test_files.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::Contents;
using testing::HttpBehaviour;
using testing::LocalHttpServer;
using testing::TempDir;
using testing::ToolRun;

class GeoidTool : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& arguments) { return testing::RunTool(work_, "geoidtool", arguments); }
  LocalHttpServer server_;
  TempDir work_;
  TempDir files_;
};

TEST_F(GeoidTool, DownloadsAndPrintsWhereTheFileWent) {
  const std::string grid = testing::RandomBytes(40 * 1024, 3);
  server_.Script("/GeoidGrids/g.grd", HttpBehaviour::kServe, grid);
  const std::string destination = files_.Write("g.grd", "old").string();

  ToolRun run = Run({"download", server_.Url("/GeoidGrids/g.grd"), destination});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, destination + "\n");
  EXPECT_EQ(Contents(destination), grid);

  run = Run({"download", "--rand", "12", server_.Url("/GeoidGrids/g.grd"), destination});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(server_.RequestLines(),
            (std::vector<std::string>{"GET /GeoidGrids/g.grd HTTP/1.1", "GET /GeoidGrids/g.grd?rand=12 HTTP/1.1"}));

  run = Run({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: geoidtool download URL DEST [--rand N]\n", 0), 0u) << run.out;
}

TEST_F(GeoidTool, FailuresSayWhyAndLeaveTheFileAlone) {
  const std::string destination = files_.Write("g.grd", "old").string();
  const std::string missing = server_.Url("/GeoidGrids/missing.grd");
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{"download", missing, destination}, 1, "cannot download " + missing + " into " + destination},
      {{"download", "nowhere", destination}, 1, "The URL is invalid."},
      {{}, 2, "no command given"},
      {{"fetch", missing, destination}, 2, "unknown command \"fetch\""},
      {{"download", missing}, 2, "download: URL and DEST are needed"},
      {{"download", missing, destination, "extra"}, 2, "download: unexpected argument \"extra\""},
      {{"download", "--rand", "x", missing, destination}, 2, "--rand takes a whole number"},
      {{"download", "--fast", missing, destination}, 2, "download: unknown option --fast"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("geoidtool: " + c.message, 0), 0u) << run.err;
  }
  EXPECT_EQ(Contents(destination), "old");
  EXPECT_EQ(testing::EntryNames(files_.Path()), (std::set<std::string>{"g.grd"}));
}

// The head of a 2-degree sub-grid around 45 N, 93 W cut from a 15' model:
// one node inside each edge of the box 44-46 N, 266-268 E.
const std::string kBoxLines = "44.2500\r\n266.2500\r\n45.7500\r\n267.7500\r\n6.0\r\n6.0\r\n";

// A 15' model from 40 N to 50 N and 260 E to 275 E.
std::string SmallModel() {
  std::string text = "40\n260\n50\n275\n60\n40\n";
  for (int node = 0; node < 61 * 41; ++node) text += std::to_string(node % 97) + ".5\n";
  return text;
}

TEST_F(GeoidTool, SubgridFetchesAMissingModelAndWritesTheSevenBySevenGrid) {
  server_.Script("/GeoidGrids/egm96.grd", HttpBehaviour::kServe, SmallModel());
  const std::string folder = files_.Path().string();
  ToolRun run = Run({"subgrid", folder, "45.0000", "N", "93.0000", "W", "2.0", "deg", "site.1", "--model", "5",
                     "--server", server_.Url("")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, (files_ / "site.gsf").string() + "\n");
  const std::string text = Contents(files_ / "site.gsf");
  EXPECT_EQ(text.substr(0, kBoxLines.size()), kBoxLines);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6 + 49);

  run = Run({"subgrid", folder, "45", "N", "93", "W", "49.9", "miles", "site", "--model", "5"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "geoidtool: Error: Supported size in miles is 50 to 400.\n");
  run = Run({"subgrid", folder, "45", "N", "93", "W", "2", "deg", "", "--model", "5"});
  EXPECT_EQ(run.err, "geoidtool: Error: Please Enter Geoid Grid Name.\n");
  run = Run({"subgrid", folder, "45", "X", "93", "W", "2", "deg", "site"});
  EXPECT_EQ(run.status, 2);

  run = Run({"resolve", "6", folder, "0", "267"});
  EXPECT_EQ(run.out, (files_ / "egm08n.grd").string() + "\n") << "latitude 0 takes the northern file";
  run = Run({"resolve", "46", folder, "45", "267"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "geoidtool: Error: unable to find geoid model\n");
}

// Debian's EGM96 (proj-data) imported, then cut around 45 N, 93 W.
TEST_F(GeoidTool, ImportThenSubgridGivesTheSevenBySevenBoxOfEgm96) {
  const std::filesystem::path egm96 = "/usr/share/proj/egm96_15.gtx";
  if (!std::filesystem::exists(egm96)) GTEST_SKIP() << "no EGM96 in PROJ's data on this system";
  ToolRun run = Run({"import", egm96.string(), (files_ / "egm96.grd").string()});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, (files_ / "egm96.grd").string() + ": 1441 x 721 nodes\n");
  run = Run({"subgrid", files_.Path().string(), "45.0000", "N", "93.0000", "W", "2.0", "deg", "job", "--model", "5"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::string text = Contents(files_ / "job.gsf");
  EXPECT_EQ(text.substr(0, kBoxLines.size()), kBoxLines);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 6 + 49);
}

}  // namespace
}  // namespace pelikon
