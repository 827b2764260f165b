// The fieldcodes tool as a surveyor runs it: where the table goes, what it
// prints, and how it fails.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/test_files.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::Contents;
using testing::TempDir;
using testing::ToolRun;

class FieldCodesTool : public ::testing::Test {
 protected:
  ToolRun Run(const std::vector<std::string>& arguments) { return testing::RunTool(work_, "fieldcodes", arguments); }
  TempDir work_;
  TempDir files_;
  const std::string table_ = "TR|Tree||x|Tree line|1|\nODD|o||x|d|6|\n";
  const std::string converted_ = "TR, Y, N, Tree line, Tree\r\n";
};

TEST_F(FieldCodesTool, WritesTheTableAndPrintsWhere) {
  const std::string input = files_.Write("Job/site.fld", table_).string();
  ToolRun run = Run({input});
  EXPECT_EQ(run.status, 0) << run.err;
  const std::string beside = (files_ / "Job/SITE.FCL").string();
  EXPECT_EQ(run.out, beside + "\n");
  EXPECT_EQ(run.err, "fieldcodes: code lines left out for an entity type other than 0, 1, 2, 3 or 7: 1\n");
  EXPECT_EQ(Contents(beside), converted_);

  // A name of one's own, whatever the input is called.
  const std::string plain = files_.Write("table.txt", table_).string();
  const std::string named = (files_ / "out.fcl").string();
  run = Run({plain, named});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, named + "\n");
  EXPECT_EQ(Contents(named), converted_);

  run = Run({"--help"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.rfind("usage: fieldcodes IN.fld [OUT.fcl]\n", 0), 0u) << run.out;
}

TEST_F(FieldCodesTool, FailuresSayWhy) {
  const std::string folder = files_.Path().string();
  const std::string input = files_.Write("site.fld", table_).string();
  const std::string plain = files_.Write("table.txt", table_).string();
  struct Case {
    std::vector<std::string> arguments;
    int status;
    std::string message;
  };
  const std::vector<Case> cases = {
      {{}, 2, "no IN.fld given"},
      {{input, "a.fcl", "b.fcl"}, 2, "unexpected argument \"b.fcl\""},
      {{"--bogus", input}, 2, "unknown option --bogus"},
      {{folder + "/gone.fld"}, 1, "cannot read " + folder + "/gone.fld: No such file or directory"},
      {{plain}, 1, "cannot convert " + plain + ": its name holds no \".fld\""},
      {{input, folder + "/no/such/T.FCL"}, 1, "cannot write " + folder + "/no/such/T.FCL: No such file or directory"},
      {{input, input}, 1, "cannot convert " + input + " into itself"},
      {{input, folder}, 1, "cannot write " + folder + ": Is a directory"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    const ToolRun run = Run(c.arguments);
    EXPECT_EQ(run.status, c.status);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("fieldcodes: " + c.message, 0), 0u) << run.err;
  }
  EXPECT_EQ(Contents(input), table_);
  EXPECT_EQ(Contents(plain), table_);
}

}  // namespace
}  // namespace pelikon
