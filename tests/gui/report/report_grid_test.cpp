// The report's spreadsheet view and its export dialog as a user meets
// them: clicks on the headings, values typed into cells, a block copied,
// and a report sent to a CSV file and an SQLite database.
#include "report/wx/report_grid_view.h"

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <cstdlib>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <wx/clipbrd.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/grid_cells.h"
#include "gui/user_input.h"
#include "gui/window_picture.h"
#include "report/wx/export_destination_dialog.h"
#include "support/report_tokens.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::CellPoint;
using testing::Column;
using testing::DialogScript;
using testing::UserInput;

class OptionsPort : public FormatterPort {
 public:
  std::function<void(Formatter&)> options;

  void RunOptions(Formatter& formatter) override { options(formatter); }
  void ShowMessage(const std::string& text) override { ADD_FAILURE() << text; }
  bool ShowTextReport(const std::filesystem::path&, const std::string&) override { return false; }
  std::filesystem::path AskReportFile(const std::string&, const std::filesystem::path&) override { return {}; }
};

template <class Control>
Control* Find(wxWindow& dialog, const char* name) {
  auto* control = dynamic_cast<Control*>(wxWindow::FindWindowByName(name, &dialog));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

void ClickHeading(UserInput& input, wxGrid& grid, int col) {
  const wxRect cell = grid.CellToRect(0, col);
  int x = 0;
  grid.CalcScrolledPosition(cell.x + cell.width / 2, 0, &x, nullptr);
  ASSERT_TRUE(input.Click(grid.GetGridColLabelWindow(), wxPoint(x, grid.GetColLabelSize() / 2)));
  testing::Settle();
}

void Type(UserInput& input, const std::string& text) {
  for (const char c : text) ASSERT_TRUE(input.Key(c)) << c;
}

void Click(UserInput& input, wxWindow* window) {
  ASSERT_NE(window, nullptr);
  ASSERT_TRUE(input.Click(window)) << window->GetName();
  testing::Settle();
}

class ReportGridTest : public ::testing::Test {
 protected:
  // Point, Description, Elevation (two places), in the order of the points.
  ReportGridTest() {
    testing::FailOnWxAssertions();
    const struct {
      double point;
      const char* desc;
      double elev;
    } rows[] = {{2, "B9", 3.25}, {1, "b10", 5.5}, {3, "a1", 7}};
    for (const auto& row : rows) {
      report_.StartEntry();
      report_.AddToken(testing::RealToken("POINT", "Point", row.point, 0));
      report_.AddToken(testing::TextToken("DESC", "Description", row.desc));
      report_.AddToken(testing::RealToken("ELEV", "Elevation", row.elev, 2));
    }
    report_.FinishEntry();
  }
  // Runs the formatter; `act` is given it with every field used.
  void RunFormatter(const std::function<void(Formatter&)>& act) {
    port_.options = [&act](Formatter& formatter) {
      formatter.UseEveryFieldIfNone();
      act(formatter);
    };
    Formatter(report_, FormatterSetup{data_.Path(), "KIND", "", nullptr, {}}, port_).Run(0);
  }
  // Shows the spreadsheet with `act` playing the user; whether it edited.
  bool RunGrid(const std::function<void(ReportGridView&, wxGrid&)>& act) {
    script_.Show<ReportGridView>([act](ReportGridView& view) {
      EXPECT_EQ(FromWx(view.GetTitle()), "Report Data");
      testing::Settle();
      act(view, *view.Grid());
    });
    bool edited = false;
    RunFormatter([&edited](Formatter& formatter) { edited = ShowReportGrid(nullptr, formatter); });
    return edited;
  }
  const ReportToken* TokenOf(double point, const char* key) const {
    for (const ReportNode* node = report_.First(); node != nullptr; node = node->next)
      if (const ReportToken* id = FindToken(node->tokens, "POINT"); id != nullptr && id->real == point)
        return FindToken(node->tokens, key);
    return nullptr;
  }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  Report report_{"Stakeout"};
  testing::TempDir data_;
  OptionsPort port_;
  DialogScript script_;
};

TEST_F(ReportGridTest, HeadingClicksSortTheRowsAndCtrlCCopiesTheBlock) {
  std::string copied;
  const bool edited = RunGrid([&copied](ReportGridView& view, wxGrid& grid) {
    EXPECT_EQ(FromWx(grid.GetColLabelValue(2)), "Elevation");
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "2", "3"})) << "the report's own order";
    EXPECT_EQ(Column(grid, 2), (std::vector<std::string>{"5.50", "3.25", "7.00"}));
    UserInput input;
    ClickHeading(input, grid, 2);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2", "1", "3"}));
    ClickHeading(input, grid, 2);
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"3", "1", "2"})) << "the second click turns it round";

    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 1, 0)));
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 2, 1), wxMOD_SHIFT));
    testing::Settle();
    ASSERT_TRUE(input.Key('c', wxMOD_CONTROL));
    testing::Settle();
    wxClipboardLocker locker;
    ASSERT_FALSE(!locker);
    wxTextDataObject text;
    ASSERT_TRUE(wxTheClipboard->GetData(text));
    copied = FromWx(text.GetText());
    if (const char* output = std::getenv("PELIKON_TEST_OUTPUT"); output != nullptr && *output != '\0') {
      EXPECT_TRUE(SaveWindowPicture(&view, std::filesystem::path(output) / "report_spreadsheet.png"));
    }
  });
  EXPECT_FALSE(edited);
  EXPECT_EQ(copied, "Point\tDescription\r\n1\tb10\r\n2\tB9\r\n");
}

TEST_F(ReportGridTest, TypedValuesGoIntoTheReportAndNonNumbersAreRefused) {
  std::vector<std::string> messages;
  const bool edited = RunGrid([&](ReportGridView&, wxGrid& grid) {
    script_.Answer<wxMessageDialog>([&messages](wxMessageDialog& box) {
      messages.push_back(FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
    UserInput input;
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 0, 2)));
    Type(input, "12.5");
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
    EXPECT_EQ(FromWx(grid.GetCellValue(0, 2)), "12.50");

    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 1, 2)));
    Type(input, "abc");
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
    EXPECT_EQ(FromWx(grid.GetCellValue(1, 2)), "3.25");
  });
  EXPECT_TRUE(edited);
  EXPECT_EQ(messages, std::vector<std::string>{"\"abc\" is not a number."});
  EXPECT_EQ(TokenOf(1, "ELEV")->real, 12.5);
  EXPECT_EQ(TokenOf(2, "ELEV")->real, 3.25);
}

// The export dialog writes where the user types; relative names land in
// the folder the test works in.
class ExportDestinationTest : public ReportGridTest {
 protected:
  ExportDestinationTest() : before_(std::filesystem::current_path()) { std::filesystem::current_path(data_.Path()); }
  ~ExportDestinationTest() override { std::filesystem::current_path(before_); }

  // Shows the dialog with `act` playing the user; every message shown.
  std::vector<std::string> RunExport(const std::function<void(ExportDestinationDialog&)>& act) {
    script_.Show<ExportDestinationDialog>([act](ExportDestinationDialog& dialog) {
      EXPECT_EQ(FromWx(dialog.GetTitle()), "Data Destination Selection");
      testing::Settle();
      act(dialog);
    });
    RunFormatter([](Formatter& formatter) { RunDataExport(nullptr, formatter); });
    return messages_;
  }
  void AnswerMessage() {
    script_.Answer<wxMessageDialog>([this](wxMessageDialog& box) {
      messages_.push_back(FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
  }

  std::filesystem::path before_;
  std::vector<std::string> messages_;
};

TEST_F(ExportDestinationTest, CsvGoesToTheTypedFile) {
  const auto messages = RunExport([this](ExportDestinationDialog& dialog) {
    UserInput input;
    Click(input, Find<wxRadioButton>(dialog, "xml"));
    Click(input, Find<wxRadioButton>(dialog, "csv"));
    Click(input, Find<wxTextCtrl>(dialog, "file"));
    Type(input, "out.csv");
    AnswerMessage();
    Click(input, dialog.FindWindow(wxID_OK));
    EXPECT_FALSE(dialog.IsModal()) << "closed once exported";
  });
  EXPECT_EQ(messages, std::vector<std::string>{"Export completed."});
  EXPECT_EQ(testing::Contents(data_ / "out.csv"),
            "Point,Description,Elevation\r\n1,b10,5.50\r\n2,B9,3.25\r\n3,a1,7.00\r\n");
}

TEST_F(ExportDestinationTest, SqliteGetsTheRowsAfterAFailureKeptTheDialogOpen) {
  const auto messages = RunExport([this](ExportDestinationDialog& dialog) {
    UserInput input;
    Click(input, Find<wxRadioButton>(dialog, "sqlite"));
    EXPECT_FALSE(Find<wxWindow>(dialog, "include_totals")->IsEnabled()) << "databases take data rows only";
    AnswerMessage();
    Click(input, dialog.FindWindow(wxID_OK));
    EXPECT_TRUE(dialog.IsModal()) << "a failed export leaves the dialog open";
    Click(input, Find<wxTextCtrl>(dialog, "file"));
    Type(input, "out.db");
    AnswerMessage();
    Click(input, dialog.FindWindow(wxID_OK));
  });
  EXPECT_EQ(messages, (std::vector<std::string>{"Please choose a file to export to.", "Export completed."}));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open_v2((data_ / "out.db").c_str(), &db, SQLITE_OPEN_READONLY, nullptr), SQLITE_OK);
  sqlite3_stmt* rows = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(db, "SELECT group_concat(POINT || ' ' || DESC || ' ' || ELEV, '; ') FROM report", -1,
                               &rows, nullptr),
            SQLITE_OK)
      << sqlite3_errmsg(db);
  ASSERT_EQ(sqlite3_step(rows), SQLITE_ROW);
  EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(rows, 0)), "1.0 b10 5.5; 2.0 B9 3.25; 3.0 a1 7.0");
  sqlite3_finalize(rows);
  sqlite3_close(db);
}

}  // namespace
}  // namespace pelikon
