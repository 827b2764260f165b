// Downloads from a local server that serves, fails, cuts off, stalls or
// never answers: a grid file lands at its destination only when it arrived
// whole, and nothing else ever replaces the file that was there.
#include "geoid/download/grid_download.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "geoid/download/grid_url.h"
#include "platform/atomic_file.h"
#include "platform/trace.h"
#include "support/local_http_server.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using namespace std::chrono_literals;
using testing::Contents;
using testing::HttpBehaviour;
using testing::LocalHttpServer;
using testing::TempDir;

constexpr std::chrono::milliseconds kShortLimit = 1s;
const std::string kOldGrid = "the grid that was there before";

class GridDownload : public ::testing::Test {
 protected:
  GridDownload() {
    destination_ = files_.Write("grids/g2012a.grd", kOldGrid);
    hooks_.show_message = [this](const std::string& text) { messages_.push_back(text); };
    hooks_.pump = [this] { ++pumps_; };
  }

  bool Download(const std::string& path, int random, std::chrono::milliseconds limit = kShortLimit) {
    return DownloadGridFile(server_.Url(path), destination_, random, hooks_, limit);
  }

  // Nothing half-done may remain: the old file as it was, no twin beside it.
  void ExpectUntouched() {
    EXPECT_EQ(Contents(destination_), kOldGrid);
    EXPECT_FALSE(std::filesystem::exists(TwinPath(destination_)));
  }

  LocalHttpServer server_;
  TempDir files_;
  std::filesystem::path destination_;
  DownloadHooks hooks_;
  std::vector<std::string> messages_;
  int pumps_ = 0;
};

TEST_F(GridDownload, EachServerBehaviourEndsAsItShould) {
  const std::string grid = testing::RandomBytes(300 * 1024, 7);
  struct Case {
    const char* what;
    HttpBehaviour behaviour;
    std::string body;
    bool lands;
    size_t requests;
  };
  const std::vector<Case> cases = {
      {"served with its length", HttpBehaviour::kServe, grid, true, 1},
      {"served to the end of the connection", HttpBehaviour::kServeUnsized, grid, true, 1},
      {"redirected to where it is", HttpBehaviour::kRedirect, "/elsewhere/g2012a.grd", true, 2},
      {"an error page", HttpBehaviour::kNotFound, "<html>no such grid</html>", false, 1},
      {"an empty file", HttpBehaviour::kServe, "", false, 1},
      {"a connection cut halfway", HttpBehaviour::kCutHalfway, grid, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    LocalHttpServer server;
    server.Script("/GeoidGrids/g2012a.grd", c.behaviour, c.body);
    server.Script("/elsewhere/g2012a.grd", HttpBehaviour::kServe, grid);
    TempDir::WriteFile(destination_, kOldGrid);
    pumps_ = 0;
    TraceCapture trace;
    const bool landed = DownloadGridFile(server.Url("/GeoidGrids/g2012a.grd"), destination_, 4711, hooks_, kShortLimit);
    EXPECT_EQ(landed, c.lands);
    if (c.lands) {
      EXPECT_EQ(Contents(destination_), grid);
      EXPECT_FALSE(std::filesystem::exists(TwinPath(destination_)));
    } else {
      ExpectUntouched();
      EXPECT_NE(trace.Text().find("Downloaded file not found"), std::string::npos);
    }
    // A transfer that ran is never repeated, whatever its end (hung ones
    // below).
    EXPECT_EQ(server.RequestLines().size(), c.requests);
    EXPECT_EQ(trace.Text().find("retrying"), std::string::npos);
    EXPECT_TRUE(messages_.empty());
    EXPECT_GE(pumps_, 1);
  }
}

TEST_F(GridDownload, HungTransfersAreStoppedWhileTheCallerKeepsPumping) {
  for (HttpBehaviour behaviour : {HttpBehaviour::kStallHalfway, HttpBehaviour::kNeverAnswer}) {
    server_.Script("/GeoidGrids/g2012a.grd", behaviour, std::string(64 * 1024, 'g'));
    pumps_ = 0;
    TraceCapture trace;
    EXPECT_FALSE(Download("/GeoidGrids/g2012a.grd", 1));
    EXPECT_NE(trace.Text().find("Stopping a download that received nothing for 1000 ms"), std::string::npos);
    // The caller waited in many steps, not in one blocking call.
    EXPECT_GT(pumps_, 5);
    EXPECT_EQ(trace.Text().find("retrying"), std::string::npos);
    ExpectUntouched();
  }
}

TEST_F(GridDownload, TheRandomNumberGoesIntoTheQueryUnlessItIsZero) {
  server_.Script("/GeoidGrids/g2012a.grd", HttpBehaviour::kServe, "grid");
  ASSERT_TRUE(Download("/GeoidGrids/g2012a.grd", 4711));
  ASSERT_TRUE(Download("/GeoidGrids/g2012a.grd", 0));
  EXPECT_EQ(server_.RequestLines(), (std::vector<std::string>{"GET /GeoidGrids/g2012a.grd?rand=4711 HTTP/1.1",
                                                              "GET /GeoidGrids/g2012a.grd HTTP/1.1"}));
  EXPECT_EQ(UrlWithRandom("http://h/x?a=1", 5), "http://h/x?a=1&rand=5");
}

TEST_F(GridDownload, CancelStopsATransferThatWouldWaitLong) {
  server_.Script("/GeoidGrids/g2012a.grd", HttpBehaviour::kNeverAnswer);
  hooks_.cancelled = [this] { return pumps_ >= 3; };
  TraceCapture trace;
  // The no-progress limit is far away; only the cancel can end it.
  EXPECT_FALSE(Download("/GeoidGrids/g2012a.grd", 9, 1h));
  EXPECT_NE(trace.Text().find("Download cancelled"), std::string::npos);
  EXPECT_LE(server_.RequestLines().size(), 1u);
  ExpectUntouched();
}

TEST_F(GridDownload, AnUnusableUrlIsRefusedTwiceWithoutAskingAnyone) {
  for (const char* url : {"", "not a url", "ftp://127.0.0.1/GeoidGrids/g2012a.grd", "http://", "http://a b/c"}) {
    SCOPED_TRACE(url);
    messages_.clear();
    TraceCapture trace;
    EXPECT_FALSE(DownloadGridFile(url, destination_, 3, hooks_, kShortLimit));
    EXPECT_EQ(messages_, (std::vector<std::string>{"The URL is invalid.", "The URL is invalid."}));
    EXPECT_NE(trace.Text().find("Download failed, retry failed too"), std::string::npos);
    ExpectUntouched();
  }
  EXPECT_TRUE(server_.RequestLines().empty());
}

TEST_F(GridDownload, AFolderThatCannotTakeTheFileFailsWithoutRetry) {
  server_.Script("/GeoidGrids/g2012a.grd", HttpBehaviour::kServe, "grid");
  TraceCapture trace;
  EXPECT_FALSE(DownloadGridFile(server_.Url("/GeoidGrids/g2012a.grd"), files_ / "missing/g2012a.grd", 3, hooks_));
  EXPECT_EQ(trace.Text().find("retrying"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(files_ / "missing"));
}

TEST(GridFileUrl, JoinsTheServerSettingAndTheFileName) {
  struct Case {
    const char* base;
    const char* name;
    const char* url;
  };
  const Case cases[] = {
      {"http://grids.example.org", "g2012a.grd", "http://grids.example.org/GeoidGrids/g2012a.grd"},
      {"grids.example.org/", "g2012a.grd", "http://grids.example.org/GeoidGrids/g2012a.grd"},
      {" https://example.org:8080/survey/grids// ", "a b%.grd",
       "https://example.org:8080/survey/grids/GeoidGrids/a%20b%25.grd"},
      {"", "g2012a.grd", ""},
      {" \t", "g2012a.grd", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.base);
    const std::string url = GridFileUrl(c.base, c.name);
    EXPECT_EQ(url, c.url);
    EXPECT_EQ(IsDownloadableUrl(url), !url.empty());
  }
  EXPECT_EQ(NoGridServerMessage(), "No grid download server is set (setting gridserver).");
}

}  // namespace
}  // namespace pelikon
