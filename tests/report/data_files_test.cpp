#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "report/attribute_store.h"
#include "report/format_store.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::TempDir;

std::string Contents(const std::filesystem::path& file) {
  std::string content;
  ReadWholeFile(file, content);
  return content;
}

TEST(Formats, SavingUnderAnotherCaseReplacesTheEntryWhereItStands) {
  TempDir dir;
  const std::string before = "alpha\n!A|B\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n\n";
  const std::string after = "gamma\r\n^C\r\n0 1 12 1 2 0 1 ' ' 1 1 1 1\r\n";
  const auto file = dir.Write(kFormatsFile, before + "Beta\nX\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n" + after);
  ReportFormat format{"BETA", {{"PT", SortMode::kHold}, {"EL", SortMode::kUp}, {"D", SortMode::kCollapse}}, {}};
  format.options.width = 9;
  format.options.use_commas = true;
  ASSERT_TRUE(SaveFormat(file, format));
  format.used[1].sort = SortMode::kIgnore;
  ASSERT_TRUE(SaveFormat(file, format));
  EXPECT_EQ(Contents(file), before + "BETA\n!PT|`EL|~D\n1 0 9 0 0 0 1 ' ' 0 1 0 0\n" + after);
  ASSERT_EQ(ReadFormats(file).size(), 3u);
  EXPECT_EQ(FindFormat(file, "beta"), format);

  // A new name goes to the end, on a line of its own.
  TempDir::WriteFile(file, "a\nK\n1 0 20 0 0 0 1 ' ' 0 0 0 0");
  ASSERT_TRUE(SaveFormat(file, {"b", {}, {}}));
  EXPECT_EQ(Contents(file), "a\nK\n1 0 20 0 0 0 1 ' ' 0 0 0 0\nb\n\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
}

TEST(Formats, ReadingSkipsEmptyLinesAcceptsCrLfAndCutsLongLines) {
  TempDir dir;
  const std::string long_name(1500, 'n');
  const auto file = dir.Write(kFormatsFile,
                              "\r\n\r\nfirst\r\n\r\n0 1 33 1 3 7 7 'x' 1 0 1 0\r\n\n\n"
                              "second\n|!|^UP|~|K\n1 1 -4\n" +
                                  long_name + "\nA\n");
  const std::vector<ReportFormat> formats = ReadFormats(file);
  ASSERT_EQ(formats.size(), 3u);
  EXPECT_EQ(formats[0].name, "first");
  EXPECT_TRUE(formats[0].used.empty());
  const FormatOptions first{false, true, 33, true, 3, true, false, true, false};
  EXPECT_EQ(formats[0].options, first);
  // Options read as far as they go; the rest keep their defaults.
  const FormatOptions second{true, true, -4, false, 0, false, false, false, false};
  EXPECT_EQ(formats[1].options, second);
  EXPECT_EQ(formats[1].used, (std::vector<FormatField>{{"UP", SortMode::kDown}, {"K", SortMode::kUp}}));
  EXPECT_EQ(formats[2].name, long_name.substr(0, kReportLineLimit));
  EXPECT_EQ(formats[2].used, (std::vector<FormatField>{{"A", SortMode::kUp}}));
  EXPECT_TRUE(ReadFormats(dir / "missing").empty());
}

TEST(Formats, DeleteAndWhatCannotBeStored) {
  TempDir dir;
  const auto file = dir / kFormatsFile;
  ASSERT_TRUE(SaveFormat(file, {"one", {{"A", SortMode::kUp}}, {}}));
  ASSERT_TRUE(SaveFormat(file, {"two", {}, {}}));
  EXPECT_FALSE(DeleteFormat(file, "three"));
  EXPECT_TRUE(DeleteFormat(file, "ONE"));
  EXPECT_EQ(Contents(file), "two\n\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
  for (const ReportFormat& refused :
       {ReportFormat{"", {}, {}}, ReportFormat{"a\nb", {}, {}}, ReportFormat{"x", {{"a|b", SortMode::kUp}}, {}},
        ReportFormat{"x", {{"!a", SortMode::kUp}}, {}}})
    EXPECT_FALSE(SaveFormat(file, refused)) << refused.name;
  EXPECT_EQ(Contents(file), "two\n\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
  EXPECT_EQ(SortModeFromNumber(2), SortMode::kDown);
  EXPECT_EQ(SortModeFromNumber(5), SortMode::kUp);
}

TEST(FormatChoices, RecordReplacesTheLineOfTheSameName) {
  TempDir dir;
  const auto file = dir.Write(kFormatChoicesFile, "Points|F1\r\nno bar\nStakeout|F|2\n");
  EXPECT_EQ(LastUsedFormat(file, "stakeout"), "F|2");
  ASSERT_TRUE(RecordUsedFormat(file, "POINTS", "Mine"));
  ASSERT_TRUE(RecordUsedFormat(file, "Traverse", "T"));
  EXPECT_EQ(Contents(file), "POINTS|Mine\nno bar\nStakeout|F|2\nTraverse|T\n");
  EXPECT_FALSE(RecordUsedFormat(file, "a|b", "c"));
  EXPECT_EQ(LastUsedFormat(dir / "missing", "Points"), "");

  TempDir::WriteFile(file, "R|" + std::string(2000, 'f') + "\nS|s\n");
  EXPECT_EQ(LastUsedFormat(file, "R").size(), kReportLineLimit - 2);
  EXPECT_EQ(LastUsedFormat(file, "S"), "s");
}

TEST(UserAttributes, TheLineShapeCarriesTheTotalOption) {
  TempDir dir;
  const auto file = dir.Write(kUserAttributesFile,
                              "[Other]\nX| x| 1| 1| 1\n[Job]\r\n"
                              "S| Summed| [A]+1| 1| 2\r\n"
                              "N | None | A*2 | 0 | 4 | \n"
                              "R| Recalc| A/B| 1| 3| __RECALC\n"
                              "V| Average| A| 1| 3| DIST\n"
                              "O| Or| [A]>1|[B]<2| 1| 0\n\n| no key| 1| 1| 1\n");
  struct Expected {
    std::string key;
    std::string equation;
    bool shown;
    int decimals;
    TotalOption total;
  };
  const std::vector<Expected> expected = {{"S", "[A]+1", true, 2, TotalOption::kSum},
                                          {"N", "A*2", false, 4, TotalOption::kNone},
                                          {"R", "A/B", true, 3, TotalOption::kRecalculate},
                                          {"V", "A", true, 3, TotalOption::kAverage},
                                          {"O", "[A]>1|[B]<2", true, 0, TotalOption::kSum}};
  const std::vector<UserAttribute> read = ReadUserAttributes(file, "JOB");
  ASSERT_EQ(read.size(), expected.size());
  for (size_t i = 0; i < read.size(); ++i) {
    EXPECT_EQ(read[i].key, expected[i].key);
    EXPECT_EQ(read[i].equation, expected[i].equation) << read[i].key;
    EXPECT_EQ(read[i].shown, expected[i].shown) << read[i].key;
    EXPECT_EQ(read[i].decimals, expected[i].decimals) << read[i].key;
    EXPECT_EQ(TotalOptionOf(read[i].aver_key), expected[i].total) << read[i].key;
  }
  EXPECT_EQ(read[3].aver_key, "DIST");
  EXPECT_EQ(read[1].note, "None");
}

TEST(UserAttributes, WritingASectionKeepsTheOthers) {
  TempDir dir;
  const std::string first = "; kept\n[A]\r\nX| x| 1| 1| 1\r\n";
  const std::string last = "[C]\nZ| z| 3| 1| 1\n";
  const auto file = dir.Write(kUserAttributesFile, first + "[b]\nY| y| 2| 1| 1\n\n" + last + "[B]\nW| w| 1| 1| 1");
  const std::vector<UserAttribute> attributes = {{"K", "Key", "[A]|1", false, 2, std::nullopt},
                                                 {"M", "Mean", "A", true, 3, "K"}};
  ASSERT_TRUE(WriteUserAttributes(file, "B", attributes));
  EXPECT_EQ(Contents(file), first + "[b]\nK| Key| [A]|1| 0| 2\nM| Mean| A| 1| 3| K\n" + last);
  EXPECT_EQ(ReadUserAttributes(file, "b"), attributes);
  EXPECT_EQ(AttributeSections(file), (std::vector<std::string>{"A", "b", "C"}));

  TempDir::WriteFile(file, "[A]");
  ASSERT_TRUE(WriteUserAttributes(file, "a", {{"K", "", "1", true, 3, ""}}));
  ASSERT_TRUE(WriteUserAttributes(file, "New", {}));
  EXPECT_EQ(Contents(file), "[A]\nK| | 1| 1| 3| \n[New]\n");
  // An aver_key that would read as the decimals of a shorter line.
  EXPECT_FALSE(WriteUserAttributes(file, "A", {{"K", "", "1", true, 3, "12"}}));
}

TEST(AttributeDisplays, TheClosingBarTellsNoAverKeyFromAnEmptyOne) {
  TempDir dir;
  const auto file = dir.Write(kAttributeDisplayFile, "[S]\na| b| 2|\na| b| 2| |\na| b| 2| K|\na| b\r\n");
  const std::vector<AttributeDisplay> read = ReadAttributeDisplays(file, "s");
  const std::vector<AttributeDisplay> expected = {
      {"a", "b", 2, std::nullopt}, {"a", "b", 2, ""}, {"a", "b", 2, "K"}, {"a", "b", 3, std::nullopt}};
  EXPECT_EQ(read, expected);
  ASSERT_TRUE(WriteAttributeDisplays(file, "S", expected));
  EXPECT_EQ(Contents(file), "[S]\na| b| 2|\na| b| 2| |\na| b| 2| K|\na| b| 3|\n");
  EXPECT_EQ(ReadAttributeDisplays(file, "S"), expected);
}

TEST(DataFiles, AFailedWriteKeepsTheOldFile) {
  using Writer = std::function<bool(const std::filesystem::path&)>;
  const std::vector<std::pair<const char*, Writer>> writers = {
      {kFormatsFile,
       [](const auto& f) {
         return SaveFormat(f, {"n", {}, {}});
       }},
      {kFormatChoicesFile, [](const auto& f) { return RecordUsedFormat(f, "r", "n"); }},
      {kUserAttributesFile, [](const auto& f) { return WriteUserAttributes(f, "s", {}); }},
      {kAttributeDisplayFile, [](const auto& f) { return WriteAttributeDisplays(f, "s", {}); }}};
  for (const auto& [name, write] : writers) {
    TempDir dir;
    const auto file = dir.Write(name, "old\n");
    std::filesystem::create_directory(TwinPath(file));
    EXPECT_FALSE(write(file)) << name;
    EXPECT_EQ(Contents(file), "old\n") << name;
    // A target that exists but cannot be read is not replaced either.
    const auto folder = dir / "folder";
    std::filesystem::create_directory(folder);
    EXPECT_FALSE(write(folder)) << name;
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << name;
  }
}

}  // namespace
}  // namespace pelikon
