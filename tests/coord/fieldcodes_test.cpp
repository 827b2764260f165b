// The field-to-finish table conversion: single lines (formats, groups,
// line codes, numbers, what a line lacks), whole texts (line ends, long
// lines) and files (the output's name, refusals, failed writes).
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "coord/fieldcodes/field_code_line.h"
#include "coord/fieldcodes/field_code_table.h"
#include "platform/atomic_file.h"
#include "platform/trace.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

namespace fs = std::filesystem;
using testing::Contents;
using testing::EntryNames;
using testing::TempDir;

// A code line with all its fields: the number in field 18, then a layer
// field, the two markers and the seven fields after the second, then the
// line-code parts.
std::string FullLine(const std::string& type, const std::string& number, const std::string& a, const std::string& b,
                     const std::string& c, const std::string& group_prefix = {}) {
  return group_prefix + "TR|Tree||x|Tree line|" + type + "|f7|f8|f9|10.5|f11|f12|f13|f14|f15|f16|f17|" + number +
         "|layer|END|between|END|g1|g2|g3|g4|g5|g6|g7|" + a + "|" + b + "|" + c;
}

struct LineCase {
  std::string line;
  std::optional<std::string> expected;
};

// Runs the lines in order through one group, as a file does.
void ExpectLines(const std::vector<LineCase>& cases) {
  std::string group;
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.line);
    EXPECT_EQ(ConvertFieldCodeLine(c.line, group), c.expected);
  }
}

TEST(FieldCodeLine, CommentsGroupsAndDelimiters) {
  ExpectLines({
      {"#anything|a|b|c|d|0|", std::nullopt},
      {"TR|Tree||x|Tree line|0|", "TR, N, N, Tree line, Tree"},
      {"TR|Tree||x|Tree line|1|", "TR, Y, N, Tree line, Tree"},
      {"TR|Tree||x|Tree line|3|", "TR, Y, Y, Tree line, Tree"},
      {"@X|SURVEY|", std::nullopt},
      {"TR|Tree||x|Tree line|3|", "$SURVEY, TR, Y, Y, Tree line, Tree"},
      {"@X", std::nullopt},
      {"TR|Tree||x|Tree line|3|", "TR, Y, Y, Tree line, Tree"},
      {"@X|  SURVEY 2  |rest", std::nullopt},
      {"TR|Tree||x|Tree line|0|", "$SURVEY 2, TR, N, N, Tree line, Tree"},
      {"@X|SURVEY", std::nullopt},  // one delimiter: no second field
      {"TR|Tree||x|Tree line|0|", "TR, N, N, Tree line, Tree"},
      {"@X,CREW,", std::nullopt},
      {"TR|Tree||x|Tree line|0|", "$CREW, TR, N, N, Tree line, Tree"},
      {"@X||", std::nullopt},
      // An empty second field: the untrimmed code is the tail name.
      {" TR |   ||x|  Tree line  |0|", " TR , N, N, Tree line,  TR "},
      {"TR,Tree,,x,Tree line,2,", "TR, Y, N, Tree line, Tree"},
      {"TR,A|Tree||x|Tree line|7|", "TR,A, Y, Y, Tree line, Tree"},  // a bar wins over commas
      {"TR|Tree||x|Tree line| 2 poly|", "TR, Y, N, Tree line, Tree"},
      {"TR|Tree||x|Tree line|0", std::nullopt},  // no delimiter after field 6
      {"TR|Tree||x|Tree line|5|", std::nullopt},
      {"TR|Tree||x|Tree line|-1|", std::nullopt},
      {"", std::nullopt},
      {"TR|Tree||x|Tree line|0|\r\nSECOND|b||x|d|1|", "TR, N, N, Tree line, Tree"},
  });
}

// Every entity type with and without a line code and a group.
TEST(FieldCodeLine, TwelveFormats) {
  struct Format {
    const char* type;
    bool line_code;
    bool group;
    const char* expected;
  };
  const std::vector<Format> formats = {
      {"0", true, false, "TR, $A1|, N, N, Tree line, Tree"},
      {"0", true, true, "$SURVEY, TR, $A1|, N, N, Tree line, Tree"},
      {"0", false, true, "$SURVEY, TR, N, N, Tree line, Tree"},
      {"0", false, false, "TR, N, N, Tree line, Tree"},
      {"1", true, true, "$SURVEY, TR, $A1|, Y, N, Tree line, Tree"},
      {"2", true, false, "TR, $A1|, Y, N, Tree line, Tree"},
      {"1", false, true, "$SURVEY, TR, Y, N, Tree line, Tree"},
      {"2", false, false, "TR, Y, N, Tree line, Tree"},
      {"3", true, false, "TR, $A1|, Y, Y, Tree line, Tree"},
      {"7", true, true, "$SURVEY, TR, $A1|, Y, Y, Tree line, Tree"},
      {"7", false, true, "$SURVEY, TR, Y, Y, Tree line, Tree"},
      {"3", false, false, "TR, Y, Y, Tree line, Tree"},
  };
  for (const Format& f : formats) {
    SCOPED_TRACE(std::string(f.type) + (f.line_code ? " line code" : "") + (f.group ? " group" : ""));
    std::string group = f.group ? "SURVEY" : "";
    EXPECT_EQ(ConvertFieldCodeLine(FullLine(f.type, "", f.line_code ? "A1" : "", "", ""), group), f.expected);
  }
}

TEST(FieldCodeLine, LineCodeFromParts) {
  struct Parts {
    const char* type;
    const char* a;
    const char* b;
    const char* c;
    const char* line_code;  // empty: none
  };
  const std::vector<Parts> cases = {
      {"0", "A", "B", "C", "$A|"},  {"0", "", "B", "C", ""},          {"1", "A", "B", "C", "$A|B"},
      {"1", "", "B", "", "$|B"},    {"2", "A", "", "C", "$A|"},       {"2", "", "", "C", ""},
      {"3", "A", "B", "C", "$A|C"}, {"7", "", "B", "C", "$|C"},       {"3", "A", "B", "", "$A|"},
      {"7", "", "B", "", ""},       {"1", "  A ", " B ", "", "$A|B"},
  };
  for (const Parts& p : cases) {
    SCOPED_TRACE(std::string(p.type) + " [" + p.a + "][" + p.b + "][" + p.c + "]");
    std::string group;
    const std::optional<std::string> out = ConvertFieldCodeLine(FullLine(p.type, "", p.a, p.b, p.c), group);
    ASSERT_TRUE(out);
    const std::string expected_start = *p.line_code ? std::string("TR, ") + p.line_code + ", " : "TR, ";
    EXPECT_EQ(out->substr(0, expected_start.size()), expected_start);
    EXPECT_EQ(out->find('$') != std::string::npos, *p.line_code != '\0') << *out;
  }
}

TEST(FieldCodeLine, NumberAndPartsNeedTheirFields) {
  const std::string through_17 = "TR|Tree||x|Tree line|1|f7|f8|f9|10.5|f11|f12|f13|f14|f15|f16|f17|";
  ExpectLines({
      {FullLine("1", "12", "", "", ""), "TR, Y, N, Tree line, 12, Tree"},
      {FullLine("1", "0", "", "", ""), "TR, Y, N, Tree line, Tree"},
      {FullLine("1", "300", "", "", ""), "TR, Y, N, Tree line, Tree"},
      {FullLine("1", "1", "", "", ""), "TR, Y, N, Tree line, 1, Tree"},
      {FullLine("1", "255", "A", "B", ""), "TR, $A|B, Y, N, Tree line, 255, Tree"},
      {FullLine("1", "256", "A", "B", ""), "TR, $A|B, Y, N, Tree line, Tree"},
      // Without markers the number stays; no parts.
      {through_17 + "12|A|B|C", "TR, Y, N, Tree line, 12, Tree"},
      {through_17 + "12", "TR, Y, N, Tree line, 12, Tree"},
      // Field 17 without its delimiter: "12" is not field 18.
      {"TR|Tree||x|Tree line|1|f7|f8|f9|10.5|f11|f12|f13|f14|f15|f16|12", "TR, Y, N, Tree line, Tree"},
      // The first marker right after field 18; parts without trailing fields.
      {through_17 + "12|END|x|END|g1|g2|g3|g4|g5|g6|g7|A", "TR, $A|, Y, N, Tree line, 12, Tree"},
      {through_17 + "12|END|x|END|g1|g2|g3|g4|g5|g6|g7|A|B", "TR, $A|B, Y, N, Tree line, 12, Tree"},
      // One marker only, or too few fields after the second.
      {through_17 + "12|END|g1|g2|g3|g4|g5|g6|g7|A|B|C", "TR, Y, N, Tree line, 12, Tree"},
      {through_17 + "12|END|x|END|g1|g2|g3|g4|g5|g6|A", "TR, Y, N, Tree line, 12, Tree"},
  });
}

std::string LongDescriptionLine(size_t length) {
  const std::string head = "A|a||x|", tail = "|0|";
  return head + std::string(length - head.size() - tail.size(), 'd') + tail;
}

TEST(FieldCodeText, LineEndsAndLongLines) {
  const std::string lf = "#c\nTR|Tree||x|Tree line|0|\n@X|S|\nTR|Tree||x|Tree line|1|\nZZ|z||x|d|4|\n";
  std::string crlf, cr;
  for (char ch : lf) {
    crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
    cr += ch == '\n' ? '\r' : ch;
  }
  const std::string expected = "TR, N, N, Tree line, Tree\r\n$S, TR, Y, N, Tree line, Tree\r\n";
  for (const std::string& input : {lf, crlf, cr, lf.substr(0, lf.size() - 1)}) {
    const FieldCodeTable table = ConvertFieldCodeText(input);
    EXPECT_EQ(table.text, expected);
    EXPECT_EQ(table.converted, 2u);
    EXPECT_EQ(table.unknown_entity_types, 1u);
  }

  // A line of the limit's length is one line; what goes beyond it is a
  // line of its own.
  const std::string longest = LongDescriptionLine(kFieldCodeLineLimit);
  const std::string converted_longest = "A, N, N, " + std::string(kFieldCodeLineLimit - 10, 'd') + ", a\r\n";
  EXPECT_EQ(ConvertFieldCodeText(longest + "\r\n").text, converted_longest);
  EXPECT_EQ(ConvertFieldCodeText(longest + "B|b||x|d|1|\n").text, converted_longest + "B, Y, N, d, b\r\n");
  EXPECT_EQ(ConvertFieldCodeText(LongDescriptionLine(kFieldCodeLineLimit + 1)).converted, 0u);
}

TEST(FieldCodeFile, OutputNameUpperCasesOnlyTheFileName) {
  const std::vector<std::pair<fs::path, std::optional<fs::path>>> cases = {
      {"/Jobs/Site.fld/site.fld", fs::path("/Jobs/Site.fld/SITE.FCL")},
      {"/Jobs/North/Job 7.Fld.bak", fs::path("/Jobs/North/JOB 7.FCL")},
      {"rel/a.fldx", fs::path("rel/A.FCL")},
      {"b.FLD", fs::path("B.FCL")},
      {"/Jobs/Site.fld/notes.txt", std::nullopt},
      {"/Jobs/site.fl", std::nullopt},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(FieldCodeOutputPath(input), expected) << input;
}

class FieldCodeFiles : public ::testing::Test {
 protected:
  TempDir dir_;
  const std::string table_ = "TR|Tree||x|Tree line|0|\r\nBAD|b||x|d|9|\r\nBAD|b||x|d|12|\r\n";
};

TEST_F(FieldCodeFiles, ConvertsBesideTheInputAndTracesLeftOutLines) {
  const fs::path input = dir_.Write("Mixed/Case/job.fld", table_);
  TraceCapture trace;
  fs::path output;
  ASSERT_EQ(ConvertFieldCodes(input, output), 1);
  EXPECT_EQ(output, dir_ / "Mixed/Case/JOB.FCL");
  EXPECT_EQ(Contents(output), "TR, N, N, Tree line, Tree\r\n");
  EXPECT_EQ(EntryNames(dir_ / "Mixed/Case"), (std::set<std::string>{"job.fld", "JOB.FCL"}));
  EXPECT_NE(trace.Text().find("2 lines"), std::string::npos) << trace.Text();
}

TEST_F(FieldCodeFiles, RefusesWhatWouldLoseAFile) {
  // No ".FLD" in the name: the table would take the input's own name.
  const fs::path text = dir_.Write("table.txt", table_);
  fs::path output = "stale";
  EXPECT_EQ(ConvertFieldCodes(text, output), 0);
  EXPECT_TRUE(output.empty());
  EXPECT_EQ(Contents(text), table_);
  EXPECT_EQ(ConvertFieldCodeFile(text, text).error, FieldCodeFileError::kSameFile);
  EXPECT_EQ(Contents(text), table_);
  EXPECT_EQ(EntryNames(dir_.Path()), std::set<std::string>{"table.txt"});

  // A failed write keeps the earlier table whole; so does a missing input.
  const fs::path input = dir_.Write("site.fld", table_);
  const fs::path earlier = dir_.Write("SITE.FCL", "earlier table\r\n");
  fs::create_directory(TwinPath(earlier));
  EXPECT_EQ(ConvertFieldCodes(input, output), 0);
  EXPECT_EQ(Contents(earlier), "earlier table\r\n");
  fs::remove(TwinPath(earlier));
  {
    const testing::FileSizeLimit full_disk(10);
    EXPECT_EQ(ConvertFieldCodeFile(input, earlier).error, FieldCodeFileError::kOutputUnwritable);
  }
  EXPECT_EQ(Contents(earlier), "earlier table\r\n");
  EXPECT_FALSE(fs::exists(TwinPath(earlier)));
  fs::remove(input);
  const FieldCodeFileResult missing = ConvertFieldCodeFile(input, earlier);
  EXPECT_EQ(missing.error, FieldCodeFileError::kInputUnreadable);
  EXPECT_EQ(missing.cause, std::errc::no_such_file_or_directory);
  EXPECT_EQ(Contents(earlier), "earlier table\r\n");
}

// Code lines of many lengths, CR LF ended, cut at `size` characters.
std::string Filler(size_t size) {
  std::string text;
  for (int i = 0; text.size() < size; ++i)
    text += "C" + std::to_string(i) + "|n" + std::to_string(i % 7) + "||x|d" + std::string(i % 90, 'e') + "|" +
            std::to_string(i % 4) + "|\r\n";
  text.resize(size);
  return text;
}

// A file of several blocks converts as the same text in one piece: lines,
// CR LF and a line longer than the limit split between blocks.
TEST_F(FieldCodeFiles, BlocksJoinAsOneText) {
  std::string text = Filler(kFieldCodeBlockSize - 40);
  text += "\nTR|Tree||x|" + std::string(24, 'p') + "|1|\r";  // the CR ends the first block
  ASSERT_EQ(text.size(), kFieldCodeBlockSize);
  text += "\n" + LongDescriptionLine(2 * kFieldCodeLineLimit + 100) + "\n";
  text += "@G|BLOCK TWO|\n" + Filler(kFieldCodeBlockSize * 2) + "\nLAST|l||x|d|3|";
  const fs::path input = dir_.Write("big.fld", text);
  const FieldCodeTable expected = ConvertFieldCodeText(text);
  ASSERT_GT(expected.text.size(), kFieldCodeBlockSize);
  const std::string last = "$BLOCK TWO, LAST, Y, Y, d, l\r\n";
  EXPECT_EQ(expected.text.substr(expected.text.size() - last.size()), last);
  fs::path output;
  ASSERT_EQ(ConvertFieldCodes(input, output), 1);
  EXPECT_TRUE(Contents(output) == expected.text);
}

}  // namespace
}  // namespace pelikon
