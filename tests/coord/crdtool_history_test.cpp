// crdtool history and undo end to end, on a history written here byte by
// byte as the office software leaves it.
#include <gtest/gtest.h>

#include <sstream>

#include "history_bytes.h"
#include "support/temp_dir.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::HistoryBytes;
using testing::TempDir;
using testing::ToolRun;

class CrdtoolHistory : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(Run({"create", crd_, "--alpha"}).status, 0);
    ASSERT_EQ(Run({"store", crd_}, "8\t500\t300\t12\tPIN\n3\t1\t2\t3\tOTHER\n").status, 0);
    HistoryBytes history;
    history.Begin("7", 0x1701).Byte(16).Text("job\tA").Stamp(100).Text("ann");
    history.Begin("8", 0x3B04).Byte(15).Stamp(200).Text("7");
    history.Begin("8", 0x3160).Stamp(300).Double(100.0).Double(200.0);
    dir_.Write("job.his", history.Bytes());
  }
  ToolRun Run(const std::vector<std::string>& arguments, const std::string& input = {}) {
    return testing::RunTool(dir_, "crdtool", arguments, input);
  }
  static std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

  TempDir dir_;
  std::string crd_ = (dir_ / "job.crd").string();
};

TEST_F(CrdtoolHistory, ListsResolvedChangesNewestFirst) {
  const ToolRun run = Run({"history", crd_, "8"});
  ASSERT_EQ(run.status, 0) << run.err;
  const std::vector<std::string> lines = Lines(run.out);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], "8\t0\t\t\tann\t300\t8\t200\t100\t12\tPIN\t8\t500\t300\t12\tPIN");
  EXPECT_EQ(lines[1], "8\t15\tRenumber Points\tjob\\tA\tann\t200\t7\t200\t100\t12\tPIN\t8\t200\t100\t12\tPIN");
  EXPECT_EQ(lines[2], "7\t16\tInput-Edit Point\tjob\\tA\tann\t100\t\t0\t0\t0\t\t7\t200\t100\t12\tPIN");
  EXPECT_EQ(Run({"history", crd_, "3"}).out, "");
}

TEST_F(CrdtoolHistory, UndoPutsPointsBack) {
  ToolRun run = Run({"undo", crd_, "300"});
  ASSERT_EQ(run.status, 0) << run.err;
  std::string dump = Run({"dump", crd_, "8"}).out;
  EXPECT_NE(dump.find("8\t200\t100\t12\tPIN\n"), std::string::npos) << dump;

  run = Run({"undo", crd_, "100", "8"});
  ASSERT_EQ(run.status, 0) << run.err;
  dump = Run({"dump", crd_}).out;
  EXPECT_EQ(dump.find("\n8\t"), std::string::npos) << dump;
  EXPECT_EQ(dump.find("\n7\t"), std::string::npos) << dump;
  EXPECT_NE(dump.find("\n3\t1\t2\t3\tOTHER\n"), std::string::npos) << dump;
}

TEST_F(CrdtoolHistory, WrongArgumentsAndHelp) {
  EXPECT_EQ(Run({"undo", crd_, "yesterday"}).status, 2);
  EXPECT_EQ(Run({"undo", (dir_ / "none.crd").string(), "-5"}).status, 2);
  EXPECT_EQ(Run({"undo", crd_}).status, 2);
  EXPECT_EQ(Run({"history"}).status, 2);
  EXPECT_EQ(Run({"history", (dir_ / "none.crd").string()}).status, 1);
  const ToolRun help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("crdtool undo FILE SINCE [RANGE]"), std::string::npos);
}

}  // namespace
}  // namespace pelikon
