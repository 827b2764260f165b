// The tools as a new user meets them: --help, arguments that are wrong, and
// failures that say what failed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "tool_usage.h"
#include "tools/tool_run.h"

namespace pelikon {
namespace {

using testing::RunTool;
using testing::TempDir;
using testing::ToolRun;

bool StartsWith(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// A tool run that must end with `status` and a message on standard error
// that starts with the tool's name and `message`.
struct Case {
  const char* tool;
  std::vector<std::string> arguments;
  std::string message;
};

class Tools : public ::testing::Test {
 protected:
  ToolRun Run(const std::string& tool, const std::vector<std::string>& arguments) {
    return RunTool(work_, tool, arguments);
  }
  // Runs `c`; nothing may come out on standard output, and the usage comes
  // along exactly when the arguments were wrong (status 2).
  void Expect(const Case& c, int status) {
    std::string shown = c.tool;
    for (const std::string& a : c.arguments) shown += " " + a;
    SCOPED_TRACE(shown);
    const ToolRun run = Run(c.tool, c.arguments);
    EXPECT_EQ(run.status, status);
    EXPECT_EQ(run.out, "");
    EXPECT_TRUE(StartsWith(run.err, std::string(c.tool) + ": " + c.message)) << run.err;
    EXPECT_EQ(run.err.find(std::string("\nusage: ") + c.tool) != std::string::npos, status == 2) << run.err;
  }
  TempDir work_;
  TempDir files_;
};

TEST_F(Tools, EveryToolHelpsOnStandardOutput) {
  for (const char* tool : {"xfer", "crdtool", "pelikon-listing", "collector-sim"}) {
    SCOPED_TRACE(tool);
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--help"}, std::vector<std::string>{"-h"}}) {
      const ToolRun run = Run(tool, arguments);
      EXPECT_EQ(run.status, 0);
      EXPECT_TRUE(StartsWith(run.out, std::string("usage: ") + tool)) << run.out;
      EXPECT_EQ(run.err, "");
    }
  }
}

// A wrong argument: the tool's name and what was wrong, then the usage, on
// standard error; nothing on standard output; status 2.
TEST_F(Tools, WrongArgumentsAreNamedWithTheUsage) {
  const std::string file = files_.Write("a.txt", "a").string();
  const std::string folder = files_.Path().string();
  const std::string occupied = files_.Write("occupied", "keep me").string();
  const std::vector<Case> cases = {
      {"xfer", {}, "send or receive?"},
      {"xfer", {"frobnicate"}, "unknown command \"frobnicate\""},
      {"xfer", {"send"}, "send: no FILE given"},
      {"xfer", {"send", "--protocol", "ymodem", file}, "unknown protocol \"ymodem\" (zmodem or kermit)"},
      {"xfer", {"send", "--baud", "fast", file}, "--baud takes a whole number from 1 to 4000000, not \"fast\""},
      {"xfer", {"send", file, "--dir"}, "--dir needs a value"},
      {"xfer", {"send", "--bogus", file}, "unknown option --bogus"},
      {"xfer", {"send", "--option", "1002", file}, "--option 1002 is not taken by zmodem send"},
      {"xfer", {"send", "--option", "5", file}, "unknown start option 5 (xfer --help lists them)"},
      {"xfer", {"receive", "--option", "1028"}, "--option 1028 takes a value: --option 1028=N"},
      {"xfer", {"receive", "--option", "1028=0"}, "--option 1028=0: the value is out of range"},
      {"xfer", {"receive", "--option", "1005=3"}, "--option 1005 takes no value"},
      {"xfer", {"receive", file}, "receive takes no FILE (\"" + file + "\"); --dir names the folder"},
      {"crdtool", {}, "no command given"},
      {"crdtool", {"frobnicate", file}, "unknown command \"frobnicate\""},
      {"crdtool", {"delete", file}, "delete: too few arguments"},
      {"crdtool", {"dump", file, "1-5", "extra"}, "dump: unexpected argument \"extra\""},
      {"crdtool", {"create", file, "--hex"}, "create: --numeric or --alpha, not \"--hex\""},
      {"pelikon-listing", {}, "no command given"},
      {"pelikon-listing", {"write"}, "write needs a FOLDER"},
      {"pelikon-listing", {"write", folder, "--bogus"}, "unknown option --bogus"},
      {"pelikon-listing", {"write", folder, "*.txt", "more"}, "unexpected argument \"more\""},
      {"pelikon-listing", {"read"}, "read takes one FILE"},
      {"collector-sim", {"--bogus"}, "unknown argument \"--bogus\""},
      {"collector-sim", {}, "--root names the folder to serve"},
      {"collector-sim", {"--root", folder + "/missing"}, "--root " + folder + "/missing: there is no such folder"},
      {"collector-sim", {"--root", folder, "--parent", "me"}, "--parent takes a whole number from 1 to"},
      {"collector-sim",
       {"--root", folder, "--link", occupied},
       "--link " + occupied + ": something that is not a link to a terminal is there; it is left alone"},
  };
  for (const Case& c : cases) Expect(c, 2);
  std::string kept;
  ASSERT_TRUE(ReadWholeFile(occupied, kept));
  EXPECT_EQ(kept, "keep me") << "collector-sim never deletes what it did not make";
}

// Failures of the work itself: status 1 and a message that names what
// failed and why, in words, without waiting for a peer that never comes.
TEST_F(Tools, FailuresNameWhatFailedInWords) {
  const std::string folder = files_.Path().string();
  const std::vector<Case> cases = {
      {"xfer", {"send", folder + "/gone.txt"}, "cannot send " + folder + "/gone.txt: No such file or directory"},
      {"xfer",
       {"send", "--protocol", "kermit", folder + "/*.none"},
       "cannot send " + folder + "/*.none: no file matches"},
      {"xfer", {"send", folder}, "cannot send " + folder + ": not a file"},
      {"xfer", {"receive", "--dir", folder + "/gone"}, "cannot receive into " + folder + "/gone: not a folder"},
      {"xfer",
       {"send", "--device", "/dev/pelikon-no-such-port", folder + "/a.txt"},
       "cannot open /dev/pelikon-no-such-port: error -14: port not found"},
      {"xfer", {"receive", "--device", "/dev/null"}, "cannot open /dev/null: error -2: not a serial port"},
      {"pelikon-listing", {"write", folder + "/gone"}, "cannot read " + folder + "/gone: No such file or directory"},
      {"pelikon-listing", {"read", folder + "/gone.txt"}, "cannot read " + folder + "/gone.txt: No such file"},
      {"crdtool", {"dump", folder + "/gone.crd"}, folder + "/gone.crd: No such file or directory"},
  };
  files_.Write("a.txt", "a");
  for (const Case& c : cases) Expect(c, 1);
}

TEST_F(Tools, XferHelpListsEveryStartOptionWithWhoTakesIt) {
  const ToolRun run = Run("xfer", {"--help"});
  ASSERT_EQ(run.status, 0);
  for (const char* line :
       {"  1002       propose eighth-bit prefixing (kermit send)\n", "  1015       receiver flag (zmodem receive)\n",
        "  1028=N     retries before giving up (default 10) (zmodem send, zmodem receive)\n",
        "  1029=BYTES bytes sent ahead of acknowledgements (default 4096) (zmodem send)\n"})
    EXPECT_NE(run.out.find(line), std::string::npos) << line;
  for (int code : {1001, 1003, 1004, 1005, 1006, 1007, 1009, 1014, 1017, 1018, 1019, 1020, 1021, 1022, 1023, 1027})
    EXPECT_NE(run.out.find("  " + std::to_string(code)), std::string::npos) << code;
}

TEST_F(Tools, ListingWritesAFoldersNamesAsTheyAre) {
  files_.Write(" lead.txt", "12345");
  const ToolRun run = Run("pelikon-listing", {"write", files_.Path().string(), "*.txt"});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(StartsWith(run.out, " lead.txt|5|")) << run.out;
}

TEST(ToolArguments, WholeNumbersAreWholeAndInRange) {
  long value = 0;
  EXPECT_TRUE(pelikon_tools::ParseWholeNumber("115200", 1, 4000000, value));
  EXPECT_EQ(value, 115200);
  EXPECT_TRUE(pelikon_tools::ParseWholeNumber("-7", -10, 10, value));
  EXPECT_EQ(value, -7);
  for (const char* wrong : {"", "12x", "1.5", " 3", "0x10", "99999999999999999999", "11"})
    EXPECT_FALSE(pelikon_tools::ParseWholeNumber(wrong, -10, 10, value)) << wrong;
}

}  // namespace
}  // namespace pelikon
