// adjust as a surveyor runs it: levelling networks solved by hand, the
// input it refuses with the line at fault, and its command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::ToolRun;

class Adjust : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& arguments) { return testing::RunTool(work_, "adjust", arguments); }
  ToolRun RunOn(const std::string& network) { return Run({files_.Write("net.txt", network).string()}); }
  std::string NetworkFile() const { return (files_ / "net.txt").string(); }

  testing::TempDir work_;
  testing::TempDir files_;
};

TEST_F(Adjust, SolvesNetworksWorkedByHand) {
  struct Case {
    const char* what;
    std::string network;
    std::string adjusted;
  };
  const std::vector<Case> cases = {
      // A loop A-P-Q-A closing 0.03 too long: each equally weighted
      // difference takes a third; σ0² = 3, Qxx = [2 1; 1 2] / 3 · 1e-4.
      {"loop", "FIX A 100.000\nOBS A P 1.0 0.01\nOBS P Q 1.0 0.01\nOBS A Q 2.03 0.01\n",
       "P 101.0100 0.0141\nQ 102.0200 0.0141\n"},
      // A line between two benchmarks, the first difference four times
      // the weight of the second: it takes a fifth of the 0.1 misclosure.
      // vᵀPv = 20, N = 12500: σ = sqrt(20 / 12500) = 0.04.
      {"weighted line", "FIX A 100\nFIX B 110\nOBS A P 4.0 0.01\nOBS P B 6.1 0.02\n", "P 103.9800 0.0400\n"},
      // No redundancy: the a priori standard deviation.
      {"open", "FIX A 100\nOBS A P +1.5 0.02\n", "P 101.5000 0.0200\n"},
      // A difference between the benchmarks only adds redundancy: its
      // residual -0.02 gives σ0² = 4, so P's a priori 0.01 doubles.
      {"between benchmarks", "OBS A P 4.0 0.01\nOBS A B 10.02 0.01\nFIX A 100\nFIX B 110\n", "P 104.0000 0.0200\n"},
      // Comments, blank lines, tabs, CR LF, keywords in any case; the
      // points in the order they first appear; a benchmark observed
      // towards.
      {"layout", "# run 7\r\n\r\nfix BM 50.5 # the church\r\n\tobs Z BM -2.25 0.005\r\nObs BM Y 0.75 0.005\r\n   \r\n",
       "Z 52.7500 0.0050\nY 51.2500 0.0050\n"},
      // The README's network: three points, six differences, redundancy 3;
      // solved separately in exact rational arithmetic (A 103.577668...,
      // B 105.593337..., C 101.833678...).
      {"readme",
       "# Levelling between two benchmarks; heights and standard deviations in metres\n"
       "FIX BM1 102.345\nFIX BM2 108.912\n"
       "OBS BM1 A    1.234  0.002\nOBS A   B    2.017  0.002\nOBS B   BM2  3.322  0.003\n"
       "OBS BM1 C   -0.512  0.002\nOBS C   B    3.760  0.003\nOBS C   BM2  7.075  0.004   # across the valley\n",
       "A 103.5777 0.0017\nB 105.5933 0.0018\nC 101.8337 0.0016\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun run = RunOn(c.network);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, c.adjusted);
    EXPECT_EQ(run.err, "");
  }
}

TEST_F(Adjust, RefusesBadInputNamingTheLine) {
  struct Case {
    std::string network;
    std::string where;  // ":LINE" or "" for the file as a whole
    std::string message;
  };
  const std::vector<Case> cases = {
      {"FIX A 1\nFIX A 2\nOBS A P 1 1\n", ":2", "point A is fixed already on line 1"},
      {"FIX A 1\nOBS A P 1 0\n", ":2", "the standard deviation must be greater than zero, not 0"},
      {"FIX A 1\nOBS A P 1 -0.003\n", ":2", "the standard deviation must be greater than zero, not -0.003"},
      {"FIX A one\n", ":1", "\"one\" is not a number"},
      {"FIX A 1\n\nOBS A P 1,5 0.01\n", ":3", "\"1,5\" is not a number"},
      {"FIX A 1\nOBS A P nan 0.01\n", ":2", "\"nan\" is not a number"},
      {"FIX A 1e999\n", ":1", "\"1e999\" is not a number"},
      {"FIX A\n", ":1", "FIX takes a point name and a height"},
      {"FIX A 1\nOBS A P 1 0.01 extra\n", ":2",
       "OBS takes two point names, a height difference and a standard deviation"},
      {"FIX A 1\nOBS P P 1 0.01\n", ":2", "an observation from point P to itself"},
      {"# levels\nLEV A 1\n", ":2", "unknown record \"LEV\": a line starts with FIX or OBS"},
      // Q and R hang together but on nothing fixed: named where Q first appears.
      {"FIX A 1\nOBS A P 1 0.01\nOBS P B 1 0.01\nOBS Q R 1 0.01\nOBS R Q -1 0.01\n", ":4",
       "point Q is not connected to any fixed point"},
      {"OBS P Q 1 0.01\n", "", "no fixed point (FIX): the heights cannot be determined"},
      {"FIX A 1\nFIX B 2\nOBS A B 1 0.01\n", "", "no unknown point to adjust: every observed point is fixed"},
      {"# an empty network\nFIX A 1\n", "", "no observation (OBS): nothing to adjust"},
      // Numbers beyond what doubles hold, for one observation or once
      // combined.
      {"FIX A 1e308\nOBS A P 1e308 1\n", ":2",
       "the numbers of this observation are too large or too small to compute with"},
      {"FIX A 1\nOBS A P 1 1e-200\n", ":2",
       "the numbers of this observation are too large or too small to compute with"},
      {"FIX A 1\nOBS A P 1e300 1e-5\nOBS A P -1e300 1e-5\n", "",
       "the numbers of the network are too large to compute with"},
      // Standard deviations 15 orders of magnitude apart: a normal matrix
      // conditioned 1e30, beyond what doubles can hold.
      {"FIX A 0\nOBS A P 1 1e-9\nOBS P Q 1 1e6\n", "", "the normal equations are singular to working precision"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = RunOn(c.network);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("adjust: " + NetworkFile() + c.where + ": " + c.message, 0), 0u) << run.err;
  }
}

TEST_F(Adjust, CommandLine) {
  ToolRun run = Run({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: adjust FILE\n", 0), 0u) << run.out;
  EXPECT_NE(run.out.find("OBS <from> <to> <difference> <std.dev.>"), std::string::npos) << run.out;

  for (const std::vector<std::string>& wrong :
       std::vector<std::vector<std::string>>{{}, {"a.txt", "b.txt"}, {"--frobnicate", "a.txt"}}) {
    run = Run(wrong);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find("usage: adjust FILE"), std::string::npos) << run.err;
  }
  const std::string missing = (files_ / "missing.txt").string();
  run = Run({missing});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "adjust: cannot read " + missing + ": No such file or directory\n");
}

}  // namespace
}  // namespace pelikon
