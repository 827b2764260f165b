#include "platform/file_info.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>

#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

TEST(MatchesMask, WildcardsWithoutRegardToCase) {
  EXPECT_TRUE(MatchesMask("JOB1.CRD", "*.crd"));
  EXPECT_TRUE(MatchesMask("job1.crd", "JOB?.CRD"));
  EXPECT_FALSE(MatchesMask("job10.crd", "JOB?.CRD"));
  EXPECT_TRUE(MatchesMask("README", "*.*")) << "*.* matches names without an extension";
  EXPECT_TRUE(MatchesMask(".hidden", "*.*"));
  EXPECT_TRUE(MatchesMask("JOB", "JOB.*"));
  EXPECT_FALSE(MatchesMask("JOBS", "JOB.*"));
  EXPECT_TRUE(MatchesMask("a.b.c.txt", "*.txt"));
  EXPECT_FALSE(MatchesMask("a.txt.bak", "*.txt"));
  EXPECT_TRUE(MatchesMask("anything", "*"));
  EXPECT_FALSE(MatchesMask("", "?"));
  // A mask built to make naive matchers backtrack exponentially.
  EXPECT_FALSE(MatchesMask(std::string(200, 'a'), "*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(EnumerateFolder, ReportsAttributesSizesAndTheDotEntries) {
  TempDir dir;
  dir.Write("data.txt", "12345");
  dir.Write(".profile", "x");
  const auto locked = dir.Write("locked.txt", "");
  ASSERT_EQ(::chmod(locked.c_str(), 0444), 0);
  std::filesystem::create_directory(dir / "sub");

  std::map<std::string, FileInfo> seen;
  ASSERT_TRUE(EnumerateFolder(dir.Path(), "*.*", [&](const FileInfo& info) { seen[info.name] = info; }));
  ASSERT_EQ(seen.size(), 6u);
  EXPECT_EQ(seen["data.txt"].size, 5u);
  EXPECT_EQ(seen["data.txt"].attributes, kAttrArchive);
  EXPECT_EQ(seen[".profile"].attributes, kAttrArchive | kAttrHidden);
  EXPECT_EQ(seen["locked.txt"].attributes, kAttrArchive | kAttrReadOnly);
  EXPECT_EQ(seen["sub"].attributes, kAttrFolder);
  EXPECT_EQ(seen["."].attributes & kAttrHidden, 0) << "the dot entries are not hidden";
  EXPECT_TRUE(seen[".."].IsFolder());

  seen.clear();
  ASSERT_TRUE(EnumerateFolder(dir.Path(), "*.TXT", [&](const FileInfo& info) { seen[info.name] = info; }));
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_FALSE(EnumerateFolder(dir / "missing", "*.*", [](const FileInfo&) {}));
}

TEST(EnumerateFolder, TheRootHasNoParentEntry) {
  bool saw_parent = false;
  ASSERT_TRUE(EnumerateFolder("/", "*.*", [&](const FileInfo& info) { saw_parent |= info.name == ".."; }));
  EXPECT_FALSE(saw_parent);
}

}  // namespace
}  // namespace pelikon
