// Reading batch files: entries, keys, and the lines that are ignored.
#include "app/batch/batch_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelikon {
namespace {

std::vector<std::string> Entries(const std::unique_ptr<OvUniRecord>& first, const char* key) {
  std::vector<std::string> values;
  for (const OvUniRecord* entry = first.get(); entry; entry = entry->Next()) {
    std::string value;
    entry->GetText(key, value);
    values.push_back(value);
  }
  return values;
}

TEST(BatchFile, LocalInAnyCaseStartsAnEntryAndLaterKeysJoinIt) {
  const auto entries = ParseBatchText(
      "remote=IGNORED.CRD\r\n"
      "local=/data/JOB.CRD\r\n"
      "remote=JOB.CRD\r\n"
      "  LOCAL=/data/B.RW5\n"
      "Remote=\\DATA\\B.RW5\n"
      "upload=0\n");
  EXPECT_EQ(Entries(entries, "local"), (std::vector<std::string>{"/data/JOB.CRD", "/data/B.RW5"}));
  EXPECT_EQ(Entries(entries, "remote"), (std::vector<std::string>{"JOB.CRD", "\\DATA\\B.RW5"}));
  EXPECT_EQ(Entries(entries, "upload"), (std::vector<std::string>{"", "0"}));
}

TEST(BatchFile, LinesWithoutAValueOrEqualsAreIgnored) {
  const auto entries = ParseBatchText("local=/a\nremote=\nremote\n=value\n# comment\nremotedir=1\n");
  ASSERT_NE(entries, nullptr);
  EXPECT_EQ(entries->Next(), nullptr);
  std::string remote, remotedir;
  EXPECT_EQ(entries->GetText("remote", remote), 0);
  EXPECT_EQ(entries->GetText("remotedir", remotedir), 1);
  EXPECT_EQ(remotedir, "1");
  EXPECT_EQ(ParseBatchText("no entries here\nremote=x\n"), nullptr);
}

TEST(BatchFile, TheRestOfAnOverlongLineIsNotALineOfItsOwn) {
  // Past 1023 characters a hostile line could otherwise start an entry.
  const std::string line = "local=/a" + std::string(1100, 'x') + "local=/evil\n";
  const auto entries = ParseBatchText(line + "remote=R\n");
  EXPECT_EQ(Entries(entries, "local").size(), 1u);
  EXPECT_EQ(Entries(entries, "local")[0].size(), kBatchLineLimit - 6);
  EXPECT_EQ(Entries(entries, "remote"), (std::vector<std::string>{"R"}));
}

TEST(BatchFile, AMissingOrFolderPathCannotBeRead) {
  std::unique_ptr<OvUniRecord> entries;
  EXPECT_FALSE(ReadBatchFile("/nonexistent/batch.txt", entries));
  EXPECT_FALSE(ReadBatchFile("/", entries));
}

}  // namespace
}  // namespace pelikon
