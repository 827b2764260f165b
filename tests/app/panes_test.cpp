#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/panes/dir_list.h"
#include "app/panes/pane_texts.h"
#include "app/panes/tagging.h"
#include "app/transfer_settings.h"
#include "platform/text.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

DirEntry File(std::string name, int32_t size, std::string date = "01/01/20", std::string time = "10:00") {
  DirEntry e;
  e.name = name;
  e.short_name = std::move(name);
  e.size = size;
  e.date = std::move(date);
  e.time = std::move(time);
  return e;
}

DirEntry Folder(std::string name, std::string date = "01/01/20", std::string time = "10:00") {
  DirEntry e = File(std::move(name), -1, std::move(date), std::move(time));
  e.is_folder = true;
  e.attributes = -1;
  return e;
}

DirEntry Drive(std::string name) {
  DirEntry e = Folder(std::move(name), " ", " ");
  e.is_drive = true;
  return e;
}

std::vector<std::string> Names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> names;
  for (const DirEntry& e : entries) names.push_back(e.name);
  return names;
}

using Names_ = std::vector<std::string>;

// ---- DirList ---------------------------------------------------------------

TEST(DirList, CommaLineWithoutAttributesGivesAPlainFile) {
  DirList list = DirListFrom("C:\\Jobs", 5000, ParseListing("field.crd,1024,03/04/25,09:15\r\n"));
  ASSERT_EQ(list.entries.size(), 1u);
  const DirEntry& e = list.entries[0];
  EXPECT_FALSE(e.is_folder);
  EXPECT_EQ(e.size, 1024);
  EXPECT_EQ(e.attributes, 0);
  EXPECT_EQ(e.short_name, "field.crd");
  EXPECT_EQ(list.file_count, 1);
  EXPECT_EQ(list.byte_total, 1024);
  EXPECT_EQ(list.path, "C:\\Jobs");
  EXPECT_EQ(list.free_bytes, 5000);
  EXPECT_EQ(AttributesText(e), "");
}

// Each pane reads its listing by its own rules: the PC's names as they are,
// the collector's by the format.
TEST(DirList, EachPaneReadsItsListingByItsOwnRules) {
  testing::TempDir dir;
  const std::string longest(255, 'n');
  const auto file = dir.Write("dir_yyy.txt", " lead.txt|5|01/01/20|10:00|32| lead.txt\r\n" + longest +
                                                 "|7|01/01/20|10:00|32|" + longest + "\r\n");
  ListingContents local;
  ASSERT_TRUE(ReadPaneListing(PaneSide::kLocal, file, local));
  DirList list = DirListFrom("/pc", 0, std::move(local));
  EXPECT_EQ(Names(list.entries), (Names_{" lead.txt", longest}));
  EXPECT_EQ(list.byte_total, 12) << "every field of the long line was read";

  ListingContents remote;
  ASSERT_TRUE(ReadPaneListing(PaneSide::kRemote, file, remote));
  ASSERT_FALSE(remote.entries.empty());
  EXPECT_EQ(remote.entries[0].name, "lead.txt");
  EXPECT_FALSE(ReadPaneListing(PaneSide::kLocal, dir / "missing.txt", local));
}

TEST(DirList, FoldersAndDrivesAreNotCountedAndClearKeepsPathAndFreeBytes) {
  DirList list = DirListFrom("/x", 77,
                             ParseListing("..|-1| | |-1|..\r\nC:\\,-2, , ,\r\nsub|-1|01/01/20|10:00|-1|sub\r\n"
                                          "a.txt|10|01/01/20|10:00|32|a.txt\r\nb.txt|20|01/01/20|10:00|32|b.txt\r\n"));
  EXPECT_EQ(list.entries.size(), 5u);
  EXPECT_EQ(list.file_count, 2);
  EXPECT_EQ(list.byte_total, 30);
  list.Clear();
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.file_count, 0);
  EXPECT_EQ(list.byte_total, 0);
  EXPECT_EQ(list.path, "/x");
  EXPECT_EQ(list.free_bytes, 77);
  list.Add(File("c", 5));
  list.Add(Folder("d"));
  EXPECT_EQ(list.file_count, 1);
  EXPECT_EQ(list.byte_total, 5);
}

TEST(DirList, SizesOfTwoGigabytesAndMoreReadAsUnsigned32Bit) {
  // The listing carries the low 32 bits, signed: 3,000,000,000 arrives as -1294967296.
  DirList list;
  list.Add(File("big.grd", -1294967296));
  EXPECT_EQ(list.byte_total, 3000000000.0);
  EXPECT_EQ(EntryBytes(list.entries[0]), 3000000000.0);
  EXPECT_EQ(SizeText(list.entries[0]), "2929688K");
}

// ---- Sorting ---------------------------------------------------------------

std::vector<DirEntry> Mixed() {
  return {File("b.txt", 5), Folder("zeta"), Drive("D:\\"), File("A.txt", 3), Folder("Alpha"), Drive("C:\\")};
}

TEST(SortEntries, DrivesThenFoldersThenFilesInEveryOrder) {
  for (int order : {0, 1, 2, 3, 4, -1}) {
    std::vector<DirEntry> entries = Mixed();
    SortEntries(entries, order);
    ASSERT_EQ(entries.size(), 6u);
    EXPECT_TRUE(entries[0].is_drive && entries[1].is_drive) << order;
    EXPECT_TRUE(entries[2].is_folder && !entries[2].is_drive && entries[3].is_folder) << order;
    EXPECT_TRUE(!entries[4].is_folder && !entries[5].is_folder) << order;
  }
  std::vector<DirEntry> entries = Mixed();
  SortEntries(entries, kSortOff);
  EXPECT_EQ(Names(entries), (Names_{"D:\\", "C:\\", "zeta", "Alpha", "b.txt", "A.txt"}))
      << "listing order within groups";
}

TEST(SortEntries, ByNameUpperCasesLettersOnly) {
  // Upper-cased, "_" (0x5F) sorts after every letter; compared with case it would sort before "b".
  std::vector<DirEntry> entries = {File("_z", 1), File("beta", 1), File("Alpha", 1), File("alpha", 1)};
  SortEntries(entries, kSortByName);
  EXPECT_EQ(Names(entries), (Names_{"Alpha", "alpha", "beta", "_z"})) << "equal keys keep listing order";
}

TEST(SortEntries, ByDateNewestFirstWithTwoDigitYearsAsNumbers) {
  std::vector<DirEntry> entries = {File("y2k", 1, "12/31/99", "23:59"),     File("later", 1, "01/01/05", "00:00"),
                                   File("b", 1, "06/15/10", "08:00"),       File("B", 1, "06/15/10", "08:00"),
                                   File("morning", 1, "06/15/10", "07:59"), Folder("old", "01/01/01", "10:00"),
                                   Folder("new", "02/01/01", "10:00")};
  SortEntries(entries, kSortByDate);
  // Year 99 is the largest key, so 1999 counts as newer than 2010.
  EXPECT_EQ(Names(entries), (Names_{"new", "old", "y2k", "B", "b", "morning", "later"}));
}

TEST(SortEntries, BySizeFoldersByNameFilesBySizeThenName) {
  std::vector<DirEntry> entries = {
      File("huge", -1294967296), File("b", 10), File("a", 10), File("c", 2), Folder("b"), Folder("B"), Folder("a")};
  SortEntries(entries, kSortBySize);
  EXPECT_EQ(Names(entries), (Names_{"B", "a", "b", "c", "a", "b", "huge"}));
}

TEST(SortEntries, ManyEntriesEndInOrder) {
  std::vector<DirEntry> entries;
  for (int i = 0; i < 20000; ++i) {
    const int n = (i * 7919) % 20000;
    entries.push_back(File(StrPrintf("f%05d", n), n % 977, StrPrintf("%02d/%02d/%02d", n % 12 + 1, n % 28 + 1, n % 100),
                           StrPrintf("%02d:%02d", n % 24, n % 60)));
  }
  std::vector<DirEntry> by_size = entries;
  SortEntries(by_size, kSortBySize);
  for (size_t i = 1; i < by_size.size(); ++i) {
    ASSERT_LE(by_size[i - 1].size, by_size[i].size);
    if (by_size[i - 1].size == by_size[i].size) {
      ASSERT_LT(by_size[i - 1].name, by_size[i].name);
    }
  }
  SortEntries(entries, kSortByName);
  for (size_t i = 1; i < entries.size(); ++i) ASSERT_LT(entries[i - 1].name, entries[i].name);
}

TEST(SortEntries, OrderTexts) {
  EXPECT_EQ(SortOrderText(0), "OFF");
  EXPECT_EQ(SortOrderText(1), "BY NAME");
  EXPECT_EQ(SortOrderText(2), "BY DATE");
  EXPECT_EQ(SortOrderText(3), "BY SIZE");
  EXPECT_EQ(SortOrderText(4), "????");
  EXPECT_EQ(SortOrderText(-1), "????");
  for (int order = 0; order <= 3; ++order) EXPECT_EQ(SortOrderFromText(SortOrderText(order)), order);
  EXPECT_EQ(SortOrderFromText("by name"), 0);
  EXPECT_EQ(SortOrderFromText("????"), 0);
}

// ---- Row and counter texts -------------------------------------------------

TEST(PaneTexts, NamesImagesAndAttributes) {
  const DirEntry up = Folder("..", " ", " ");
  EXPECT_EQ(NameText(up), "[Up One Level]");
  EXPECT_EQ(RowImage(up), kUpOneLevelImage);
  EXPECT_EQ(RowImage(Folder("sub")), kFolderImage);
  EXPECT_EQ(RowImage(Drive("C:\\")), kFolderImage);
  EXPECT_EQ(RowImage(File("a", 1)), kFileImage);
  EXPECT_EQ(NameText(File("a.crd", 1)), "a.crd");
  DirEntry f = File("a", 1);
  f.attributes = 0x27;
  EXPECT_EQ(AttributesText(f), "ARHS");
  f.attributes = 0x03;
  EXPECT_EQ(AttributesText(f), "RH");
  EXPECT_EQ(AttributesText(Folder("sub")), "") << "folders list -1";
  EXPECT_EQ(ModifiedText(File("a", 1, "03/04/25", "09:15")), "03/04/25 09:15");
  EXPECT_EQ(SizeText(Folder("sub")), "");
}

TEST(PaneTexts, SizeAndCounterNumbers) {
  EXPECT_EQ(SizeText(File("a", 99999)), "99999");
  EXPECT_EQ(SizeText(File("a", 100000)), "98K");
  EXPECT_EQ(SizeText(File("a", 0)), "0");
  EXPECT_EQ(CounterText(0), "0");
  EXPECT_EQ(CounterText(999999), "999999");
  EXPECT_EQ(CounterText(1000000), "977K");
  EXPECT_EQ(CounterText(99999999), "97656K");
  EXPECT_EQ(CounterText(100000000), "95M");
}

TEST(PaneTexts, FileTypes) {
  std::vector<std::string> asked;
  const FileTypeLookup lookup = [&](const std::string& ext) {
    asked.push_back(ext);
    return ext == "TxT" ? std::string("Text Document") : std::string();
  };
  EXPECT_EQ(FileTypeText(Folder("..", " ", " "), lookup), "");
  EXPECT_EQ(FileTypeText(Folder("sub"), lookup), "File Folder");
  EXPECT_EQ(FileTypeText(Drive("C:\\"), lookup), "File Folder");
  EXPECT_EQ(FileTypeText(File("notes.TxT", 1), lookup), "Text Document");
  EXPECT_EQ(FileTypeText(File("job.crd", 1), lookup), "CRD File");
  EXPECT_EQ(FileTypeText(File("job.rw5", 1), nullptr), "RW5 File");
  EXPECT_EQ(FileTypeText(File("a.b.c", 1), lookup), "C File");
  EXPECT_EQ(FileTypeText(File("x.c", 1), lookup), "C File");
  EXPECT_EQ(asked, (Names_{"TxT", "crd", "c", "c"}));
  asked.clear();
  EXPECT_EQ(FileTypeText(File("page.html", 1), lookup), "") << "four letters: no extension";
  EXPECT_EQ(FileTypeText(File("README", 1), lookup), "");
  EXPECT_EQ(FileTypeText(File("trailing.", 1), lookup), "");
  EXPECT_TRUE(asked.empty());
}

TEST(PaneTexts, ShortenedCollectorPaths) {
  const auto shorten = [](std::string_view p) { return ShortenedPath(p, PathStyle::kCollector); };
  EXPECT_EQ(shorten("\\"), "\\") << "the collector's root";
  EXPECT_EQ(shorten("\\jobs\\2026\\monday"), "\\Jobs\\2026\\Monday");
  EXPECT_EQ(shorten("c:"), "C:\\") << "two characters get a backslash";
  EXPECT_EQ(shorten("c:\\"), "C:\\");
  EXPECT_EQ(shorten("c:\\data\\jOBS\\"), "C:\\Data\\JOBS");
  EXPECT_EQ(shorten("\\\\server\\share\\x"), "\\\\Server\\Share\\X");
  EXPECT_EQ(shorten("????"), "????");
  EXPECT_EQ(shorten(""), "");

  const std::string just_short = "\\Jobs\\A" + std::string(32, 'a');  // 39 characters
  EXPECT_EQ(shorten(just_short), just_short);
  const std::string long_root = "\\Jobs\\A" + std::string(33, 'a');  // 40 characters
  EXPECT_EQ(shorten(long_root), "\\..." + long_root.substr(long_root.size() - 33));
  const std::string long_drive = "c:\\survey\\projects\\2026\\harbour bridge\\day one";
  const std::string expected_drive = "C:\\Survey\\Projects\\2026\\Harbour bridge\\Day one";
  EXPECT_EQ(shorten(long_drive), "C:..." + expected_drive.substr(expected_drive.size() - 33));
  const std::string long_net = "\\\\fileserver\\surveys\\projects\\2026\\harbour";
  const std::string expected_net = "\\\\Fileserver\\Surveys\\Projects\\2026\\Harbour";
  EXPECT_EQ(shorten(long_net), "\\\\..." + expected_net.substr(expected_net.size() - 33));
}

TEST(PaneTexts, ShortenedLocalPathsKeepCase) {
  const auto shorten = [](std::string_view p) { return ShortenedPath(p, PathStyle::kLocal); };
  EXPECT_EQ(shorten("/"), "/");
  EXPECT_EQ(shorten("/home/surveyor/jobs"), "/home/surveyor/jobs");
  EXPECT_EQ(shorten("/home/Surveyor/data"), "/home/Surveyor/data");
  const std::string just_short = "/home/" + std::string(33, 'a');  // 39 characters
  EXPECT_EQ(shorten(just_short), just_short);
  const std::string long_path = "/home/surveyor/projects/2026/harbour/Day One";
  EXPECT_EQ(shorten(long_path), "/..." + long_path.substr(long_path.size() - 33));
  // Characters, not bytes: "é" is two bytes and never cut in half.
  std::string accented = "/home/";
  for (int i = 0; i < 40; ++i) accented += "\xC3\xA9";
  EXPECT_EQ(shorten(accented), "/..." + accented.substr(accented.size() - 66));
  EXPECT_EQ(shorten("/h/\xC3\xA9" + std::string(35, 'x')), "/h/\xC3\xA9" + std::string(35, 'x'))
      << "39 characters in 40 bytes";
}

// ---- Tagging ---------------------------------------------------------------

struct Panes {
  DirList local = DirListFrom("/home/s", 1e9,
                              ParseListing("..|-1| | |-1|..\r\na.crd|1000|01/01/20|10:00|32|a.crd\r\n"
                                           "sub|-1|01/01/20|10:00|-1|sub\r\nb.rw5|250|01/01/20|10:00|32|b.rw5\r\n"));
  DirList remote = DirListFrom("\\Jobs", 0, ParseListing("x.crd|7|01/01/20|10:00|32|X.CRD\r\n"));
  TagCounters counters;
};

TEST(Tagging, TwoFilesAndAFolderCountThreeWithTheFilesBytes) {
  Panes p;
  TagSelection(p.local, p.remote, PaneSide::kLocal, {1, 2, 3}, p.counters);
  EXPECT_EQ(p.counters.total_tagged, 3);
  EXPECT_EQ(p.counters.local_tagged, 3);
  EXPECT_EQ(p.counters.remote_tagged, 0);
  EXPECT_EQ(p.counters.local_bytes, 1250);
  EXPECT_EQ(p.counters.total_bytes, 1250);
  EXPECT_TRUE(p.local.entries[1].tagged && p.local.entries[2].tagged && p.local.entries[3].tagged);
  EXPECT_FALSE(p.local.entries[0].tagged);
  EXPECT_EQ(TaggedCountText(p.counters), "Tagged LOCAL Files: 3");
  EXPECT_EQ(TaggedBytesText(p.counters), "Bytes: 1250");
}

TEST(Tagging, TagsLiveInOnePaneAtATime) {
  Panes p;
  TagSelection(p.local, p.remote, PaneSide::kLocal, {1}, p.counters);
  FocusPane(p.local, p.remote, PaneSide::kRemote, {0, 0, 9}, p.counters);
  EXPECT_FALSE(p.local.entries[1].tagged);
  EXPECT_TRUE(p.remote.entries[0].tagged);
  EXPECT_EQ(p.counters.total_tagged, 1) << "a repeated row counts once; rows out of range are ignored";
  EXPECT_EQ(p.counters.local_tagged, 0);
  EXPECT_EQ(p.counters.remote_bytes, 7);
  EXPECT_EQ(p.counters.local_bytes, 0);
  EXPECT_EQ(TaggedCountText(p.counters), "Tagged REMOTE Files: 1");

  ClearAllTags(p.local, p.remote, p.counters);
  EXPECT_FALSE(p.remote.entries[0].tagged);
  EXPECT_EQ(p.counters.total_tagged, 0);
  EXPECT_EQ(p.counters.total_bytes, 0);
  EXPECT_FALSE(p.counters.local_has_focus) << "the focus flag stays";
}

TEST(Tagging, PaneCounterLines) {
  Panes p;
  const PaneCounterTexts texts = PaneCounters(p.local);
  EXPECT_EQ(texts.total_files, "Total Files: 2");
  EXPECT_EQ(texts.bytes, "Bytes: 1250");
  EXPECT_EQ(texts.bytes_free, "Bytes Free: 954M");
}

}  // namespace
}  // namespace pelikon
