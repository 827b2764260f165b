// F2F conv against the collector simulator: the chosen ".FLD" becomes a
// ".FCL" beside it that goes into the collector's folder, asking before it
// replaces one there.
#include "app/field_codes/field_code_upload.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "session_rig.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

class FieldCodeUploadTest : public testing::SessionRig {
 protected:
  void SetUp() override {
    std::ofstream(local_ / "Codes.fld") << "# office codes\n@X|SURVEY|\nTR|Tree||x|Tree line|3|\n";
  }
  int Run() { return RunFieldCodeUpload(*panes_); }
};

TEST_F(FieldCodeUploadTest, TheConvertedTableGoesUpAndStaysOnThePc) {
  Connect();
  ui_.QueueText((local_ / "Codes.fld").string());
  EXPECT_EQ(Run(), 1) << ::testing::PrintToString(ui_.Shown());
  EXPECT_TRUE(ui_.Saw("file: Select Existing Field Code Table: *.fld"));
  EXPECT_EQ(Contents(store_ / "CODES.FCL"), "$SURVEY, TR, Y, Y, Tree line, Tree\r\n");
  EXPECT_EQ(Contents(local_ / "CODES.FCL"), Contents(store_ / "CODES.FCL"));
}

TEST_F(FieldCodeUploadTest, AnExistingTableIsReplacedOnlyWhenTheUserAgrees) {
  std::ofstream(store_ / "CODES.FCL") << "old";
  Connect();
  ui_.QueueText((local_ / "Codes.fld").string());
  ui_.QueueAnswer(kAnswerNo);
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(ui_.Saw("Overwrite File: OK to overwrite CODES.FCL ?")) << ::testing::PrintToString(ui_.Shown());
  EXPECT_EQ(Contents(store_ / "CODES.FCL"), "old");

  ui_.QueueText((local_ / "Codes.fld").string());
  ui_.QueueAnswer(kAnswerYes);
  EXPECT_EQ(Run(), 1);
  EXPECT_EQ(Contents(store_ / "CODES.FCL"), "$SURVEY, TR, Y, Y, Tree line, Tree\r\n");
}

TEST_F(FieldCodeUploadTest, CancelOrAnInputThatIsNoFldSendsNothing) {
  Connect();
  EXPECT_EQ(Run(), 0);  // the picker cancelled
  std::ofstream(local_ / "codes.txt") << "TR|Tree||x|Tree line|3|\n";
  ui_.QueueText((local_ / "codes.txt").string());
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(Contents(local_ / "codes.txt"), "TR|Tree||x|Tree line|3|\n") << "the input is never overwritten";
  EXPECT_FALSE(fs::exists(store_ / "CODES.FCL"));
  EXPECT_FALSE(fs::exists(store_ / "CODES.TXT"));
}

}  // namespace
}  // namespace pelikon
