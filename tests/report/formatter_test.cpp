// The formatter driven as its window will drive it: the format it opens
// with and records, its messages, the host's script, formats copied out
// and in, a saved report merged in, and the checks of typed attributes.
#include "report/formatter.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "report/report_file.h"
#include "support/report_tokens.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

std::vector<std::string> scripts;
void RecordScript(const char* path) {
  scripts.push_back(path);
}

class ScriptedPort : public FormatterPort {
 public:
  std::function<void(Formatter&)> options;
  int send_to_host = 0;  // how many times the viewer answers "send"
  std::vector<std::string> messages;
  std::vector<std::string> shown;

  void RunOptions(Formatter& formatter) override { options(formatter); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool ShowTextReport(const std::filesystem::path& file, const std::string& title) override {
    shown.push_back(title + ": " + testing::Contents(file));
    return send_to_host-- > 0;
  }
  std::filesystem::path AskReportFile(const std::string&, const std::filesystem::path&) override { return {}; }
};

class FormatterTest : public ::testing::Test {
 protected:
  FormatterTest() {
    for (double value : {2.0, 1.0}) {
      report_.StartEntry();
      report_.AddToken(testing::RealToken("N", "North", value, 1));
    }
    report_.FinishEntry();
  }
  FormatterSetup MakeSetup() { return FormatterSetup{data_.Path(), "KIND", "", RecordScript, {}}; }

  Report report_{"R"};
  testing::TempDir data_;
  ScriptedPort port_;
};

TEST_F(FormatterTest, OpensWithTheFormatLastUsedAndRecordsTheOneInUse) {
  data_.Write("formats.dta", "DOWN\n^N|GONE\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
  data_.Write("formtch.dta", "KIND|down\n");
  port_.options = [](Formatter& formatter) {
    ASSERT_EQ(formatter.Fields().Used().size(), 1u) << "fields the report lacks are skipped";
    EXPECT_EQ(FieldLists::UsedRow(formatter.Fields().Used()[0]), "North                   Down");
    EXPECT_EQ(formatter.Fields().TotalsDepthChoices(), (std::vector<std::string>{"Grand", "Grand, North"}));
    formatter.Display();
    EXPECT_TRUE(formatter.SaveFormat("Mine"));
  };
  Formatter(report_, MakeSetup(), port_).Run(0);
  ASSERT_EQ(port_.shown.size(), 1u);
  EXPECT_EQ(port_.shown[0],
            "ovedit: R\n\nNorth \n  2.0 \n  1.0 \n"
            "---- Grand Total --------------------------------------\n  3.0 \n\n");
  EXPECT_EQ(testing::Contents(data_ / "formtch.dta"), "KIND|Mine\n");
}

TEST_F(FormatterTest, SaysWhatCannotBeShownAndRunsTheHostsScript) {
  port_.options = [](Formatter& formatter) {
    EXPECT_FALSE(formatter.Display());
    ReportTable table;
    EXPECT_FALSE(formatter.BuildTable(false, false, table));
    formatter.UseEveryFieldIfNone();
    ASSERT_TRUE(formatter.BuildTable(false, true, table));
    EXPECT_EQ(table.rows.size(), 3u) << "two entries and the grand total";
    formatter.Options().totals_depth = 5;
    EXPECT_FALSE(formatter.Display());
    formatter.Options().totals_depth = 0;
    EXPECT_TRUE(formatter.Display());
  };
  port_.send_to_host = 1;
  scripts.clear();
  Formatter(report_, MakeSetup(), port_).Run(0);
  EXPECT_EQ(port_.messages,
            (std::vector<std::string>{"Please add some information to be displayed from 'Available' to 'Used' box.",
                                      "Please add some information to be exported from 'Available' to 'Used' box.",
                                      "This depth of summation is not supported"}));
  EXPECT_EQ(port_.shown.size(), 2u) << "shown again after the script ran";
  EXPECT_EQ(scripts, std::vector<std::string>{(data_ / "tobrrprt.scr").string()});
}

TEST_F(FormatterTest, FormatsAndReportsGoOutAndComeIn) {
  data_.Write("formats.dta", "A\nN\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
  Report other("Other");
  other.StartEntry();
  other.AddToken(testing::TextToken("E", "East", "x"));
  ASSERT_TRUE(SaveReportFile(other, {"KIND", ""}, data_ / "other.rpt"));
  port_.options = [this](Formatter& formatter) {
    EXPECT_TRUE(formatter.ExportFormats(data_ / "out.fms"));
    EXPECT_FALSE(formatter.ImportFormats(data_ / "missing.fms"));
    data_.Write("in.fms", "B\nN\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
    EXPECT_TRUE(formatter.ImportFormats(data_ / "in.fms"));
    EXPECT_TRUE(formatter.LoadFormat("B"));
    EXPECT_FALSE(formatter.LoadFormat("A"));
    ASSERT_TRUE(formatter.MergeReport(data_ / "other.rpt"));
    ASSERT_EQ(formatter.Fields().Available().size(), 1u);
    EXPECT_EQ(formatter.Fields().Available()[0].note, "East");
    EXPECT_EQ(formatter.Fields().Used().size(), 1u) << "the used fields stay";
  };
  Formatter(report_, MakeSetup(), port_).Run(0);
  EXPECT_EQ(testing::Contents(data_ / "out.fms"), "A\nN\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
}

TEST(AttributeEntryTest, KeysAndEquationsAreChecked) {
  struct Case {
    UserAttribute attribute;
    bool with_equation;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {{"SLOPE", "Slope", "H/D", true, 2, {}}, true, ""},
      {{" ", "Slope", "H/D", true, 2, {}}, true, "Please specify attribute key name"},
      {{"A-B", "Slope", "H/D", true, 2, {}},
       true,
       "Attribute key name may not contain the following characters: ()[]+-*/^"},
      {{"SLOPE", "Slope", "", true, 2, {}}, true, "Please specify attribute equation"},
      {{"SLOPE", "Slope", "", true, 2, {}}, false, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(AttributeEntryProblem(c.attribute, c.with_equation), c.problem);
}

}  // namespace
}  // namespace pelikon
