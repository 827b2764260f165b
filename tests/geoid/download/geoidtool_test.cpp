// geoidtool as a user runs it: help, a download that lands, one that fails
// and wrong arguments.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace pelikon
