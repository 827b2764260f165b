// crdtool end to end: the command as a surveyor runs it.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <random>
#include <sstream>

#include "crd_bytes.h"
#include "platform/atomic_file.h"
#include "point_lines.h"
#include "pointid/point_id.h"
#include "support/temp_dir.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::TempDir;
using testing::ToolRun;

class CrdTool : public ::testing::Test {
 protected:
  // `arguments` are separated by blanks (the paths here hold none).
  ToolRun Crdtool(const std::string& arguments, const std::string& input = {}) {
    std::vector<std::string> words;
    std::istringstream split(arguments);
    for (std::string word; split >> word;) words.push_back(word);
    return testing::RunTool(dir_, "crdtool", words, input);
  }
  std::string File(const char* name) { return (dir_ / name).string(); }

  TempDir dir_;
};

std::vector<std::string> PointLines(const std::string& dump) {
  std::vector<std::string> lines;
  std::istringstream in(dump);
  for (std::string line; std::getline(in, line);)
    if (!line.empty() && line[0] != '#') lines.push_back(line);
  return lines;
}

TEST_F(CrdTool, ThousandRandomPointsComeBackInOrder) {
  for (const bool numeric : {false, true}) {
    const std::string file = File(numeric ? "n.crd" : "a.crd");
    ASSERT_EQ(Crdtool("create " + file + (numeric ? " --numeric" : " --alpha")).status, 0);
    std::mt19937 random(numeric ? 3 : 4);
    auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    std::map<std::string, std::string> expected;  // identifier -> line
    std::string input = "# points\n";
    while (expected.size() < 1000) {
      std::string id = numeric ? std::to_string(1 + pick(5000))
                               : std::string(1, static_cast<char>('A' + pick(26))) + std::to_string(pick(10000));
      if (expected.count(id)) continue;
      const CrdPoint point(id, std::ldexp(pick(1 << 30), -pick(20)), -pick(100000) / 7.0, pick(3000) / 3.0,
                           "desc\t" + std::to_string(pick(99)));
      expected[id] = PointLine(point);
      input += expected[id] + "\r\n";
    }
    const ToolRun stored = Crdtool("store " + file, input);
    ASSERT_EQ(stored.status, 0) << stored.err;

    const ToolRun dump = Crdtool("dump " + file);
    ASSERT_EQ(dump.status, 0) << dump.err;
    EXPECT_NE(dump.out.find(numeric ? "# format: numeric\n" : "# format: alphanumeric\n"), std::string::npos);
    const std::vector<std::string> lines = PointLines(dump.out);
    ASSERT_EQ(lines.size(), 1000u);
    std::string previous;
    for (const std::string& line : lines) {
      const std::string id = line.substr(0, line.find('\t'));
      ASSERT_TRUE(expected.count(id)) << id;
      EXPECT_EQ(line, expected[id]);
      if (!previous.empty()) {
        // Alphanumeric files are in identifier order; numeric ones in slot order.
        if (numeric) {
          EXPECT_LT(std::stol(previous), std::stol(id));
        } else {
          EXPECT_LT(ComparePointIds(previous, id), 0) << previous << " " << id;
        }
      }
      previous = id;
    }
  }
}

TEST_F(CrdTool, RangesDeletionAndErrors) {
  const std::string file = File("job.crd");
  ASSERT_EQ(Crdtool("create " + file + " --alpha").status, 0);
  EXPECT_EQ(Crdtool("create " + file + " --alpha").status, 1);  // never overwrites
  ASSERT_EQ(Crdtool("store " + file, "1\t1\t2\t3\ta\n2\t4\t5\t6\tb\n3\t7\t8\t9\t\n").status, 0);
  EXPECT_EQ(PointLines(Crdtool("dump " + file + " 3-2").out),
            (std::vector<std::string>{"3\t7\t8\t9\t", "2\t4\t5\t6\tb"}));
  const ToolRun deleted = Crdtool("delete " + file + " 1,3");
  EXPECT_EQ(deleted.status, 0);
  EXPECT_EQ(deleted.out, "2 points deleted\n");
  EXPECT_EQ(PointLines(Crdtool("dump " + file).out).size(), 1u);

  ToolRun bad = Crdtool("store " + file, "4\tnorth\t1\t1\tx\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("line 1: northing is not a number"), std::string::npos);
  bad = Crdtool("store " + file, "TOOLONGID10\t1\t1\t1\tx\n5\t1\t1\t1\tok\n");
  EXPECT_EQ(bad.status, 1);
  EXPECT_NE(bad.err.find("point \"TOOLONGID10\" refused: point identifier longer than 9 characters"),
            std::string::npos);
  EXPECT_EQ(PointLines(Crdtool("dump " + file).out).size(), 2u);  // the good point went in
  bad = Crdtool("dump " + File("missing.crd"));
  EXPECT_EQ(bad.status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.crd"));
  EXPECT_EQ(Crdtool("frobnicate " + file).status, 2);
}

// A text file or random bytes named ".crd" are no CRD file: every command
// refuses them with the reason and leaves them as they were.
TEST_F(CrdTool, FilesThatAreNoCrdFileAreNeverRewritten) {
  std::string text;
  for (int i = 1; text.size() < 5 * 56; ++i) text += std::to_string(i) + ",1000.0,2000.0,100.0,stake\n";
  text.resize(5 * 56);
  std::string random(4096, '\0');
  std::mt19937 generator(7);
  for (char& c : random) c = static_cast<char>(generator());
  for (const auto& [name, bytes] : {std::pair{"x.crd", text}, std::pair{"r.crd", random}}) {
    SCOPED_TRACE(name);
    const auto path = dir_.Write(name, bytes);
    for (const std::string& command :
         {"delete " + path.string() + " 1-100", "store " + path.string(), "dump " + path.string()}) {
      const ToolRun run = Crdtool(command, "2\t1\t2\t3\tx\n");
      EXPECT_EQ(run.status, 1) << command;
      EXPECT_EQ(run.out, "") << command;
      EXPECT_EQ(run.err, "crdtool: cannot open " + path.string() + ": unknown coordinate file format\n") << command;
    }
    std::string after;
    ASSERT_TRUE(ReadWholeFile(path, after));
    EXPECT_EQ(after, bytes);
  }
}

TEST_F(CrdTool, MergeStoresMissingPointsAndDecidesConflictsByTheFlag) {
  const std::string source = File("in.crd");
  const std::string target = File("job.crd");
  auto make = [&] {
    std::filesystem::remove(source);
    std::filesystem::remove(target);
    ASSERT_EQ(Crdtool("create " + source + " --numeric").status, 0);
    ASSERT_EQ(Crdtool("create " + target + " --numeric").status, 0);
    ASSERT_EQ(Crdtool("store " + source, "1\t1\t1\t1\ta\n2\t2\t2\t2\tb\n3\t3\t3\t3\tc\n").status, 0);
    ASSERT_EQ(Crdtool("store " + target, "2\t2\t2\t2.0004\tb\n3\t9\t9\t9\told\n4\t4\t4\t4\td\n").status, 0);
  };
  make();
  ToolRun run = Crdtool("merge " + source + " " + target);
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "1\tmissing\tstore\t1\n2\tsame\tnone\t2\n3\tconflict\tnone\t3\n");
  EXPECT_EQ(PointLines(Crdtool("dump " + target).out),
            (std::vector<std::string>{"1\t1\t1\t1\ta", "2\t2\t2\t2.0004\tb", "3\t9\t9\t9\told", "4\t4\t4\t4\td"}));

  make();
  run = Crdtool("merge " + source + " " + target + " --renumber-next");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "1\tmissing\tstore\t1\n2\tsame\tnone\t2\n3\tconflict\tstore\t5\n");
  EXPECT_EQ(PointLines(Crdtool("dump " + target + " 5").out), std::vector<std::string>{"5\t3\t3\t3\tc"});

  make();
  run = Crdtool("merge " + source + " " + target + " --range 1-2 --overwrite");
  EXPECT_EQ(run.out.substr(run.out.rfind("3\t")), "3\tconflict\tnone\t3\n");  // outside the range
  make();
  run = Crdtool("merge " + source + " " + target + " --renumber-at 20");
  EXPECT_EQ(run.out.substr(run.out.rfind("3\t")), "3\tconflict\tstore\t20\n");
  make();
  run = Crdtool("merge " + source + " " + target + " --renumber-end --range 3");
  EXPECT_EQ(run.out.substr(run.out.rfind("3\t")), "3\tconflict\tstore\t5\n");

  EXPECT_EQ(Crdtool("merge " + source + " " + target + " --overwrite --skip-conflicts").status, 2);
  EXPECT_EQ(Crdtool("merge " + source + " " + target + " --renumber-at").status, 2);
  EXPECT_EQ(Crdtool("merge " + source).status, 2);
  EXPECT_EQ(Crdtool("merge " + source + " " + target + " --fast").status, 2);
  EXPECT_EQ(Crdtool("merge " + source + " " + File("missing.crd")).status, 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing.crd"));
  // Renumbering a numeric file past 99999 merges nothing.
  make();
  ASSERT_EQ(Crdtool("store " + target, "99999\t1\t1\t1\tx\n").status, 0);
  const std::vector<std::string> before = PointLines(Crdtool("dump " + target).out);
  run = Crdtool("merge " + source + " " + target + " --renumber-at 99999");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("no free identifier"), std::string::npos) << run.err;
  EXPECT_EQ(PointLines(Crdtool("dump " + target).out), before);
}

// The cut-out Send Pnts uploads: the points a range selects, in the
// source's variant; a numeric file keeps its numbers (empty records below).
TEST_F(CrdTool, CutWritesTheSelectedPointsInTheSourcesVariant) {
  std::string input;
  for (int id = 1; id <= 25; ++id) input += std::to_string(id) + "\t" + std::to_string(id * 10) + "\t5\t1\tP\n";
  for (const bool numeric : {false, true}) {
    const std::string source = File(numeric ? "n.crd" : "a.crd"), cut = File(numeric ? "nc.crd" : "ac.crd");
    ASSERT_EQ(Crdtool("create " + source + (numeric ? " --numeric" : " --alpha")).status, 0);
    ASSERT_EQ(Crdtool("store " + source, input).status, 0);
    const ToolRun run = Crdtool("cut " + source + " " + cut + " 20-18,1-10,15,99");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out, "14 points written\n");
    const std::string dump = Crdtool("dump " + cut).out;
    EXPECT_NE(dump.find(numeric ? "# format: numeric" : "# format: alphanumeric"), std::string::npos);
    EXPECT_NE(dump.find(numeric ? "# records: 20" : "# records: 14"), std::string::npos) << dump;
    std::vector<std::string> ids;
    for (const std::string& line : PointLines(dump)) ids.push_back(line.substr(0, line.find('\t')));
    EXPECT_EQ(ids,
              (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "15", "18", "19", "20"}));
    // Nothing selected: a file with its header only.
    ASSERT_EQ(Crdtool("cut " + source + " " + cut + " 50-60").status, 0);
    EXPECT_TRUE(PointLines(Crdtool("dump " + cut).out).empty());
  }
  const ToolRun missing = Crdtool("cut " + File("none.crd") + " " + File("x.crd") + " 1-5");
  EXPECT_EQ(missing.status, 1);
  EXPECT_NE(missing.err.find("none.crd"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(File("none.crd"))) << "a missing source is never created";
  EXPECT_EQ(Crdtool("cut " + File("a.crd") + " " + File("x.crd")).status, 2);
  EXPECT_EQ(Crdtool("cut " + File("a.crd") + " " + File("a.crd") + " 1-5").status, 1);
  EXPECT_EQ(PointLines(Crdtool("dump " + File("a.crd")).out).size(), 25u) << "the source is never replaced";
}

// Each point is reported under the identifier it was read with, in the
// order first found, even when renumbering moves it behind others or the
// source holds an identifier twice.
TEST_F(CrdTool, MergeReportsReorderedAndRepeatedPointsUnderTheirOwnLines) {
  const std::string source = File("in.crd");
  const std::string target = File("job.crd");
  ASSERT_EQ(Crdtool("create " + source + " --alpha").status, 0);
  ASSERT_EQ(Crdtool("create " + target + " --alpha").status, 0);
  ASSERT_EQ(Crdtool("store " + source, "3\t1\t1\t1\ta\n4\t4\t4\t4\tb\n").status, 0);
  ASSERT_EQ(Crdtool("store " + target, "3\t9\t9\t9\told\n").status, 0);
  ToolRun run = Crdtool("merge " + source + " " + target + " --renumber-at 10");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, "3\tconflict\tstore\t10\n4\tmissing\tstore\t4\n");
  EXPECT_EQ(PointLines(Crdtool("dump " + target).out),
            (std::vector<std::string>{"3\t9\t9\t9\told", "4\t4\t4\t4\tb", "10\t1\t1\t1\ta"}));

  // An older, unsorted file may repeat an identifier.
  const std::filesystem::path older = dir_ / "older.crd";
  testing::TempDir::WriteFile(
      older, testing::AlphaFileBytes({{"7", 1, 1, 1, "x"}, {"5", 5, 5, 5, ""}, {"7", 2, 2, 2, "y"}}, "New CRD Format"));
  run = Crdtool("merge " + older.string() + " " + target + " --overwrite");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out,
            "5\tmissing\tstore\t5\n7\tmissing\tstore\t7\n7\tmissing\tstore\t7\n"
            "7\tmissing\tstore\t7\n7\tmissing\tstore\t7\n");
  // The last of the two is stored whole: never one's coordinates with the
  // other's description.
  const std::vector<std::string> lines = PointLines(Crdtool("dump " + target + " 7").out);
  EXPECT_EQ(lines, std::vector<std::string>{"7\t1\t1\t1\tx"});
}

}  // namespace
}  // namespace pelikon
