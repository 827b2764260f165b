// The formatter's options window as a user meets it: fields moved between
// the lists and given their sort modes with clicks, a format kept, the
// report shown, the messages when nothing is chosen, a user-defined
// attribute typed in with a key picked from the list, and a workbook
// written from the Excel tab.
#include "report/wx/formatter_dialog.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <wx/button.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/textctrl.h>

#include "dialogs/wx/ez_dialog.h"
#include "dialogs/wx/wx_text.h"
#include "gui/dialog_script.h"
#include "gui/user_input.h"
#include "gui/window_picture.h"
#include "report/formatter.h"
#include "support/report_tokens.h"
#include "support/temp_dir.h"
#include "support/test_files.h"

namespace pelikon {
namespace {

using testing::DialogScript;

class RecordingPort : public FormatterPort {
 public:
  ReportFilePicker pick;
  std::vector<std::string> messages;
  std::vector<std::string> shown;

  void RunOptions(Formatter& formatter) override { RunFormatterDialog(nullptr, formatter, pick); }
  void ShowMessage(const std::string& text) override { messages.push_back(text); }
  bool ShowTextReport(const std::filesystem::path& file, const std::string&) override {
    shown.push_back(testing::Contents(file));
    return false;
  }
  std::filesystem::path AskReportFile(const std::string&, const std::filesystem::path&) override { return {}; }
};

wxWindow* Control(PopDialog& host, std::string_view tile) {
  wxWindow* control = host.Form()->FindControl(tile);
  EXPECT_NE(control, nullptr) << tile;
  return control;
}

std::vector<std::string> Rows(PopDialog& host, std::string_view list) {
  std::vector<std::string> rows;
  if (auto* box = dynamic_cast<wxListBox*>(Control(host, list)))
    for (const wxString& row : box->GetStrings()) rows.push_back(FromWx(row));
  return rows;
}

// A picture for the record, where the caller asks for one.
void SavePicture(wxWindow& window, const char* name) {
  const char* output = std::getenv("PELIKON_TEST_OUTPUT");
  if (output != nullptr && *output != '\0') {
    EXPECT_TRUE(SaveWindowPicture(&window, std::filesystem::path(output) / name));
  }
}

class FormatterDialogTest : public ::testing::Test {
 protected:
  FormatterDialogTest() {
    testing::FailOnWxAssertions();
    struct Point {
      const char* id;
      double elevation;
      const char* code;
    };
    for (const Point& point : {Point{"10", 12.5, "MH"}, Point{"2", 14.25, "TREE"}, Point{"7", 11.0, "MH"}}) {
      report_.StartEntry();
      report_.AddToken(testing::TextToken("PTNUM", "Point", point.id));
      report_.AddToken(testing::RealToken("ELEV", "Elevation", point.elevation, 2));
      report_.AddToken(testing::TextToken("CODE", "Code", point.code));
    }
    report_.FinishEntry();
    port_.pick = [this](const FilePick& pick) {
      picks_.push_back(pick.title);
      return answer_;
    };
  }
  ~FormatterDialogTest() override { EXPECT_TRUE(script_.Done()) << "some scripted windows never opened"; }

  // Opens the formatter's window with `act` playing the user in it.
  void Run(const std::function<void(PopDialog&)>& act) {
    script_.Show<PopDialog>([act](PopDialog& host) {
      testing::Settle();
      act(host);
      testing::UserInput().Click(Control(host, "exit"));
    });
    Formatter formatter(report_, FormatterSetup{data_.Path(), "POINTS", "SURVEY", nullptr, {}}, port_);
    formatter.Run(0);
  }

  void Click(PopDialog& host, std::string_view tile) {
    EXPECT_TRUE(testing::UserInput().Click(Control(host, tile))) << tile;
    testing::Settle();
  }
  static void Select(PopDialog& host, std::string_view list, int row) {
    dynamic_cast<wxListBox*>(Control(host, list))->SetSelection(row);
  }
  static void Type(PopDialog& host, std::string_view tile, const std::string& text, bool replace = true) {
    wxWindow* control = Control(host, tile);
    auto* edit = dynamic_cast<wxTextEntry*>(control);
    ASSERT_NE(edit, nullptr) << tile;
    control->SetFocus();
    if (replace)
      edit->SelectAll();
    else
      edit->SetInsertionPointEnd();
    testing::UserInput input;
    for (const char c : text) EXPECT_TRUE(input.Key(c));
  }

  Report report_{"Points"};
  testing::TempDir data_;
  RecordingPort port_;
  DialogScript script_;
  std::vector<std::string> picks_;
  std::filesystem::path answer_;
};

TEST_F(FormatterDialogTest, FieldsAreArrangedWithClicksAndKeptAsAFormat) {
  Run([this](PopDialog& host) {
    EXPECT_EQ(FromWx(host.GetTitle()), "Report Formatter Options");
    EXPECT_EQ(Rows(host, "freelist"), (std::vector<std::string>{"Point", "Elevation", "Code"}));
    EXPECT_TRUE(Rows(host, "usedlist").empty());
    Click(host, "display");
    Click(host, "spread");
    Click(host, "tab_importexport");
    Click(host, "export");
    Click(host, "tab_report");
    EXPECT_EQ(port_.messages,
              (std::vector<std::string>{"Please add some information to be displayed from 'Available' to 'Used' box.",
                                        "Please add some information to be exported from 'Available' to 'Used' box.",
                                        "Please add some information to be exported from 'Available' to 'Used' box."}));

    Select(host, "freelist", 2);
    Click(host, "add");  // Code
    Select(host, "freelist", 0);
    Click(host, "add");  // Point
    EXPECT_EQ(Rows(host, "freelist"), std::vector<std::string>{"Elevation"});
    Click(host, "up");  // the point, just added and selected, goes first
    Click(host, "descend");
    EXPECT_EQ(Rows(host, "usedlist"),
              (std::vector<std::string>{"Point                   Down", "Code                    Up"}));
    Select(host, "usedlist", 1);
    Click(host, "collapse");
    EXPECT_EQ(Rows(host, "usedlist")[1], "Code                    Collapse");
    auto* depth = dynamic_cast<wxChoice*>(Control(host, "totalsdepth"));
    ASSERT_EQ(depth->GetCount(), 3u);
    EXPECT_EQ(FromWx(depth->GetString(2)), "Grand, Point, Code");

    Select(host, "freelist", 0);
    Click(host, "add");  // Elevation
    Click(host, "totalsonly");
    Type(host, "name", "levels");
    Click(host, "save");
    EXPECT_EQ(testing::Contents(data_ / "formats.dta"), "levels\n^PTNUM|~CODE|ELEV\n1 0 20 1 0 0 1 ' ' 0 0 0 0\n");
    EXPECT_EQ(FromWx(dynamic_cast<wxChoice*>(Control(host, "namelist"))->GetStringSelection()), "levels");

    Select(host, "usedlist", 1);
    Click(host, "remove");
    EXPECT_EQ(Rows(host, "freelist"), std::vector<std::string>{"Code"});
    Click(host, "totalsonly");
    Click(host, "display");
    ASSERT_EQ(port_.shown.size(), 1u);
    EXPECT_EQ(port_.shown[0],
              "Points\n\nPoint Elevation \n10        12.50 \n7         11.00 \n2         14.25 \n"
              "---- Grand Total --------------------------------------\n          37.75 \n\n");

    SavePicture(host, "report_formatter.png");
  });
  EXPECT_EQ(testing::Contents(data_ / "formtch.dta"), "POINTS|levels\n") << "the format in use is remembered";
}

TEST_F(FormatterDialogTest, AUserAttributeIsCheckedKeptAndReported) {
  Run([this](PopDialog& host) {
    script_.Show<PopDialog>([this](PopDialog& attributes) {
      testing::Settle();
      EXPECT_EQ(FromWx(attributes.GetTitle()), "User-Defined Attributes");
      Type(attributes, "key", "h-1");
      Click(attributes, "save");
      Type(attributes, "key", "double");
      Click(attributes, "save");
      // The key list: the second key (the elevation) goes into the equation.
      script_.Show<PopDialog>([this](PopDialog& keys) {
        testing::Settle();
        EXPECT_EQ(FromWx(keys.GetTitle()), "Select one of available keys");
        EXPECT_EQ(Rows(keys, "keys")[1], "ELEV                      Elevation                          ");
        Select(keys, "keys", 1);
        Click(keys, "ok");
      });
      Click(attributes, "list");
      Type(attributes, "equation", "/2", false);
      EXPECT_EQ(FromWx(dynamic_cast<wxTextCtrl*>(Control(attributes, "equation"))->GetValue()), "[ELEV]/2");
      Type(attributes, "note", "twice");
      Click(attributes, "save");
      SavePicture(attributes, "report_user_attributes.png");
      Click(attributes, "exit");
    });
    Click(host, "userattr");
    EXPECT_EQ(port_.messages, (std::vector<std::string>{
                                  "Attribute key name may not contain the following characters: ()[]+-*/^",
                                  "Please specify attribute equation",
                              }));
    EXPECT_EQ(Rows(host, "freelist").back(), "twice") << "the new attribute is a field of the report";
    Select(host, "freelist", 3);
    Click(host, "add");
    Click(host, "display");
    ASSERT_EQ(port_.shown.size(), 1u);
    EXPECT_EQ(port_.shown[0],
              "Points\n\ntwice  \n 5.500 \n 6.250 \n 7.125 \n"
              "---- Grand Total --------------------------------------\n18.875 \n\n");
  });
  EXPECT_EQ(testing::Contents(data_ / "userattr.dta"), "[SURVEY]\ndouble| twice| [ELEV]/2| 1| 3\n");
}

TEST_F(FormatterDialogTest, AnEmptyReportOffersNoOptionsAndTheExcelTabWritesAWorkbook) {
  Report empty{"Nothing"};
  script_.Show<PopDialog>([this](PopDialog& host) {
    testing::Settle();
    Click(host, "userattr");
    Click(host, "attrsets");
    Click(host, "exit");
  });
  Formatter(empty, FormatterSetup{data_.Path(), "POINTS", "SURVEY", nullptr, {}}, port_).Run(0);
  EXPECT_EQ(port_.messages, std::vector<std::string>(2,
                                                     "The report is empty. No options are available for an "
                                                     "empty report"));
  port_.messages.clear();

  answer_ = data_ / "levels.xlsx";
  Run([this](PopDialog& host) {
    Select(host, "freelist", 1);
    Click(host, "add");
    Click(host, "tab_excel");
    EXPECT_FALSE(Control(host, "display")->IsShown());
    EXPECT_TRUE(Control(host, "excel")->IsShown());
    Click(host, "excel");
  });
  EXPECT_EQ(picks_, std::vector<std::string>{"Select an Excel file"});
  EXPECT_EQ(port_.messages, std::vector<std::string>{"Export completed."});
  EXPECT_GT(std::filesystem::file_size(answer_), 0u);
}

TEST_F(FormatterDialogTest, ImportingFormatsAsksFirstAndOffersTheImportedOnes) {
  data_.Write("formats.dta", "old\nPTNUM\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
  answer_ = data_.Write("office.fms", "Office\nCODE|^ELEV\n1 0 20 0 1 0 1 ' ' 0 0 0 0\n");
  int asked = 0;
  Run([&](PopDialog& host) {
    Click(host, "tab_importexport");
    script_.Answer<wxMessageDialog>([&](wxMessageDialog& question) {
      EXPECT_EQ(FromWx(question.GetMessage()),
                "Importing formats file will overwrite a \ncurrent set of report formats. Continue?");
      EXPECT_EQ(FromWx(question.GetTitle()), "Warning");
      return ++asked == 1 ? static_cast<int>(wxID_CANCEL) : static_cast<int>(wxID_OK);
    });
    Click(host, "importfmt");
    EXPECT_EQ(testing::Contents(data_ / "formats.dta"), "old\nPTNUM\n1 0 20 0 0 0 1 ' ' 0 0 0 0\n");
    script_.Answer<wxMessageDialog>([&](wxMessageDialog&) { return ++asked == 1 ? wxID_CANCEL : wxID_OK; });
    Click(host, "importfmt");
    auto* names = dynamic_cast<wxChoice*>(Control(host, "namelist"));
    ASSERT_EQ(names->GetCount(), 1u);
    names->SetFocus();
    testing::UserInput().Key(WXK_DOWN);  // picks the only format
    testing::Settle();
    EXPECT_EQ(Rows(host, "usedlist"),
              (std::vector<std::string>{"Code                    Up", "Elevation               Down"}));
  });
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(testing::Contents(data_ / "formats.dta"), testing::Contents(answer_));
  EXPECT_EQ(picks_, std::vector<std::string>(2, "Select a formats file to import"));
}

}  // namespace
}  // namespace pelikon
