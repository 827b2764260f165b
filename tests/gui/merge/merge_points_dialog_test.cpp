// The merge window, used as a user would: clicks and keys through the X
// server, the questions it asks answered by the dialog script.
#include "gui/merge/merge_points_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/combobox.h>
#include <wx/grid.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/report/report_library.h"
#include "coord/merge/merge_columns.h"
#include "dialogs/data_folder.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/grid_cells.h"
#include "gui/merge/merge_window.h"
#include "gui/user_input.h"
#include "gui/window_picture.h"
#include "support/scripted_ui.h"
#include "support/temp_dir.h"

namespace pelikon {
namespace {

using testing::CellPoint;
using testing::Column;
using testing::DialogScript;
using testing::UserInput;

template <class Control>
Control* Find(wxWindow& dialog, const char* name) {
  auto* control = dynamic_cast<Control*>(wxWindow::FindWindowByName(name, &dialog));
  EXPECT_NE(control, nullptr) << name;
  return control;
}

std::string Label(wxWindow& dialog, const char* name) {
  auto* text = Find<wxStaticText>(dialog, name);
  return text == nullptr ? std::string() : FromWx(text->GetLabel());
}

class MergePointsDialogTest : public ::testing::Test {
 protected:
  // Source 1 (missing), 2 and 3 (conflicts), 4 (same as the target's);
  // the target has 6 alone.
  MergePointsDialogTest()
      : session_({CrdPoint("1", 10, 20, 1, "NEW"), CrdPoint("2", 100, 200, 5, "IRON"),
                  CrdPoint("3", 300, 400, 6, "NAIL"), CrdPoint("4", 7, 8, 9, "SAME")},
                 {CrdPoint("2", 100.5, 200, 5, "IRON"), CrdPoint("3", 300, 400, 6, "SPIKE"),
                  CrdPoint("4", 7, 8, 9, "SAME"), CrdPoint("6", 60, 70, 8, "TARGET")},
                 true, true) {
    SetDataFolder(folder_.Path());
  }
  ~MergePointsDialogTest() override { SetDataFolder({}); }

  void SetUp() override { testing::FailOnWxAssertions(); }
  void TearDown() override { EXPECT_TRUE(script_.Done()) << "some scripted dialogs never opened"; }

  int Run(std::function<void(wxDialog&, wxGrid&)> act) {
    script_.Show<wxDialog>([act](wxDialog& dialog) {
      auto* grid = Find<wxGrid>(dialog, "spread");
      ASSERT_NE(grid, nullptr);
      testing::Settle();
      act(dialog, *grid);
    });
    return RunMergePointsDialog(nullptr, session_, "FIELD.CRD", "JOB.CRD", hooks_);
  }

  // Clicks the button `name` with the mouse.
  static void Press(wxDialog& dialog, const char* name) {
    auto* button = Find<wxButton>(dialog, name);
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->IsEnabled()) << name;
    UserInput input;
    ASSERT_TRUE(input.Click(button)) << name;
    testing::Settle();
  }

  testing::TempDir folder_;
  MergeSession session_;
  MergeWindowHooks hooks_;
  DialogScript script_;
};

TEST_F(MergePointsDialogTest, ShowsBothListsAndABulkButtonDecidesTheRange) {
  const int answer = Run([this](wxDialog& dialog, wxGrid& grid) {
    EXPECT_EQ(dialog.GetTitle(), "Merge Points Manager");
    EXPECT_EQ(Label(dialog, "merge_text"), "Source Coordinate File (FIELD.CRD)");
    EXPECT_EQ(Label(dialog, "orig_text"), "Target Coordinate File (JOB.CRD)");
    EXPECT_EQ(grid.GetNumberCols(), 12);
    EXPECT_EQ(grid.GetColLabelValue(6), "Action");
    // The matching point 4 stays hidden; the target's 6 has a row alone.
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "2", "3", ""}));
    EXPECT_EQ(Column(grid, 7), (std::vector<std::string>{"", "2", "3", "6"}));
    EXPECT_EQ(FromWx(grid.GetCellValue(1, 1)), "100.000");
    EXPECT_EQ(FromWx(grid.GetCellValue(1, 8)), "100.500");
    EXPECT_EQ(FromWx(grid.GetCellValue(2, 11)), "SPIKE");
    EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"Store", "", "", ""})) << "missing points are stored";
    EXPECT_TRUE(grid.IsReadOnly(1, 1));
    EXPECT_FALSE(grid.IsReadOnly(1, 0));
    EXPECT_FALSE(grid.IsReadOnly(1, 4));
    EXPECT_TRUE(grid.IsReadOnly(3, 6)) << "a target-only row has no action";
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #2") << "opens on the first undecided conflict";
    EXPECT_EQ(Label(dialog, "text2"), "Unresolved Conflicting Points: 2");
    EXPECT_TRUE(grid.IsInSelection(1, 0));

    Press(dialog, "all");
    Press(dialog, "accept_all");
    EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"Store", "Overwrite", "Overwrite", ""}));
    EXPECT_EQ(Label(dialog, "text2"), "Unresolved Conflicting Points: 0");
    Press(dialog, "ok");  // nothing undecided: no question
  });
  EXPECT_EQ(answer, 1);
  EXPECT_EQ(session_.Source()[1].action, MergeAction::kOverwrite);
  EXPECT_EQ(session_.Source()[2].action, MergeAction::kOverwrite);
}

TEST_F(MergePointsDialogTest, NextConflictAndTheRowCombo) {
  const int answer = Run([](wxDialog& dialog, wxGrid& grid) {
    Press(dialog, "next");
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #3");
    EXPECT_TRUE(grid.IsInSelection(2, 0)) << "the current row is selected";

    // Row 2's combo: "Skip" decides point 2 alone.
    UserInput input;
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 1, 6)));
    testing::Settle();
    ASSERT_TRUE(input.Key(WXK_F2));
    testing::Settle();
    ASSERT_TRUE(grid.IsCellEditControlShown());
    auto* combo = dynamic_cast<wxComboBox*>(grid.GetCellEditor(1, 6)->GetControl());
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->GetCount(), 4u);
    for (int step = 0; step < 4 && combo->GetValue() != "Skip"; ++step) {
      ASSERT_TRUE(input.Key(combo->GetSelection() > 1 ? WXK_UP : WXK_DOWN));
      testing::Settle();
    }
    ASSERT_EQ(combo->GetValue(), "Skip");
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
    EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"Store", "Skip", "", ""}));
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #2") << "a row's choice keeps that row current";
  });
  EXPECT_EQ(answer, 0) << "ended from outside";
  EXPECT_EQ(session_.Source()[1].action, MergeAction::kSkip);
}

TEST_F(MergePointsDialogTest, OkWithConflictsLeftAsksFirst) {
  std::vector<std::string> questions;
  const auto answer_with = [&](int button) {
    script_.Answer<wxMessageDialog>([&questions, button](wxMessageDialog& box) {
      questions.push_back(FromWx(box.GetTitle()) + ": " + FromWx(box.GetMessage()));
      EXPECT_NE(box.GetMessageDialogStyle() & wxICON_WARNING, 0);
      EXPECT_NE(box.GetMessageDialogStyle() & wxYES_NO, 0);
      return button;
    });
  };
  const int answer = Run([&](wxDialog& dialog, wxGrid& grid) {
    answer_with(wxID_NO);
    Press(dialog, "ok");
    EXPECT_TRUE(dialog.IsModal()) << "No goes back to the conflicts";
    grid.SetColSize(1, grid.GetCharWidth() * 14);
    answer_with(wxID_YES);
    Press(dialog, "ok");
    EXPECT_FALSE(dialog.IsModal());
  });
  EXPECT_EQ(answer, 1);
  ASSERT_EQ(questions.size(), 2u);
  EXPECT_EQ(questions[0],
            "Confirm Exit: There are 2 conflict points remaining.\n"
            "Click 'Yes' to accept only resolved points and exit.\n"
            "Click 'No' to go back and fix remaining conflicts.");
  EXPECT_EQ(ReadMergeColumnWidths(folder_.Path())[1], 14) << "widths read back from the grid on OK";
  EXPECT_EQ(ReadMergeColumnWidths(folder_.Path())[0], DefaultMergeColumnWidths()[0]);
}

TEST_F(MergePointsDialogTest, CancelAndEscapeLeaveWithZeroAndKeepTheWidths) {
  const int cancelled = Run([](wxDialog& dialog, wxGrid& grid) {
    Press(dialog, "accept_all");  // range: the current point 2
    EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"Store", "Overwrite", "", ""}));
    grid.SetColSize(1, grid.GetCharWidth() * 20);
    Press(dialog, "exit");
  });
  EXPECT_EQ(cancelled, 0);
  EXPECT_EQ(session_.Source()[1].action, MergeAction::kOverwrite) << "the caller decides whether to apply";
  EXPECT_EQ(session_.Source()[2].action, MergeAction::kNone);
  EXPECT_EQ(ReadMergeColumnWidths(folder_.Path()), DefaultMergeColumnWidths())
      << "written back, but widths change only with OK";

  const int escaped = Run([](wxDialog& dialog, wxGrid&) {
    Press(dialog, "undo");
    UserInput input;
    ASSERT_TRUE(input.Key(WXK_ESCAPE));
    testing::Settle();
  });
  EXPECT_EQ(escaped, 0);
  EXPECT_EQ(session_.Source()[1].action, MergeAction::kNone) << "Reset cleared it";
}

TEST_F(MergePointsDialogTest, ATakenIdentifierIsRefusedAndTheCellReverts) {
  std::vector<std::string> messages;
  const int answer = Run([&](wxDialog&, wxGrid& grid) {
    script_.Answer<wxMessageDialog>([&messages](wxMessageDialog& box) {
      messages.push_back(FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
    UserInput input;
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 0, 0)));
    ASSERT_TRUE(input.Key('3'));  // typing starts the editor
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
    EXPECT_EQ(FromWx(grid.GetCellValue(0, 0)), "1");

    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 0, 0)));
    ASSERT_TRUE(input.Key('9'));
    ASSERT_TRUE(input.Key(WXK_RETURN));
    testing::Settle();
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"2", "3", "", "9"})) << "renamed, rows in order again";
  });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(messages, std::vector<std::string>{"This Point Number is already in use"});
}

TEST_F(MergePointsDialogTest, ClickedRowsBecomeTheRangeAndMatchingPointsCanBeShown) {
  std::vector<std::string> histories;
  hooks_.show_history = [&histories](const std::string& id) { histories.push_back(id); };
  const int answer = Run([](wxDialog& dialog, wxGrid& grid) {
    EXPECT_FALSE(Find<wxButton>(dialog, "report")->IsEnabled()) << "no report hook";
    UserInput input;
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 2, 2)));
    testing::Settle();
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #3");
    EXPECT_EQ(FromWx(Find<wxTextCtrl>(dialog, "range")->GetValue()), "3");
    Press(dialog, "history");

    // Point 1 alone: nothing conflicting to act on.
    ASSERT_TRUE(input.Click(grid.GetGridWindow(), CellPoint(grid, 0, 2)));
    testing::Settle();
    EXPECT_FALSE(Find<wxButton>(dialog, "accept_all")->IsEnabled());
    EXPECT_TRUE(Find<wxButton>(dialog, "skip_all_miss")->IsEnabled());

    ASSERT_TRUE(input.Click(Find<wxCheckBox>(dialog, "includesame")));
    testing::Settle();
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "2", "3", "4", ""})) << "4 matches its target";
    EXPECT_EQ(Column(grid, 11), (std::vector<std::string>{"", "IRON", "SPIKE", "SAME", "TARGET"}));
  });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(histories, std::vector<std::string>{"3"});
}

TEST_F(MergePointsDialogTest, RenumberingFromATypedIdentifierAndNoEarlierConflict) {
  std::vector<std::string> messages;
  const int answer = Run([&](wxDialog& dialog, wxGrid& grid) {
    script_.Answer<wxMessageDialog>([&messages](wxMessageDialog& box) {
      messages.push_back(FromWx(box.GetMessage()));
      return static_cast<int>(wxID_OK);
    });
    Press(dialog, "prev");  // 2 is the first undecided point
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #2");

    UserInput input;
    ASSERT_TRUE(input.Click(Find<wxRadioButton>(dialog, "at_point")));
    ASSERT_TRUE(input.Click(Find<wxTextCtrl>(dialog, "renumber")));
    for (const char c : std::string("10")) ASSERT_TRUE(input.Key(c));
    Press(dialog, "renumber_all");
    // 2 is stored as 10; the target's 2 now stands alone.
    EXPECT_EQ(Column(grid, 0), (std::vector<std::string>{"1", "", "3", "", "10"}));
    EXPECT_EQ(Column(grid, 6), (std::vector<std::string>{"Store", "", "", "", "Store"}));
    EXPECT_EQ(Label(dialog, "text2"), "Unresolved Conflicting Points: 1");
  });
  EXPECT_EQ(answer, 0);
  EXPECT_EQ(messages, std::vector<std::string>{"No previous conflict point"});
}

// The picture for the record, where the caller asks for one.
TEST_F(MergePointsDialogTest, PictureForTheRecord) {
  const char* folder = std::getenv("PELIKON_TEST_OUTPUT");
  if (folder == nullptr || *folder == '\0') GTEST_SKIP() << "PELIKON_TEST_OUTPUT is not set";
  Run([folder](wxDialog& dialog, wxGrid&) {
    const std::filesystem::path file = std::filesystem::path(folder) / "merge_points_dialog.png";
    EXPECT_TRUE(SaveWindowPicture(&dialog, file)) << file;
  });
}

// A long list opens at once: the grid asks only for the rows it draws,
// and the next free identifier after a run of 100,000 used ones is found
// by search, not by scanning the list at every step.
TEST_F(MergePointsDialogTest, AHundredThousandRowsOpen) {
  std::vector<CrdPoint> source;
  std::vector<CrdPoint> target;
  for (int n = 1; n <= 100000; ++n) {
    const std::string id = std::to_string(n);
    source.emplace_back(id, n, n, 0, "S");
    if (n % 2 == 0) target.emplace_back(id, n + 1, n, 0, "T");
  }
  MergeSession big(source, target, false, true);
  const auto start = std::chrono::steady_clock::now();
  int rows = 0;
  script_.Show<wxDialog>([&](wxDialog& dialog) {
    testing::Settle();
    rows = Find<wxGrid>(dialog, "spread")->GetNumberRows();
    std::printf("100000 rows shown after %.2f s\n",
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    Press(dialog, "next");
    EXPECT_EQ(Label(dialog, "text1"), "Current Point #3") << "the next missing or conflicting point";
    Press(dialog, "exit");
  });
  EXPECT_EQ(RunMergePointsDialog(nullptr, big, "BIG.CRD", "JOB.CRD", hooks_), 0);
  EXPECT_EQ(rows, 100000);
}

// "Report" hands the merge to the real report library, which opens its
// formatter over the merge window with the merge's fields to choose from.
TEST_F(MergePointsDialogTest, ReportOpensTheFormatterOfTheRealLibrary) {
  testing::ScriptedUi ui;
  testing::TempDir data;
  ReportLibrary library(ui, PELIKON_BIN_DIR, data.Path(), data.Path());
  WxMergeWindow window(nullptr, [&]() -> ReportLibrary& { return library; });
  std::vector<std::string> fields;
  script_.Show<wxDialog>([&](wxDialog& merge) {
    testing::Settle();
    script_.Show<wxDialog>([&](wxDialog& formatter) {
      testing::Settle();
      EXPECT_EQ(FromWx(formatter.GetTitle()), "Report Formatter Options");
      // The library's windows are its own classes: found by what they show.
      for (wxWindow* child : formatter.GetChildren()) {
        if (auto* list = dynamic_cast<wxListBox*>(child); list != nullptr && fields.empty()) {
          for (const wxString& row : list->GetStrings()) fields.push_back(FromWx(row));
        }
        if (auto* button = dynamic_cast<wxButton*>(child); button != nullptr && button->GetLabelText() == "Exit") {
          EXPECT_TRUE(UserInput().Click(button));
        }
      }
    });
    Press(merge, "report");
  });
  window.Run(session_, folder_ / "FIELD.CRD", "FIELD.CRD", "JOB.CRD");
  ASSERT_FALSE(fields.empty()) << "the formatter offers the merge report's fields";
  for (const char* field : {"Point #", "Northing", "New Northing", "Action"})
    EXPECT_NE(std::find(fields.begin(), fields.end(), field), fields.end()) << field;
  EXPECT_TRUE(ui.Shown().empty()) << "the library loaded";
}

}  // namespace
}  // namespace pelikon
