// The report library as a host meets it: the real libquorvel.so loaded by
// name, fed through its C functions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdarg>
#include <string>
#include <vector>

#include "platform/dynamic_library.h"
#include "platform/text.h"
#include "report/report_api.h"
#include "report/report_model.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

std::vector<std::string>* traced = nullptr;

extern "C" void CollectTrace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  if (traced != nullptr) traced->push_back(VStrPrintf(format, args));
  va_end(args);
}

class ReportInterfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(library_.Load("quorvel.DLL", std::filesystem::path(PELIKON_BUILD_DIR) / "bin")) << library_.LastError();
    traced = &trace_;
    data_ = temp_.Path().string() + "/";
    host_ = ReportHost{data_.c_str(), data_.c_str(), "", "", "", nullptr, CollectTrace};
    Fn<SetVarsPtrFunction>("SetVarsPtr")(&host_);
    Fn<SetVarsFunction>("SetVars")(data_.c_str(), data_.c_str(), "", "", "");
  }
  void TearDown() override {
    // The library's state lives as long as the process: leave none behind.
    while (Fn<GetCurrentReportFunction>("GetCurrentReport")() != nullptr) Fn<DumpReportFunction>("DumpReport")();
    Fn<SetVarsPtrFunction>("SetVarsPtr")(nullptr);
    traced = nullptr;
  }
  template <class F>
  F Fn(const char* name) {
    const F function = library_.Bind<F>(name);
    EXPECT_NE(function, nullptr) << name;
    return function;
  }
  void Start(const char* name) { Fn<StartReportFunction>("StartReport")(name); }
  void Entry() { Fn<StartEntryFunction>("StartEntry")(); }
  void Real(const char* key, double value, int places = 3) {
    Fn<AddDoubleTokenFunction>("AddDoubleToken")(key, key, value, places, nullptr, 1);
  }
  void Text(const char* key, const char* value) {
    Fn<AddStringTokenFunction>("AddStringToken")(key, key, value, nullptr, 1);
  }
  const ReportNode* First() { return Fn<GetCurrentReportFunction>("GetCurrentReport")(); }
  static int Count(const ReportNode* node) {
    int n = 0;
    for (; node != nullptr; node = node->next) ++n;
    return n;
  }

  DynamicLibrary library_;
  testing::TempDir temp_;
  std::string data_;
  ReportHost host_{};
  std::vector<std::string> trace_;
};

TEST_F(ReportInterfaceTest, TokensAreKeptAsTheHostGaveThemAndFoundWithoutRegardToCase) {
  EXPECT_STREQ(Fn<ReportVersionCheckFunction>("ReportVersionCheck")(), "$Revision: 1.94 $");
  Start("Points");
  Entry();
  Entry();  // no tokens yet: the same (first) entry again
  Real("X(1)-A", 1.5);
  Real("SKIPPED", REPORT_NO_VALUE);
  Real("KEPT", 98765432.0);
  Text("NORTH", "1000");
  const ReportNode* first = First();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(Count(first), 1);
  EXPECT_STREQ(first->tokens->key, "X{1}_A");
  const auto get = Fn<GetTokenFunction>("GetToken");
  EXPECT_NE(get(first->tokens, "x{1}_a"), nullptr);
  EXPECT_EQ(get(first->tokens, "SKIPPED"), nullptr);
  ASSERT_NE(get(first->tokens, "kept"), nullptr);
  EXPECT_EQ(Fn<GetTokenFunction>("GetReportToken")(first->tokens, "KEPT")->real, 98765432.0);
}

TEST_F(ReportInterfaceTest, TextLinesTakeTheirPlacesAroundTheEntries) {
  const auto text = Fn<AddTextEntryFunction>("AddTextEntry");
  Start("Points");
  text("before");  // before the (empty) first entry, which stays the place of the first tokens
  Entry();
  Real("N", 1);
  Fn<FinishEntryFunction>("FinishEntry")();
  text("after");
  Entry();
  Real("N", 2);
  Entry();
  Real("N", 3);
  Fn<DumpEntryFunction>("DumpEntry")();
  Entry();
  Real("N", 4);
  std::vector<std::string> order;
  for (const ReportNode* node = First(); node != nullptr; node = node->next)
    order.push_back(node->kind == kReportTextEntry ? std::string(node->text)
                                                   : StrPrintf("%d:%g", node->number, node->tokens->real));
  EXPECT_EQ(order, (std::vector<std::string>{"before", "0:1", "1:2", "3:4", "after"}));
}

TEST_F(ReportInterfaceTest, FiveReportsNestAndTheSixthIsRefused) {
  for (const char* name : {"R1", "R2", "R3", "R4", "R5"}) {
    Start(name);
    Entry();
    Text("NAME", name);
  }
  Start("R6");
  EXPECT_STREQ(First()->report_name, "R5");
  ASSERT_FALSE(trace_.empty());
  EXPECT_EQ(trace_.back(), "Maximum number of reports is exceeded\n");
  // Dropping the inner report brings the outer one back with its entry.
  Fn<DumpReportFunction>("DumpReport")();
  EXPECT_STREQ(First()->report_name, "R4");
  Text("MORE", "x");
  EXPECT_STREQ(First()->tokens->next->key, "MORE");
}

TEST_F(ReportInterfaceTest, UserAttributesAddTheirResultsToEachEntry) {
  temp_.Write("userattr.dta",
              "[OTHER]\nGRADE| Grade| H2| 1| 1\n"
              "[SURVEY]\n"
              "SLOPE| Slope| (H2-H1)/D*100| 1| 2| __RECALC\n"
              "BAD| Bad| H2/0| 1| 3\n"
              "D| Distance| 5| 1| 3\n"
              "TURN| Turn| ANGLE*2| 1| 4\n");
  Fn<LoadUserAttrFunction>("LoadUserAttr")("survey");
  Start("Levels");
  Entry();
  Real("H1", 100);
  Real("H2", 101.5);
  Real("D", 50);
  Text("ANGLE",
       "12\xB0"
       "30'36");
  Fn<ReportUserAttrFunction>("ReportUserAttr")();
  Fn<FreeUserAttrFunction>("FreeUserAttr")();
  Fn<ReportUserAttrFunction>("ReportUserAttr")();  // nothing loaded any more
  const auto get = Fn<GetTokenFunction>("GetToken");
  ReportToken* tokens = First()->tokens;
  const ReportToken* slope = get(tokens, "SLOPE");
  ASSERT_NE(slope, nullptr);
  EXPECT_DOUBLE_EQ(slope->real, 3.0);
  EXPECT_EQ(slope->places, 2);
  EXPECT_STREQ(slope->averkey, "__RECALC");
  EXPECT_STREQ(slope->note, "Slope");
  EXPECT_DOUBLE_EQ(get(tokens, "TURN")->real, 25.02);
  EXPECT_EQ(get(tokens, "BAD"), nullptr);
  EXPECT_EQ(get(tokens, "GRADE"), nullptr);
  EXPECT_EQ(get(tokens, "D")->real, 50);
  EXPECT_NE(std::find(trace_.begin(), trace_.end(), "Evaluation BAD failed.\n"), trace_.end());
  EXPECT_NE(std::find(trace_.begin(), trace_.end(), "Attribute name 'D' conflicts with user-defined attibute\n"),
            trace_.end());
}

TEST_F(ReportInterfaceTest, ALineIsBuiltFromATemplate) {
  Start("Points");
  Entry();
  Real("NORTH", 1000);
  Real("EAST", 2000.5);
  char line[REPORT_LINE_BUFFER];
  Fn<ProcessReportLineFunction>("ProcessReportLine")("\"N=\"+NORTH+\" E=\"+EAST", line);
  EXPECT_STREQ(line, "N=1000.000 E=2000.500");
  Fn<ProcessReportLineFunction>("ProcessReportLine")("\"a+b\"+MISSING+\"unterminated", line);
  EXPECT_STREQ(line, "a+bunterminated");
  // Never past the buffer, however long the template.
  const std::string long_template = "\"" + std::string(5000, 'x') + "\"";
  Fn<ProcessReportLineFunction>("ProcessReportLine")(long_template.c_str(), line);
  EXPECT_EQ(std::string(line), std::string(REPORT_LINE_BUFFER - 1, 'x'));
}

TEST_F(ReportInterfaceTest, FinishingWithoutWindowsWritesTheTextReportAndFreesTheReport) {
  Fn<SetKeyOptionFunction>("SetKeyOption")("__WINDOWS", 0);
  Start("Points");
  for (double elevation : {12.0, 10.5}) {
    Entry();
    Real("ELEV", elevation, 1);
    Fn<FinishEntryFunction>("FinishEntry")();
  }
  Fn<AddFieldEntryFunction>("AddFieldEntry")("Project Name", "Project: North Road");
  Fn<FinishReportFunction>("FinishReport")("TEST", 1, "");
  EXPECT_EQ(First(), nullptr);
  EXPECT_EQ(testing::Contents(temp_ / "tobrrprt.tmp"),
            "Points\nProject: North Road\n\n"
            "ELEV \n"
            "10.5 \n"
            "12.0 \n"
            "---- Grand Total --------------------------------------\n"
            "22.5 \n\n");
}

}  // namespace
}  // namespace pelikon
