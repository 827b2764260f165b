#include "link/listing/dir_listing.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "platform/atomic_file.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::ScriptedUi;
using testing::TempDir;

std::vector<std::string> Lines(const std::filesystem::path& file) {
  std::string text;
  EXPECT_TRUE(ReadWholeFile(file, text));
  std::vector<std::string> lines;
  size_t pos = 0;
  while (pos < text.size()) {
    const size_t end = text.find("\r\n", pos);
    EXPECT_NE(end, std::string::npos) << "every line ends CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(pos, end - pos));
    pos = end + 2;
  }
  return lines;
}

std::string NameOf(const std::string& line) {
  return line.substr(0, line.find('|'));
}

class LocalListing : public ::testing::Test {
 protected:
  std::vector<std::string> List(std::string_view mask, bool show_special = false) {
    EXPECT_EQ(WriteLocalListing(folder_.Path(), mask, listing_, show_special, ui_), 1);
    return Lines(listing_);
  }
  TempDir folder_;
  TempDir work_;
  std::filesystem::path listing_ = work_ / kLocalListingName;
  ScriptedUi ui_;
};

TEST_F(LocalListing, MaskedFilesFirstThenEveryFolderOnce) {
  folder_.Write("a.txt", "1");
  folder_.Write("b.TXT", "22");
  folder_.Write("c.txt", "333");
  folder_.Write("d.crd", "4444");
  std::filesystem::create_directory(folder_ / "sub1");
  std::filesystem::create_directory(folder_ / "sub2.txt");

  const std::vector<std::string> lines = List("*.txt");
  std::vector<std::string> files(lines.begin(), lines.begin() + 3);
  std::transform(files.begin(), files.end(), files.begin(), NameOf);
  std::sort(files.begin(), files.end());
  EXPECT_EQ(files, (std::vector<std::string>{"a.txt", "b.TXT", "c.txt"}));

  std::vector<std::string> folders(lines.begin() + 3, lines.end());
  std::transform(folders.begin(), folders.end(), folders.begin(), NameOf);
  std::sort(folders.begin(), folders.end());
  EXPECT_EQ(folders, (std::vector<std::string>{".", "..", "sub1", "sub2.txt"}))
      << "folders are listed whatever the mask, each once";
  for (const std::string& line : std::vector<std::string>(lines.begin() + 3, lines.end()))
    EXPECT_NE(line.find("|-1|"), std::string::npos) << line;
}

TEST_F(LocalListing, LineShapesSizesDatesAndShortNames) {
  const auto file = folder_.Write("JOB1.CRD", "12345");
  testing::SetLocalModificationTime(file, 2003, 1, 5, 14, 7);
  const auto long_name = folder_.Write("Survey Data 2005.crd", "");
  testing::SetLocalModificationTime(long_name, 1999, 11, 28, 9, 3);
  std::filesystem::create_directory(folder_ / "Jobs");
  testing::SetLocalModificationTime(folder_ / "Jobs", 2005, 3, 7, 23, 59);

  const std::vector<std::string> lines = List("*.*");
  auto find = [&](const std::string& name) {
    for (const std::string& line : lines)
      if (NameOf(line) == name) return line;
    return std::string("(missing)");
  };
  EXPECT_EQ(find("JOB1.CRD"), "JOB1.CRD|5|01/05/03|14:07|32|JOB1.CRD");
  EXPECT_EQ(find("Survey Data 2005.crd"), "Survey Data 2005.crd|0|11/28/99|09:03|32|Survey Data 2005.crd")
      << "no short names here: field 6 repeats the name";
  EXPECT_EQ(find("Jobs"), "Jobs|-1|03/07/05|23:59|-1|Jobs");
}

TEST_F(LocalListing, SizesAreTheSignedLow32Bits) {
  const auto big = folder_ / "huge.bin";
  const int fd = ::open(big.c_str(), O_CREAT | O_WRONLY, 0644);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, 3000000000LL), 0) << "sparse file, no disk used";
  ::close(fd);
  const std::vector<std::string> lines = List("*.bin");
  ASSERT_EQ(lines.size(), 3u);  // the file, ".", ".."
  EXPECT_EQ(lines[0].substr(0, lines[0].find('|', 9)), "huge.bin|-1294967296");

  ListingContents back;
  ASSERT_TRUE(ReadListingFile(listing_, back));
  ASSERT_FALSE(back.entries.empty());
  EXPECT_EQ(back.entries[0].size, -1294967296);
  EXPECT_FALSE(back.entries[0].is_folder);
}

TEST_F(LocalListing, HiddenFilesOnlyWithSpecialFilesShown) {
  folder_.Write(".hidden.crd", "x");
  folder_.Write("shown.crd", "x");
  auto names = [](const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const std::string& line : lines) out.push_back(NameOf(line));
    return out;
  };
  std::vector<std::string> without = names(List("*.crd", false));
  std::sort(without.begin(), without.end());
  EXPECT_EQ(without, (std::vector<std::string>{".", "..", "shown.crd"}));
  const std::vector<std::string> with = List("*.crd", true);
  bool found = false;
  for (const std::string& line : with) {
    if (NameOf(line) != ".hidden.crd") continue;
    found = true;
    EXPECT_EQ(line.substr(line.rfind('|', line.rfind('|') - 1)), "|34|.hidden.crd") << "archive + hidden";
  }
  EXPECT_TRUE(found);
}

TEST_F(LocalListing, NamesTheFormatCannotCarryAreLeftOut) {
  folder_.Write("pipe|name.txt", "x");
  folder_.Write("line\nbreak.txt", "x");
  folder_.Write("fine, with comma.txt", "x");
  const std::vector<std::string> lines = List("*.txt");
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(NameOf(lines[0]), "fine, with comma.txt");
}

// The PC's names come back exactly as the file system has them: blanks
// at either end belong to the name, and the longest names keep every
// field of their line.
TEST_F(LocalListing, EveryNameThePcAllowsComesBackAsItIs) {
  const std::string longest(kLocalNameLimit, 'n');
  const std::string long_blank = " " + std::string(kLocalNameLimit - 1, 'b');
  const std::vector<std::string> names = {" lead.txt", "trail.txt ", "  ", longest, long_blank, "plain.txt"};
  for (size_t i = 0; i < names.size(); ++i) folder_.Write(names[i], std::string(i + 1, 'x'));
  std::filesystem::create_directory(folder_ / (" " + std::string(kLocalNameLimit - 1, 'd')));
  List("*.*");
  ListingContents back;
  ASSERT_TRUE(ReadListingFile(listing_, back, kLocalListing));
  std::map<std::string, DirEntry> by_name;
  for (const DirEntry& e : back.entries) by_name[e.name] = e;
  ASSERT_EQ(by_name.size(), names.size() + 2) << "every file, the folder and \"..\"";
  for (size_t i = 0; i < names.size(); ++i) {
    SCOPED_TRACE("\"" + names[i] + "\"");
    ASSERT_EQ(by_name.count(names[i]), 1u);
    const DirEntry& e = by_name[names[i]];
    EXPECT_EQ(e.size, static_cast<int32_t>(i + 1));
    EXPECT_EQ(e.attributes, kAttrArchive);
    EXPECT_EQ(e.time.size(), 5u);
  }
  const DirEntry& folder = by_name[" " + std::string(kLocalNameLimit - 1, 'd')];
  EXPECT_TRUE(folder.is_folder);

  // The same lines read as a collector's listing keep the format's rules.
  ASSERT_TRUE(ReadListingFile(listing_, back));
  for (const DirEntry& e : back.entries) {
    EXPECT_NE(e.name.front(), ' ') << e.name;
    EXPECT_LE(e.name.size(), kEntryNameLimit);
  }
}

TEST_F(LocalListing, AnUnwritableListingIsReported) {
  EXPECT_EQ(WriteLocalListing(folder_.Path(), "*.*", work_ / "no" / "such" / "dir_yyy.txt", false, ui_), 0);
  ASSERT_EQ(ui_.Shown().size(), 1u);
  EXPECT_EQ(ui_.Shown()[0], "box: Unable to write directory listing");
}

TEST_F(LocalListing, WritesAndReadsBackTheSameEntries) {
  folder_.Write("a.crd", "abc");
  folder_.Write("dir_yyy.txt", "stale");
  std::filesystem::create_directory(folder_ / "sub");
  List("*.*");
  ListingContents back;
  ASSERT_TRUE(ReadListingFile(listing_, back));
  EXPECT_TRUE(back.long_names);
  std::vector<std::string> names;
  for (const DirEntry& e : back.entries) names.push_back(e.name);
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"..", "a.crd", "sub"}))
      << "\".\" and the reserved listing names are skipped";
}

TEST(ListingReader, LegacyCommaLineHasNoAttributesAndNoShortName) {
  const ListingContents c = ParseListing("JOB.CRD,1234,01/05/03,14:07\r\n");
  ASSERT_EQ(c.entries.size(), 1u);
  const DirEntry& e = c.entries[0];
  EXPECT_EQ(e.name, "JOB.CRD");
  EXPECT_EQ(e.size, 1234);
  EXPECT_EQ(e.date, "01/05/03");
  EXPECT_EQ(e.time, "14:07");
  EXPECT_EQ(e.attributes, 0);
  EXPECT_EQ(e.short_name, "JOB.CRD");
  EXPECT_FALSE(e.is_folder);
  EXPECT_FALSE(c.long_names);
}

TEST(ListingReader, FoldersDrivesParentAndSkippedLines) {
  const ListingContents c = ParseListing(
      "..|-1| | |-1|..\r\n"
      "   Jobs|-1|03/07/05|10:00|-1|JOBS~1   \r\n"
      "C:\\,-2, , ,\r\n"
      ".|-1|03/07/05|10:00|-1|.\r\n"
      "DIR_ZZZ.TXT|10|03/07/05|10:00|32|DIR_ZZZ.TXT\r\n"
      "short|10|03/07/05\r\n"
      "a.crd||||12|||01/01/04|||08:00||32||A.CRD\r\n");
  ASSERT_EQ(c.entries.size(), 4u);
  EXPECT_EQ(c.entries[0].name, "..");
  EXPECT_TRUE(c.entries[0].is_folder);
  EXPECT_EQ(c.entries[0].date, " ");
  EXPECT_EQ(c.entries[1].name, "Jobs");
  EXPECT_EQ(c.entries[1].short_name, "JOBS~1");
  EXPECT_EQ(c.entries[1].size, -1);
  EXPECT_EQ(c.entries[2].name, "C:\\");
  EXPECT_TRUE(c.entries[2].is_drive);
  EXPECT_TRUE(c.entries[2].is_folder);
  EXPECT_EQ(c.entries[2].size, -1);
  EXPECT_EQ(c.entries[3].name, "a.crd") << "runs of separators count as one";
  EXPECT_EQ(c.entries[3].size, 12);
  EXPECT_EQ(c.entries[3].attributes, 32);
  EXPECT_EQ(c.entries[3].short_name, "A.CRD");
  EXPECT_TRUE(c.long_names) << "the last line used \"|\"";
}

TEST(ListingReader, TheLastNonEmptyLineDecidesTheNameFlag) {
  EXPECT_FALSE(ParseListing("a|1|01/01/04|08:00|32|a\r\nB,1,01/01/04,08:00\r\n").long_names);
  EXPECT_TRUE(ParseListing("B,1,01/01/04,08:00\r\na|1|01/01/04|08:00|32|a\r\n\r\n  \r\n").long_names);
}

TEST(ListingReader, OverlongLinesAreCutAndTheirRestNeverBecomesAnEntry) {
  // A 240-character name: what lies past the limit looks like a whole line.
  const std::string name(240 - 30, 'n');
  const std::string line = name + std::string(30, 'x') + "ghost.crd|999|01/01/04|08:00|32|GHOST.CRD";
  const ListingContents c = ParseListing(line + "\r\nok.crd|1|01/01/04|08:00|32|OK.CRD\r\n");
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(c.entries[0].name, "ok.crd");

  // A line just inside the limit keeps all its fields.
  const std::string fits = std::string(200, 'f') + "|5|01/01/04|08:00|32|F";
  ASSERT_LE(fits.size(), kListingLineLimit);
  EXPECT_EQ(ParseListing(fits).entries.size(), 1u);
}

TEST(ListingReader, ZeroBytesEndTheLine) {
  const std::string text = std::string("a.crd|5|01/01/04|08:00|32|A.CRD\0junk|1|2|3", 42) + "\r\n";
  const ListingContents c = ParseListing(text);
  ASSERT_EQ(c.entries.size(), 1u);
  EXPECT_EQ(c.entries[0].short_name, "A.CRD");
}

TEST(ListingReader, AMissingFileIsNotAnEmptyFolder) {
  ListingContents c;
  EXPECT_FALSE(ReadListingFile("/nonexistent/dir_zzz.txt", c));
}

}  // namespace
}  // namespace pelikon
